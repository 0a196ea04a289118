#pragma once
// A server::Server of the test's own, in-process on a free loopback port, running on a thread
// of its own until the object goes (or stop() is called). For tests of the network layer with
// a fake server object: what a client sees when it or another client misbehaves.

#include <future>
#include <string>
#include <thread>

#include "server/net/server.h"
#include "support/rpc_client.h"

namespace servertest {

class RunningServer {
 public:
  // The objects must outlive the server. Port 0 is taken unless the config asks otherwise;
  // the host is the config's (its default is loopback).
  RunningServer(server::ServerConfig config, std::vector<const server::ServerObject*> objects)
      : server_(withFreePort(std::move(config)), std::move(objects)) {
    std::promise<void> done;
    finished_ = done.get_future();
    bound = server_.listen(false);
    port = static_cast<uint16_t>(std::stoi(bound.substr(bound.rfind(':') + 1)));
    thread_ = std::thread([this, done = std::move(done)]() mutable {
      server_.run();
      done.set_value();
    });
  }
  ~RunningServer() { stop(); }
  RunningServer(const RunningServer&) = delete;
  RunningServer& operator=(const RunningServer&) = delete;

  // Asks the server to stop and waits until run() returned.
  void stop() {
    if (!thread_.joinable()) return;
    server_.stop();
    thread_.join();
  }

  std::string bound;  // "HOST:PORT" as listen() returned it
  uint16_t port = 0;

 private:
  static server::ServerConfig withFreePort(server::ServerConfig config) {
    config.port = 0;
    return config;
  }

  server::Server server_;
  std::future<void> finished_;
  std::thread thread_;
};

}  // namespace servertest
