#pragma once
// The TCP server of vnd42400: one listening socket, a session per connection, a small pool
// of threads that do the reading, the calls and the writing, and a pool of the same size for
// the changes that may wait for one another. Each connection is served on a
// strand of its own, answered in order and one call at a time, so a slow call holds up its own
// connection and one pool thread only. The server objects are the caller's; the Server owns
// sockets, threads and sessions.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rpc/limits.h"
#include "server/object/login.h"
#include "server/object/server_object.h"

namespace server {

struct ServerConfig {
  std::string host = "127.0.0.1";
  uint16_t port = 2110;
  // Empty: attach needs no token.
  std::string token;
  // Connections beyond this many are accepted and closed at once; 0 for no limit.
  size_t maxConnections = 256;
  // Threads of the pool, the number of calls that can run at once; as many again run the
  // changes that may wait for one another's locks (MethodSpec::waitsForLocks).
  unsigned workers = 4;
  // After a stop, how long connections may take to finish their calls and write the answers;
  // those still open then are closed. The default is the client's own call timeout, after
  // which nobody waits for the answer anymore.
  std::chrono::milliseconds drainTimeout{120'000};
  rpc::Limits limits;
  // The bytes all connections together may hold in messages still arriving, and in answers
  // their clients have not read yet; a connection that would pass either is closed. 0 for no
  // limit.
  size_t maxReceivingBytes = size_t{1} << 30;
  size_t maxSendingBytes = size_t{1} << 30;
  // The accounts attach logs in with; null for a server that asks no login. Must outlive the
  // server.
  Login* login = nullptr;
  // PEM files of the certificate chain and private key; both set, every connection speaks TLS
  // (1.2 or later) from its first byte.
  std::string tlsCertFile;
  std::string tlsKeyFile;
  // Password checks run at once at most (each takes 64 MiB for about a tenth of a second).
  unsigned loginThreads = 2;
  std::chrono::milliseconds failedLoginDelay{1000};
};

class Server {
 public:
  // The objects must outlive the server.
  Server(ServerConfig config, std::vector<const ServerObject*> objects);
  ~Server();

  // Reads the TLS files, binds and listens, and from then on catches SIGINT and SIGTERM (when
  // asked) to stop; a second signal during the drain closes the connections still busy at once.
  // Returns the bound address as "HOST:PORT" (the real port when port 0 was asked for).
  // Raises std::runtime_error when the TLS files cannot be used or the address cannot be bound.
  std::string listen(bool catchSignals = true);

  // Serves until stop() or a caught signal; then stops accepting, closes idle connections,
  // lets every call in progress finish and its answer be written (within drainTimeout), and
  // returns.
  void run();

  // Asks run() to finish as above. Safe from any thread.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace server
