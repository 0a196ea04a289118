#pragma once
// One client connection: reads bytes into a stream decoder, hands each complete message to a
// worker thread for the dispatcher, writes the response, and only then looks at the next
// message, so a connection's calls are answered in order and at most one message is decoded
// at a time. A protocol violation (malformed bytes, a message over a limit) closes the
// connection. The server keeps every live session and is told when one closes. Everything
// but the call itself runs on the server's single I/O thread.

#include <asio.hpp>

#include <functional>
#include <memory>
#include <string>

#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "server/dispatcher.h"

namespace server {

class Session : public std::enable_shared_from_this<Session> {
 public:
  using Closed = std::function<void(const std::shared_ptr<Session>&)>;

  Session(asio::ip::tcp::socket socket, const Dispatcher& dispatcher, asio::thread_pool& workers,
          const rpc::Limits& limits, Closed onClosed);

  void start();
  // Graceful end: an idle connection closes now; one with a call in progress closes once the
  // answer is written. Messages received but not started are dropped.
  void stop();

  const std::string& peer() const { return peer_; }

 private:
  void read();
  void next();
  void work(rpc::Frame frame);  // on a worker thread
  void answered(bool close);
  void close();

  asio::ip::tcp::socket socket_;
  const Dispatcher& dispatcher_;
  asio::thread_pool& workers_;
  rpc::StreamDecoder decoder_;
  rpc::OutBuffer out_;
  SessionState state_;
  std::string peer_;
  Closed onClosed_;
  bool busy_ = false;  // a message is with a worker or its answer is being written
  bool stopping_ = false;
  bool closed_ = false;
};

}  // namespace server
