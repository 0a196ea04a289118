#pragma once
// Turns one request frame into its response: attaching a connection to a server object,
// checking a call against its method in the remote contract (the one check of argument count
// and kinds a call gets), running the handler and translating what it throws into the error
// slot. It is the one place where failures become error codes, and
// it holds no per-connection state of its own: the caller keeps a SessionState per connection
// and calls handle() for one frame of a connection at a time. handle() is safe to call from
// several threads for different connections.
//
// attach takes [name], [name, token] or [name, token or nil, {"user": ..., "host": ...,
// "password": ...}]. Without accounts (no Login, or a database without any) the map's user and
// host fill CallContext for the calls that follow, and the answer is true. With accounts, attach
// must carry a user and password: prepare() hands the check to the caller (Prepared::login),
// which runs it where a slow, memory-hard check may wait and then calls finishLogin(); the
// answer is then [account, [right...], branches packet (CDFILIAL, NMFILIAL) or nil for all].
// A logged-in connection's access is read again before a call once it is kAccessFreshFor old;
// an account disabled or removed meanwhile ends the connection.
//
// Error codes of the response's error slot:
//   400  a malformed request, or an argument of the wrong kind or count
//        ("<method>: argumento <n> inválido", n from 1; for a count the first missing or
//        extra position)
//   401  attach with a missing or wrong access token ("acesso negado"), a wrong user or
//        password ("usuário ou senha inválidos", the same for either, and the connection
//        closes), or a call from an account disabled or removed since it logged in
//   404  attach to a name no object has ("servidor desconhecido: <name>")
//   405  a method the attached object does not have ("método desconhecido: <method>")
//   407  attach without a user and password where the server asks for them
//   409  a method other than attach before a successful attach
//   500  a handler failed with anything but a CallError ("erro interno do servidor (<method>)";
//        the cause goes to the server's log only: it may hold SQL or paths)
//   any code a handler raises with CallError

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rpc/limits.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "server/object/login.h"
#include "server/object/server_object.h"

namespace server {

// What one connection has established: the object it is attached to (none at first), who is
// calling and, when logged in, when its access was last read.
struct SessionState {
  const ServerObject* object = nullptr;
  CallContext context;
  std::chrono::steady_clock::time_point accessReadAt;
};

inline constexpr int kLoginRequired = 407;

// How a request ended, for the log line.
struct CallOutcome {
  enum class Result { Ok, Refused, Error, Ignored };
  Result result = Result::Ok;
  int code = 0;        // Error: the error code; Refused: the answer's status
  std::string method;  // as received, empty when the request had none
  std::string detail;  // Error 500: the cause, for the log and never for the peer
  // The connection closes once the answer is written (a failed login, an account gone).
  bool closeConnection = false;
};

// An attach that must log in, for the caller to check (Login::authenticate).
struct LoginAttempt {
  const ServerObject* object = nullptr;
  std::string user;
  std::string host;
  std::string password;
};

class Dispatcher {
 public:
  // `objects` and `login` must outlive the dispatcher. An empty token lets every attach through;
  // otherwise attach must present exactly this token. Without `login` no attach logs in.
  Dispatcher(std::vector<const ServerObject*> objects, std::string token, rpc::Limits limits = {},
             Login* login = nullptr);

  // How long a logged-in connection's access is trusted before it is read again.
  static constexpr std::chrono::seconds kAccessFreshFor{2};

  // A request taken apart and checked against its method, ready to run(); or, without a
  // method, one prepare() answered already (attach, a notification, a request refused as
  // such), `outcome` saying how.
  struct Prepared {
    const MethodSpec* method = nullptr;
    uint32_t msgid = 0;
    CallArgs args;
    CallOutcome outcome;
    std::optional<LoginAttempt> login;  // an attach whose login the caller checks
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
  // Ends an attach that logged in: `access` is the account's, or nullopt for a refusal (which
  // closes the connection). The password is wiped either way.
  CallOutcome finishLogin(Prepared& attempt, std::optional<Access> access, SessionState& state,
                          rpc::OutBuffer& out) const;
  Login* login() const { return login_; }

 private:
  struct Object {
    const ServerObject* object;
    std::map<std::string, const MethodSpec*, std::less<>> methods;
  };

  using Clock = std::chrono::steady_clock;
  rtl::Variant loginResult(const Access& access) const;
  // False when the logged-in account was disabled or removed; the state is detached then.
  bool refreshAccess(SessionState& state) const;

  std::map<std::string, Object, std::less<>> objects_;
  std::string token_;
  rpc::Limits limits_;
  Login* login_;
};

}  // namespace server
