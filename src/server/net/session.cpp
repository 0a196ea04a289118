#include "server/net/session.h"

#include <chrono>
#include <optional>

#include "rpc/server_codec.h"
#include "server/net/call_log.h"

namespace server {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr size_t kKeepOutBuffer = 8 << 20;

}  // namespace

std::string endpointText(const asio::ip::tcp::endpoint& endpoint) {
  const auto address = endpoint.address();
  std::string text;
  if (address.is_v6()) text += '[';
  text += address.to_string();
  if (address.is_v6()) text += ']';
  text += ':';
  text += std::to_string(endpoint.port());
  return text;
}

Session::Session(asio::ip::tcp::socket socket, const SessionResources& resources, Closed onClosed)
    : strand_(asio::make_strand(socket.get_executor())),
      socket_(std::move(socket)),
      resources_(resources),
      dispatcher_(resources.dispatcher),
      changes_(resources.changes),
      decoder_(resources.limits),
      receiving_(resources.receiving),
      sending_(resources.sending),
      timer_(strand_),
      onClosed_(std::move(onClosed)) {
  std::error_code ec;
  socket_.non_blocking(true, ec);
  const auto remote = socket_.remote_endpoint(ec);
  peer_ = ec ? std::string("?") : endpointText(remote);
  address_ = ec ? std::string("?") : remote.address().to_string();
  state_.context.peer = peer_;
}

void Session::start() {
  asio::dispatch(strand_, [self = shared_from_this()] {
    if (self->resources_.tls)
      self->startTls();
    else
      self->read();
  });
}

template <typename Buffer, typename Handler>
void Session::readSome(const Buffer& buffer, Handler&& handler) {
  if (tls_)
    tls_->async_read_some(buffer, asio::bind_executor(strand_, std::forward<Handler>(handler)));
  else
    socket_.async_read_some(buffer, asio::bind_executor(strand_, std::forward<Handler>(handler)));
}

template <typename Buffer, typename Handler>
void Session::writeAll(const Buffer& buffer, Handler&& handler) {
  if (tls_)
    asio::async_write(*tls_, buffer, asio::bind_executor(strand_, std::forward<Handler>(handler)));
  else
    asio::async_write(socket_, buffer,
                      asio::bind_executor(strand_, std::forward<Handler>(handler)));
}

void Session::startTls() {
  busy_ = true;  // until the handshake is over, a stop closes the connection at its end
  timer_.expires_after(resources_.handshakeTimeout);
  timer_.async_wait([self = shared_from_this()](std::error_code ec) {
    if (ec || self->closed_ || (self->tls_ && !self->busy_)) return;
    logConnection(self->peer_, "closed: no TLS handshake in time");
    self->close();
  });
  char* room = decoder_.prepare(kReadChunk);
  socket_.async_read_some(
      asio::buffer(room, kReadChunk),
      asio::bind_executor(strand_, [self = shared_from_this(), room](std::error_code ec, size_t n) {
        if (ec || self->closed_) {
          self->close();
          return;
        }
        // A TLS record of a handshake starts with byte 22; a MessagePack-RPC request with an
        // array of four.
        if (static_cast<unsigned char>(room[0]) != 0x16) {
          self->refusePlainText(n);
          return;
        }
        self->tls_.emplace(self->socket_, *self->resources_.tls);
        self->tls_->async_handshake(
            asio::ssl::stream_base::server, asio::buffer(room, n),
            asio::bind_executor(self->strand_, [self](std::error_code ec, size_t) {
              if (ec || self->closed_) {
                if (!self->closed_) logConnection(self->peer_, "closed: TLS: " + ec.message());
                self->close();
                return;
              }
              self->busy_ = false;
              self->timer_.cancel();
              if (self->stopping_) {
                self->close();
                return;
              }
              self->read();
            }));
      }));
}

void Session::refusePlainText(size_t received) {
  decoder_.commit(received);
  std::optional<rpc::Frame> frame;
  try {
    frame = decoder_.next();
  } catch (const std::exception&) {
  }
  logConnection(peer_, "closed: plain text on a TLS port");
  if (!frame) {
    close();
    return;
  }
  // Answered in plain text, so that a client without TLS says why it cannot connect.
  try {
    const rpc::Request request = rpc::decodeRequest(*frame, resources_.limits);
    rpc::encodeError(out_, request.msgid, 426,
                     "o servidor de aplicação exige conexão TLS (server_tls = true na sessão)");
  } catch (const std::exception&) {
    close();
    return;
  }
  closeAfterWrite_ = true;
  sendingHeld_ = 0;
  asio::async_write(socket_, asio::buffer(out_.data(), out_.size()),
                    asio::bind_executor(strand_, [self = shared_from_this()](
                                                     std::error_code, size_t) { self->close(); }));
}

void Session::stop() {
  asio::dispatch(strand_, [self = shared_from_this()] {
    self->stopping_ = true;
    if (!self->busy_) self->close();
  });
}

void Session::abort() {
  asio::dispatch(strand_, [self = shared_from_this()] { self->close(); });
}

void Session::read() {
  char* room = decoder_.prepare(kReadChunk);
  readSome(asio::buffer(room, kReadChunk),
           [self = shared_from_this()](std::error_code ec, size_t n) {
             if (ec) {
               if (ec != asio::error::eof && ec != asio::error::operation_aborted &&
                   ec != asio::ssl::error::stream_truncated)
                 logConnection(self->peer_, "closed: " + ec.message());
               self->close();
               return;
             }
             self->decoder_.commit(n);
             if (self->settleBudget()) self->next();
           });
}

void Session::next() {
  // A loop rather than recursion: a client may have sent many messages at once.
  for (;;) {
    if (closed_) return;
    if (stopping_) {
      close();
      return;
    }
    std::optional<rpc::Frame> frame;
    try {
      frame = decoder_.next();
    } catch (const std::exception& e) {
      logConnection(peer_, std::string("closed: ") + e.what());
      close();
      return;
    }
    // What a message took out of the decoder goes back to the budget.
    if (!settleBudget()) return;
    if (!frame) {
      read();
      return;
    }
    if (!call(std::move(*frame))) return;
  }
}

bool Session::call(rpc::Frame frame) {
  busy_ = true;
  const auto start = std::chrono::steady_clock::now();
  CallOutcome outcome;
  try {
    Dispatcher::Prepared prepared = dispatcher_.prepare(frame, state_, out_);
    frame.bytes = std::string();
    if (prepared.login) {
      logIn(std::move(prepared), start);
      return false;
    }
    if (prepared.method && prepared.method->waitsForLocks) {
      runElsewhere(std::move(prepared), start);
      return false;
    }
    outcome = prepared.method ? dispatcher_.run(prepared, state_.context, out_)
                              : std::move(prepared.outcome);
  } catch (const std::exception& e) {
    // Not a request that can be answered (rpc::ProtocolError), or no memory to answer it.
    logConnection(peer_, std::string("closed: ") + e.what());
    close();
    return false;
  }
  return answer(outcome, start);
}

void Session::runElsewhere(Dispatcher::Prepared prepared,
                           std::chrono::steady_clock::time_point start) {
  // The connection is busy until the answer is back: nothing on the strand reads or writes
  // state_ and out_ meanwhile. The guard keeps the server's pool running until the answer has
  // been handed back, even when the stop's drain has closed every connection.
  asio::post(changes_, [self = shared_from_this(), prepared = std::move(prepared), start,
                        work = asio::make_work_guard(socket_.get_executor())]() mutable {
    std::optional<CallOutcome> outcome;
    std::string failure;
    // The stop's drain closes a connection whose change still waits for a thread: nobody will
    // read the answer, and the stop waits for the changes in progress only, so it is not run.
    const bool abandoned = self->closed_;
    if (!abandoned) {
      try {
        outcome = self->dispatcher_.run(prepared, self->state_.context, self->out_);
      } catch (const std::exception& e) {
        failure = e.what();  // no memory to answer
      }
    }
    // The session goes to the strand's handler, not copied: a last reference dropped here,
    // after the guard, could outlive the server's pool and the strands it holds.
    auto& strand = self->strand_;
    asio::post(strand, [self = std::move(self), outcome = std::move(outcome),
                        failure = std::move(failure), start, abandoned, method = prepared.method] {
      if (abandoned) {
        logConnection(self->peer_, "closed before its " + std::string(method->contract->name) +
                                       " started; not run");
      } else if (!outcome) {
        logConnection(self->peer_, "closed: " + failure);
        self->close();
      } else if (self->closed_) {
        // Closed by the stop's drain while the change ran: the change stands, nobody reads
        // the answer.
        logCall(self->peer_, *outcome, std::chrono::steady_clock::now() - start);
      } else if (self->answer(*outcome, start)) {
        self->next();
      }
    });
    work.reset();  // only now, with the session handed over
  });
}

void Session::logIn(Dispatcher::Prepared prepared, std::chrono::steady_clock::time_point start) {
  const auto wait =
      resources_.throttle.delay(prepared.login->user, address_, LoginThrottle::Clock::now());
  timer_.expires_after(wait);
  timer_.async_wait([self = shared_from_this(), prepared = std::move(prepared),
                     start](std::error_code ec) mutable {
    if (ec || self->closed_) return;
    // The check may take a tenth of a second and 64 MiB: it runs on the pool for logins, a few
    // at a time, and its result comes back to the strand.
    auto& logins = self->resources_.logins;
    auto work = asio::make_work_guard(self->socket_.get_executor());
    asio::post(logins, [self = std::move(self), prepared = std::move(prepared), start,
                        work = std::move(work)]() mutable {
      std::optional<Access> access;
      try {
        access =
            self->dispatcher_.login()->authenticate(prepared.login->user, prepared.login->password);
      } catch (const std::exception& e) {
        logConnection(self->peer_, std::string("login not checked: ") + e.what());
      }
      auto& strand = self->strand_;
      asio::post(strand, [self = std::move(self), prepared = std::move(prepared), start,
                          access = std::move(access)]() mutable {
        self->finishLogIn(std::move(prepared), std::move(access), start);
      });
      work.reset();
    });
  });
}

void Session::finishLogIn(Dispatcher::Prepared prepared, std::optional<Access> access,
                          std::chrono::steady_clock::time_point start) {
  if (closed_) return;
  const auto now = LoginThrottle::Clock::now();
  if (access) {
    resources_.throttle.succeeded(prepared.login->user, address_);
    const CallOutcome outcome = dispatcher_.finishLogin(prepared, std::move(access), state_, out_);
    if (answer(outcome, start)) next();
    return;
  }
  resources_.throttle.failed(prepared.login->user, address_, now);
  // The refusal waits, so that a guess costs its sender time whatever the check cost.
  timer_.expires_after(resources_.failedLoginDelay);
  timer_.async_wait([self = shared_from_this(), prepared = std::move(prepared),
                     start](std::error_code ec) mutable {
    if (ec || self->closed_) return;
    const CallOutcome outcome =
        self->dispatcher_.finishLogin(prepared, std::nullopt, self->state_, self->out_);
    if (self->answer(outcome, start)) self->next();
  });
}

bool Session::answer(const CallOutcome& outcome, std::chrono::steady_clock::time_point start) {
  if (outcome.closeConnection) closeAfterWrite_ = true;
  const auto duration = std::chrono::steady_clock::now() - start;
  const bool done = out_.size() == 0 || writeNow();  // nothing to write for a notification
  // Logged after the answer went out, so that the log costs the caller nothing.
  logCall(peer_, outcome, duration);
  if (!done) return false;
  finishWrite();
  return true;
}

bool Session::writeNow() {
  // Most answers fit the socket buffer: writing at once and going on to the next message on
  // this thread spares a hand-over to another pool thread per call. The socket is
  // non-blocking, so a reader that does not keep up leaves the rest to an asynchronous write.
  std::error_code ec = asio::error::would_block;
  // Through TLS every write is asynchronous: a record may need more than the socket takes.
  const size_t sent = tls_ ? 0 : socket_.write_some(asio::buffer(out_.data(), out_.size()), ec);
  if (ec && ec != asio::error::would_block && ec != asio::error::try_again) {
    logConnection(peer_, "closed: " + ec.message());
    close();
    return false;
  }
  if (!ec && sent == out_.size()) return true;
  const size_t from = ec ? 0 : sent;
  // The rest waits for the client to read it.
  if (!sending_.take(out_.size() - from)) {
    closeOverBudget(sending_, "answers not yet read");
    return false;
  }
  sendingHeld_ = out_.size() - from;
  writeAll(asio::buffer(out_.data() + from, out_.size() - from),
           [self = shared_from_this()](std::error_code ec, size_t) {
             if (ec) {
               logConnection(self->peer_, "closed: " + ec.message());
               self->close();
               return;
             }
             self->finishWrite();
             self->next();
           });
  return false;
}

void Session::finishWrite() {
  busy_ = false;
  if (closeAfterWrite_) {
    close();
    return;
  }
  sending_.give(sendingHeld_);
  sendingHeld_ = 0;
  // Keep the buffer for the next answer, unless a bulk answer made it big.
  if (out_.size() > kKeepOutBuffer)
    out_ = rpc::OutBuffer();
  else
    out_.clear();
}

bool Session::settleBudget() {
  const size_t holding = decoder_.buffered();
  if (holding <= receivingHeld_) {
    receiving_.give(receivingHeld_ - holding);
    receivingHeld_ = holding;
    return true;
  }
  if (!receiving_.take(holding - receivingHeld_)) {
    closeOverBudget(receiving_, "messages being received");
    return false;
  }
  receivingHeld_ = holding;
  return true;
}

void Session::closeOverBudget(const ByteBudget& budget, const char* what) {
  logConnection(peer_, "closed: the " + std::to_string(budget.limit() >> 20) + " MiB for " + what +
                           " are in use");
  close();
}

void Session::close() {
  if (closed_) return;
  closed_ = true;
  receiving_.give(receivingHeld_);
  receivingHeld_ = 0;
  sending_.give(sendingHeld_);
  sendingHeld_ = 0;
  busy_ = false;
  timer_.cancel();
  std::error_code ignored;
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  onClosed_(shared_from_this());
}

}  // namespace server
