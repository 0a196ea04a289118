#pragma once
// What the network layer needs of a server object: its name (the one `attach` names) and its
// methods, each a method of the remote contract with a handler. The network layer checks every
// call against the contract (count and kinds of the arguments) before it calls a handler, runs
// handlers on worker threads (a handler must be safe to call from several threads at once), and
// writes the answer back as [status, message, data].

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <memory>

#include "contract/remote_contract.h"
#include "rpc/wire_value.h"
#include "rtl/data_packet.h"
#include "server/object/connection_memory.h"
#include "server/storage/accounts.h"

namespace server {

// Who is calling: the peer address; the account it logged in with, or without a login what
// the client says its user is; the machine the client says it runs on; what it may do; and
// what the object remembers of the connection's earlier calls, which its methods update
// through the const context they are given (a connection's calls run one at a time).
struct CallContext {
  std::string peer;
  std::string user;
  std::string host;
  // Null when the server asks no login (a database without accounts): every right, every
  // branch.
  std::shared_ptr<const Access> access = nullptr;
  mutable ConnectionMemory memory = {};
};

// The answer of a method: status 0 with an optional packet, or a refusal with a message for
// the user in Brazilian Portuguese.
struct Answer {
  int status = 0;
  std::string message;
  std::optional<rtl::DataPacket> data;

  static Answer ok() { return {}; }
  static Answer ok(rtl::DataPacket packet) { return {0, {}, std::move(packet)}; }
  static Answer refuse(std::string message) { return {1, std::move(message), std::nullopt}; }
};

// An error reported in the response's error slot rather than as an answer.
class CallError : public std::exception {
 public:
  CallError(int code, std::string message) : code_(code), message_(std::move(message)) {}
  int code() const noexcept { return code_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int code_;
  std::string message_;
};

// The arguments of a call, in the kinds its contract accepts (checked before the handler runs);
// a handler may move out of them.
using CallArgs = std::vector<rpc::WireValue>;

struct MethodSpec {
  const contract::Method* contract = nullptr;
  std::function<Answer(const CallContext&, CallArgs&)> handler;
  // A change that may wait for another change to end (a lock in the database). The server runs
  // such calls on threads of their own, so that changes waiting for each other never hold up
  // the lookups of other users.
  bool waitsForLocks = false;
};

class ServerObject {
 public:
  virtual ~ServerObject() = default;
  // The name clients attach to, e.g. "Vnd42400.rdmTabePreco".
  virtual std::string_view name() const = 0;
  virtual const std::vector<MethodSpec>& methods() const = 0;
};

}  // namespace server
