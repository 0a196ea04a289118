#pragma once
// What the network layer needs of a server object: its name (the one `attach` names) and its
// methods, each with the argument kinds it accepts position by position and a handler that
// turns checked arguments into the method's answer. The network layer checks count and kinds
// before calling a handler (refusing with "<method>: argumento <n> inválido"), runs handlers
// on worker threads (a handler must be safe to call from several threads at once), and writes
// the answer back as [status, message, data].

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/data_packet.h"

namespace server {

// The wire kinds of an argument.
enum class ArgKind { String, StringRef, Date, Integer, Boolean, Packet, Null };

// One decoded argument. Only the member of its kind is meaningful.
struct Arg {
  ArgKind kind = ArgKind::Null;
  std::string text;                               // String, StringRef
  double date = 0;                                // Date: days since 1899-12-30
  int64_t integer = 0;                            // Integer
  bool boolean = false;                           // Boolean
  std::shared_ptr<const rtl::DataPacket> packet;  // Packet
};

// Who is calling: the peer address, and once the client says so, its user and machine.
struct CallContext {
  std::string peer;
  std::string user;
  std::string host;
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

struct MethodSpec {
  std::string name;
  // params[i]: the kinds accepted at position i + 1.
  std::vector<std::vector<ArgKind>> params;
  std::function<Answer(const CallContext&, const std::vector<Arg>&)> handler;
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
