#pragma once
// One client connection: reads bytes into a stream decoder, runs each complete message through
// the dispatcher, writes the response, and only then looks at the next message, so a
// connection's calls are answered in order and at most one message is decoded at a time. A
// protocol violation (malformed bytes, a message over a limit) closes the connection.
//
// Every handler of a session runs on its own strand of the server's thread pool: a call runs
// on whichever pool thread read its last bytes, so a slow call holds up its own connection and
// one pool thread, and nothing else. A change that may wait for another change's lock runs on
// the server's pool for changes instead, and its answer comes back to the strand: changes
// waiting for each other hold up changes only. The server keeps every live session and is told
// (through `onClosed`) when one closes.

#include <asio.hpp>
#include <asio/ssl.hpp>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "server/net/byte_budget.h"
#include "server/net/dispatcher.h"
#include "server/net/login_throttle.h"

namespace server {

// "127.0.0.1:2110", "[::1]:2110".
std::string endpointText(const asio::ip::tcp::endpoint& endpoint);

// What every session of a server shares; the server owns it and it outlives the sessions.
struct SessionResources {
  const Dispatcher& dispatcher;
  rpc::Limits limits;
  ByteBudget& receiving;                     // messages still arriving
  ByteBudget& sending;                       // answers the client has not read yet
  asio::thread_pool::executor_type changes;  // the calls of methods that wait for locks
  asio::thread_pool::executor_type logins;   // password checks, a few at a time
  LoginThrottle& throttle;
  // A failed login is answered this long after its check, whatever the check cost.
  std::chrono::milliseconds failedLoginDelay{1000};
  // When set, every connection must speak TLS with this context from its first byte.
  asio::ssl::context* tls = nullptr;
  // How long a TLS connection may take to finish its handshake.
  std::chrono::milliseconds handshakeTimeout{10'000};
};

class Session : public std::enable_shared_from_this<Session> {
 public:
  using Closed = std::function<void(const std::shared_ptr<Session>&)>;

  Session(asio::ip::tcp::socket socket, const SessionResources& resources, Closed onClosed);

  // Both may be called from any thread.
  void start();
  // Graceful end: an idle connection closes now; one with a call in progress closes once the
  // answer is written. Messages received but not started are dropped.
  void stop();
  // Closes the connection as soon as no handler of it runs, whatever it was doing.
  void abort();

 private:
  // TLS: takes the first bytes, and hands them to the handshake when they open one; plain
  // MessagePack on a TLS port is answered with an error saying so, then closed.
  void startTls();
  void refusePlainText(size_t received);
  void read();
  void next();
  template <typename Buffer, typename Handler>
  void readSome(const Buffer& buffer, Handler&& handler);
  template <typename Buffer, typename Handler>
  void writeAll(const Buffer& buffer, Handler&& handler);
  // Runs one message; true when its answer is written and the next message may follow.
  bool call(rpc::Frame frame);
  // Runs a prepared change on the pool for changes; the answer comes back to the strand.
  void runElsewhere(Dispatcher::Prepared prepared, std::chrono::steady_clock::time_point start);
  // Checks an attach's login on the pool for logins, after the throttle's wait; a refusal is
  // answered after the failed-login delay and closes the connection.
  void logIn(Dispatcher::Prepared prepared, std::chrono::steady_clock::time_point start);
  void finishLogIn(Dispatcher::Prepared prepared, std::optional<Access> access,
                   std::chrono::steady_clock::time_point start);
  // Writes the answer a call left in out_ and logs the call; true as for call().
  bool answer(const CallOutcome& outcome, std::chrono::steady_clock::time_point start);
  // Writes the answer in out_; false when the rest is left to an asynchronous write (or the
  // connection broke).
  bool writeNow();
  void finishWrite();
  // Brings what this connection holds of the receiving budget in line with the bytes its
  // decoder holds; false, with the connection closed, when the budget cannot take them.
  bool settleBudget();
  // Closes the connection because it would pass `budget` (holding `what`), saying so in the log.
  void closeOverBudget(const ByteBudget& budget, const char* what);
  void close();

  asio::strand<asio::any_io_executor> strand_;
  asio::ip::tcp::socket socket_;
  // Over socket_ once the client opened a TLS handshake.
  std::optional<asio::ssl::stream<asio::ip::tcp::socket&>> tls_;
  const SessionResources& resources_;
  const Dispatcher& dispatcher_;
  asio::thread_pool::executor_type changes_;
  rpc::StreamDecoder decoder_;
  ByteBudget& receiving_;
  ByteBudget& sending_;
  asio::steady_timer timer_;  // the waits around a login
  size_t receivingHeld_ = 0;  // bytes taken from receiving_
  size_t sendingHeld_ = 0;    // bytes taken from sending_
  rpc::OutBuffer out_;
  SessionState state_;
  std::string peer_;
  std::string address_;  // the peer without its port, for the login throttle
  Closed onClosed_;
  bool closeAfterWrite_ = false;
  bool busy_ = false;  // a call is running or its answer is being written
  bool stopping_ = false;
  // Also read on the pool for changes: a change not started when its connection closed is not
  // started at all.
  std::atomic<bool> closed_ = false;
};

}  // namespace server
