#pragma once
// One MessagePack-RPC connection from the client to an application server: connect and attach
// to a server object, then calls one at a time, each waiting for its own answer. Every wait is
// bounded: the connect by the connect timeout, a call by the call timeout. A timeout or a
// broken socket closes the channel; the caller may open it again. Failures raise
// rtl::ERemoteError with a message for the user.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "rtl/variant.h"

namespace remote {

struct Endpoint {
  std::string host;
  int port = 0;
  std::string serverName;  // the server object to attach to
  std::string token;       // access token; empty for none
  std::string user;        // who is calling, sent with attach when set
  std::string machine;
  // The account's password, sent with attach when set, and only through TLS or to loopback.
  std::string password;
  // TLS: the server's certificate is verified against `caFile` (PEM; empty: the system's
  // authorities) and must name `host`.
  bool tls = false;
  std::string caFile;
  std::chrono::milliseconds connectTimeout{10'000};
  std::chrono::milliseconds callTimeout{120'000};
};

class RpcChannel {
 public:
  RpcChannel();
  ~RpcChannel();
  RpcChannel(const RpcChannel&) = delete;
  RpcChannel& operator=(const RpcChannel&) = delete;

  // Connects and attaches. Raises ERemoteError when the server cannot be reached in time, its
  // certificate cannot be trusted, or it refuses the attach (unknown server object, access
  // denied, a login needed: code 407, or refused: 401); the message says which, in Portuguese.
  void open(const Endpoint& endpoint);
  // What the server answered the last attach: true, or for a login [account, [right...],
  // branches packet or null for every branch].
  const rtl::Variant& attachResult() const;
  void close();
  bool isOpen() const;

  // Calls `method` with `args` and returns its result. Raises ERemoteError on a timeout, a
  // lost connection or an error reply (whose code and message it carries).
  rtl::Variant call(const std::string& method, const std::vector<rtl::Variant>& args);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace remote
