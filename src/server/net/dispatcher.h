#pragma once
// Turns one request frame into its response: attaching a connection to a server object,
// checking a call against its method in the remote contract (the one check of argument count
// and kinds a call gets), running the handler and translating what it throws into the error
// slot. It is the one place where failures become error codes, and
// it holds no per-connection state of its own: the caller keeps a SessionState per connection
// and calls handle() for one frame of a connection at a time. handle() is safe to call from
// several threads for different connections.
//
// attach takes [name], [name, token] or [name, token or nil, {"user": ..., "host": ...}]; the
// map fills CallContext user and host for the calls that follow.
//
// Error codes of the response's error slot:
//   400  a malformed request, or an argument of the wrong kind or count
//        ("<method>: argumento <n> inválido", n from 1; for a count the first missing or
//        extra position)
//   401  attach with a missing or wrong access token ("acesso negado")
//   404  attach to a name no object has ("servidor desconhecido: <name>")
//   405  a method the attached object does not have ("método desconhecido: <method>")
//   409  a method other than attach before a successful attach
//   500  a handler failed with anything but a CallError ("erro interno do servidor (<method>)";
//        the cause goes to the server's log only: it may hold SQL or paths)
//   any code a handler raises with CallError

#include <chrono>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "rpc/limits.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "server/object/server_object.h"

namespace server {

// What one connection has established: the object it is attached to (none at first) and who
// is calling.
struct SessionState {
  const ServerObject* object = nullptr;
  CallContext context;
};

// How a request ended, for the log line.
struct CallOutcome {
  enum class Result { Ok, Refused, Error, Ignored };
  Result result = Result::Ok;
  int code = 0;        // Error: the error code; Refused: the answer's status
  std::string method;  // as received, empty when the request had none
  std::string detail;  // Error 500: the cause, for the log and never for the peer
};

class Dispatcher {
 public:
  // `objects` must outlive the dispatcher. An empty token lets every attach through; otherwise
  // attach must present exactly this token.
  Dispatcher(std::vector<const ServerObject*> objects, std::string token, rpc::Limits limits = {});

  // A request taken apart and checked against its method, ready to run(); or, without a
  // method, one prepare() answered already (attach, a notification, a request refused as
  // such), `outcome` saying how.
  struct Prepared {
    const MethodSpec* method = nullptr;
    uint32_t msgid = 0;
    CallArgs args;
    CallOutcome outcome;
  };

  // Replaces the content of `out` with the response to `frame` (nothing for a notification)
  // and updates `state` on attach. Raises rpc::ProtocolError when the frame cannot be answered
  // (not a request, no usable msgid); the caller then closes the connection.
  CallOutcome handle(const rpc::Frame& frame, SessionState& state, rpc::OutBuffer& out) const;

  // handle() in two steps, for a caller that runs some methods elsewhere: prepare() decodes,
  // checks and answers what needs no handler, raising as handle() does; run() runs the
  // handler of a prepared call (which must have a method; the handler may move its arguments
  // out) and writes its response to `out`.
  Prepared prepare(const rpc::Frame& frame, SessionState& state, rpc::OutBuffer& out) const;
  CallOutcome run(Prepared& call, const CallContext& context, rpc::OutBuffer& out) const;

 private:
  struct Object {
    const ServerObject* object;
    std::map<std::string, const MethodSpec*, std::less<>> methods;
  };

  std::map<std::string, Object, std::less<>> objects_;
  std::string token_;
  rpc::Limits limits_;
};

}  // namespace server
