#pragma once
// A vnd42400 server in the benchmark's own process, on a free loopback port, serving `object`
// on a thread of its own until the Running goes. The object must outlive it.

#include <string>
#include <thread>

#include "server/net/server.h"

namespace bench {

struct Running {
  server::Server server;
  std::thread runner;
  uint16_t port = 0;

  Running(server::ServerConfig config, const server::ServerObject& object)
      : server(std::move(config), {&object}) {
    const std::string bound = server.listen(false);
    port = static_cast<uint16_t>(std::stoi(bound.substr(bound.rfind(':') + 1)));
    runner = std::thread([this] { server.run(); });
  }
  ~Running() {
    server.stop();
    runner.join();
  }
};

}  // namespace bench
