#pragma once
// The floor of a round trip: a loopback TCP server that sends back whatever it receives, one
// thread per connection, doing nothing else. Listens on 127.0.0.1 on a free port until
// destroyed.

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace bench {

class EchoServer {
 public:
  EchoServer();
  ~EchoServer();
  uint16_t port() const { return port_; }

 private:
  void acceptLoop();

  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::vector<int> fds_;
};

}  // namespace bench
