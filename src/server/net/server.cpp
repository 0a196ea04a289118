#include "server/net/server.h"

#include <asio.hpp>
#include <asio/ssl.hpp>

#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

#include "server/net/call_log.h"
#include "server/net/dispatcher.h"
#include "server/net/session.h"

namespace server {

struct Server::Impl {
  Impl(ServerConfig c, std::vector<const ServerObject*> objects)
      : config(std::move(c)),
        dispatcher(std::move(objects), config.token, config.limits, config.login),
        receiving(config.maxReceivingBytes),
        sending(config.maxSendingBytes),
        threads(config.workers == 0 ? 1 : config.workers),
        changes(threads),
        logins(config.loginThreads == 0 ? 1 : config.loginThreads),
        io(static_cast<int>(threads)),
        resources{dispatcher, config.limits,          receiving,
                  sending,    changes.get_executor(), logins.get_executor(),
                  throttle,   config.failedLoginDelay} {}

  void accept();
  void shutdown();
  void awaitSignal();
  void closeBusy(const std::string& why);

  ServerConfig config;
  Dispatcher dispatcher;
  // Before io: the sessions its handlers hold use them to the end.
  ByteBudget receiving;
  ByteBudget sending;
  unsigned threads;
  // Runs the changes that may wait for one another's locks, as many at once as `io` runs other
  // calls. Before io: the sessions its handlers hold refer to it.
  asio::thread_pool changes;
  // Checks passwords, a few at a time; before io for the same reason.
  asio::thread_pool logins;
  LoginThrottle throttle;
  std::optional<asio::ssl::context> tls;
  asio::io_context io;
  SessionResources resources;
  // The listener, the set of sessions and the stop flag are only touched on this strand.
  asio::strand<asio::io_context::executor_type> strand{io.get_executor()};
  // Their handlers are bound to the strand; accepted sockets keep the plain pool executor, so
  // that each session's strand is its own.
  asio::ip::tcp::acceptor acceptor{io};
  asio::steady_timer retry{io};
  asio::steady_timer drain{io};
  std::optional<asio::signal_set> signals;
  std::set<std::shared_ptr<Session>> sessions;
  bool stopping = false;
};

Server::Server(ServerConfig config, std::vector<const ServerObject*> objects)
    : impl_(std::make_unique<Impl>(std::move(config), std::move(objects))) {}

Server::~Server() = default;

namespace {

// A server context that speaks TLS 1.2 or later only, with the certificate and key of the files.
asio::ssl::context serverTls(const std::string& certFile, const std::string& keyFile) {
  asio::ssl::context context(asio::ssl::context::tls_server);
  context.set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                      asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                      asio::ssl::context::no_tlsv1_1 | asio::ssl::context::single_dh_use);
  try {
    context.use_certificate_chain_file(certFile);
  } catch (const std::system_error& e) {
    throw std::runtime_error("cannot use the TLS certificate " + certFile + ": " +
                             e.code().message());
  }
  try {
    context.use_private_key_file(keyFile, asio::ssl::context::pem);
  } catch (const std::system_error& e) {
    throw std::runtime_error("cannot use the TLS key " + keyFile + ": " + e.code().message());
  }
  return context;
}

}  // namespace

std::string Server::listen(bool catchSignals) {
  Impl& s = *impl_;
  if (!s.config.tlsCertFile.empty() || !s.config.tlsKeyFile.empty()) {
    if (s.config.tlsCertFile.empty() || s.config.tlsKeyFile.empty())
      throw std::runtime_error("TLS needs both a certificate and a key");
    s.tls.emplace(serverTls(s.config.tlsCertFile, s.config.tlsKeyFile));
    s.resources.tls = &*s.tls;
  }
  asio::ip::tcp::endpoint endpoint;
  std::error_code ec;
  const auto address = asio::ip::make_address(s.config.host, ec);
  if (!ec) {
    endpoint = {address, s.config.port};
  } else {
    asio::ip::tcp::resolver resolver(s.io);
    const auto results = resolver.resolve(s.config.host, std::to_string(s.config.port), ec);
    if (ec || results.empty())
      throw std::runtime_error("cannot resolve " + s.config.host + ": " + ec.message());
    endpoint = results.begin()->endpoint();
  }
  try {
    s.acceptor.open(endpoint.protocol());
    s.acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true));
    s.acceptor.bind(endpoint);
    s.acceptor.listen();
  } catch (const std::system_error& e) {
    throw std::runtime_error("cannot listen on " + s.config.host + ":" +
                             std::to_string(s.config.port) + ": " + e.code().message());
  }
  if (catchSignals) {
    s.signals.emplace(s.io, SIGINT, SIGTERM);
    s.awaitSignal();
  }
  return endpointText(s.acceptor.local_endpoint());
}

void Server::run() {
  Impl& s = *impl_;
  asio::dispatch(s.strand, [&s] { s.accept(); });
  std::vector<std::thread> pool;
  for (unsigned i = 1; i < s.threads; ++i) pool.emplace_back([&s] { s.io.run(); });
  s.io.run();
  for (auto& t : pool) t.join();
}

void Server::stop() {
  asio::post(impl_->strand, [s = impl_.get()] { s->shutdown(); });
}

void Server::Impl::accept() {
  acceptor.async_accept(
      asio::bind_executor(strand, [this](std::error_code ec, asio::ip::tcp::socket socket) {
        if (stopping || ec == asio::error::operation_aborted) return;
        if (ec) {
          // Out of descriptors, usually: wait a little rather than spin on the error.
          logInfo("accept failed: " + ec.message());
          retry.expires_after(std::chrono::milliseconds(100));
          retry.async_wait(asio::bind_executor(strand, [this](std::error_code waitEc) {
            if (!waitEc && !stopping) accept();
          }));
          return;
        }
        if (config.maxConnections != 0 && sessions.size() >= config.maxConnections) {
          std::error_code ignored;
          const auto remote = socket.remote_endpoint(ignored);
          logConnection(endpointText(remote), "refused: " + std::to_string(config.maxConnections) +
                                                  " connections already open");
          socket.close(ignored);
          accept();
          return;
        }
        std::error_code ignored;
        socket.set_option(asio::ip::tcp::no_delay(true), ignored);
        // A client whose machine vanished without closing is found out by the system's probes
        // in time, instead of holding its connection slot for ever.
        socket.set_option(asio::socket_base::keep_alive(true), ignored);
        auto onClosed = [this](const std::shared_ptr<Session>& closed) {
          asio::post(strand, [this, closed] {
            sessions.erase(closed);
            if (stopping && sessions.empty()) {
              // Nothing left to drain or to cut short: run() may return.
              drain.cancel();
              std::error_code ignored;
              if (signals) signals->cancel(ignored);
            }
          });
        };
        auto session = std::make_shared<Session>(std::move(socket), resources, std::move(onClosed));
        sessions.insert(session);
        session->start();
        accept();
      }));
}

void Server::Impl::shutdown() {
  if (stopping) return;
  stopping = true;
  logInfo("stopping: " + std::to_string(sessions.size()) + " connections open");
  std::error_code ignored;
  acceptor.close(ignored);
  retry.cancel();
  if (signals) signals->cancel(ignored);
  for (const auto& session : sessions) session->stop();
  if (sessions.empty()) return;
  drain.expires_after(config.drainTimeout);
  drain.async_wait(asio::bind_executor(strand, [this](std::error_code ec) {
    if (!ec) closeBusy("the drain timed out");
  }));
}

// The first SIGINT or SIGTERM stops the server as stop() does. A second one, while connections
// still drain, closes them at once, as the drain's end would: the way out of a long drain
// short of SIGKILL. A change in progress still ends before run() returns, so its transaction
// is never cut in two.
void Server::Impl::awaitSignal() {
  signals->async_wait(asio::bind_executor(strand, [this](std::error_code ec, int) {
    if (ec) return;
    if (stopping) {
      closeBusy("a second signal");
      return;
    }
    shutdown();
    if (!sessions.empty()) awaitSignal();
  }));
}

void Server::Impl::closeBusy(const std::string& why) {
  logInfo(why + ": closing " + std::to_string(sessions.size()) + " connections still busy");
  for (const auto& session : sessions) session->abort();
}

}  // namespace server
