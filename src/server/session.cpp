#include "server/session.h"

#include <chrono>

#include "rpc/protocol_error.h"
#include "server/call_log.h"

namespace server {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr size_t kKeepOutBuffer = 8 << 20;

std::string endpointText(const asio::ip::tcp::endpoint& endpoint) {
  const auto address = endpoint.address();
  const std::string host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
  return host + ":" + std::to_string(endpoint.port());
}

}  // namespace

Session::Session(asio::ip::tcp::socket socket, const Dispatcher& dispatcher,
                 asio::thread_pool& workers, const rpc::Limits& limits, Closed onClosed)
    : socket_(std::move(socket)),
      dispatcher_(dispatcher),
      workers_(workers),
      decoder_(limits),
      onClosed_(std::move(onClosed)) {
  std::error_code ec;
  const auto remote = socket_.remote_endpoint(ec);
  peer_ = ec ? std::string("?") : endpointText(remote);
  state_.context.peer = peer_;
}

void Session::start() {
  read();
}

void Session::stop() {
  stopping_ = true;
  if (!busy_) close();
}

void Session::read() {
  char* room = decoder_.prepare(kReadChunk);
  socket_.async_read_some(asio::buffer(room, kReadChunk),
                          [self = shared_from_this()](std::error_code ec, size_t n) {
                            if (ec) {
                              if (ec != asio::error::eof && ec != asio::error::operation_aborted)
                                logConnection(self->peer_, "closed: " + ec.message());
                              self->close();
                              return;
                            }
                            self->decoder_.commit(n);
                            self->next();
                          });
}

void Session::next() {
  if (closed_) return;
  if (stopping_) {
    close();
    return;
  }
  std::optional<rpc::Frame> frame;
  try {
    frame = decoder_.next();
  } catch (const rpc::ProtocolError& e) {
    logConnection(peer_, std::string("closed: ") + e.what());
    close();
    return;
  }
  if (!frame) {
    read();
    return;
  }
  busy_ = true;
  asio::post(workers_, [self = shared_from_this(), frame = std::move(*frame),
                        guard = asio::make_work_guard(socket_.get_executor())]() mutable {
    self->work(std::move(frame));
  });
}

void Session::work(rpc::Frame frame) {
  const auto start = std::chrono::steady_clock::now();
  bool close = false;
  try {
    const CallOutcome outcome = dispatcher_.handle(frame, state_, out_);
    logCall(peer_, outcome, std::chrono::steady_clock::now() - start);
  } catch (const std::exception& e) {
    // Not a request that can be answered (rpc::ProtocolError), or no memory to answer it.
    logConnection(peer_, std::string("closed: ") + e.what());
    close = true;
  }
  // Free the request's memory here rather than on the I/O thread.
  frame.bytes = std::string();
  asio::post(socket_.get_executor(), [self = shared_from_this(), close] { self->answered(close); });
}

void Session::answered(bool closeNow) {
  if (closeNow) {
    close();
    return;
  }
  if (out_.size() == 0) {  // a notification
    busy_ = false;
    next();
    return;
  }
  asio::async_write(socket_, asio::buffer(out_.data(), out_.size()),
                    [self = shared_from_this()](std::error_code ec, size_t) {
                      self->busy_ = false;
                      // Keep the buffer for the next answer, unless a bulk answer made it big.
                      if (self->out_.size() > kKeepOutBuffer)
                        self->out_ = rpc::OutBuffer();
                      else
                        self->out_.clear();
                      if (ec) {
                        logConnection(self->peer_, "closed: " + ec.message());
                        self->close();
                        return;
                      }
                      self->next();
                    });
}

void Session::close() {
  if (closed_) return;
  closed_ = true;
  std::error_code ignored;
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  onClosed_(shared_from_this());
}

}  // namespace server
