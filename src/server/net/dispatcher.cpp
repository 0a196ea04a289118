#include "server/net/dispatcher.h"

#include <optional>

#include "rpc/protocol_error.h"
#include "rpc/server_codec.h"

namespace server {
namespace {

using Result = CallOutcome::Result;

constexpr std::string_view kAttach = "attach";
// The longest user or machine name an attach keeps, in bytes.
constexpr size_t kMaxSelfDescription = 256;

// Compares without an early exit, so the time taken does not tell how much of a guessed
// token was right.
bool sameSecret(std::string_view given, std::string_view expected) {
  unsigned char diff = given.size() == expected.size() ? 0 : 1;
  for (size_t i = 0; i < expected.size(); ++i) {
    const unsigned char g = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
    diff |= g ^ static_cast<unsigned char>(expected[i]);
  }
  return diff == 0;
}

std::string invalidArgument(std::string_view method, size_t position) {
  return std::string(method) + ": argumento " + std::to_string(position) + " inválido";
}

CallOutcome error(rpc::OutBuffer& out, uint32_t msgid, std::string method, int code,
                  std::string_view message) {
  rpc::encodeError(out, msgid, code, message);
  return {Result::Error, code, std::move(method), {}};
}

// What the peer learns of a failure inside the server: which call failed, not why -- the
// cause (database errors with their SQL, file names) stays in the server's log.
CallOutcome internalError(rpc::OutBuffer& out, uint32_t msgid, const std::string& method,
                          std::string cause) {
  out.clear();
  CallOutcome outcome =
      error(out, msgid, method, 500,
            "erro interno do servidor (" + method + "); a causa está no registro do servidor");
  outcome.detail = std::move(cause);
  return outcome;
}

}  // namespace

Dispatcher::Dispatcher(std::vector<const ServerObject*> objects, std::string token,
                       rpc::Limits limits, Login* login)
    : token_(std::move(token)), limits_(limits), login_(login) {
  for (const ServerObject* object : objects) {
    Object& entry = objects_[std::string(object->name())];
    entry.object = object;
    for (const MethodSpec& m : object->methods()) entry.methods[std::string(m.contract->name)] = &m;
  }
}

CallOutcome Dispatcher::handle(const rpc::Frame& frame, SessionState& state,
                               rpc::OutBuffer& out) const {
  Prepared call = prepare(frame, state, out);
  if (call.login) {
    // No throttle or delay here: the session adds them around the check.
    return finishLogin(call, login_->authenticate(call.login->user, call.login->password), state,
                       out);
  }
  if (!call.method) return std::move(call.outcome);
  return run(call, state.context, out);
}

Dispatcher::Prepared Dispatcher::prepare(const rpc::Frame& frame, SessionState& state,
                                         rpc::OutBuffer& out) const {
  // Answered here, with no method left to run.
  auto answered = [](CallOutcome outcome) {
    Prepared done;
    done.outcome = std::move(outcome);
    return done;
  };
  out.clear();
  rpc::Request request = rpc::decodeRequest(frame, limits_);
  if (request.kind == rpc::Request::Kind::Notification)
    return answered({Result::Ignored, 0, {}, {}});
  const uint32_t id = request.msgid;
  std::string& method = request.method;
  if (request.kind == rpc::Request::Kind::Malformed)
    return answered(
        error(out, id, std::move(method), 400, "requisição malformada: " + request.problem));
  auto& params = request.params;

  if (method == kAttach) {
    // A failed attach leaves the connection attached to nothing, whatever it had before.
    state.object = nullptr;
    if (params.empty() || params.size() > 3)
      return answered(error(out, id, method, 400, invalidArgument(method, params.empty() ? 1 : 4)));
    if (params[0].kind != rpc::WireKind::String)
      return answered(error(out, id, method, 400, invalidArgument(method, 1)));
    const bool hasToken = params.size() > 1 && params[1].kind != rpc::WireKind::Nil;
    if (hasToken && params[1].kind != rpc::WireKind::String)
      return answered(error(out, id, method, 400, invalidArgument(method, 2)));
    if (params.size() > 2 && params[2].kind != rpc::WireKind::StringMap &&
        params[2].kind != rpc::WireKind::Nil)
      return answered(error(out, id, method, 400, invalidArgument(method, 3)));
    // The token is checked first, so that without it nothing tells which names exist.
    if (!token_.empty() && !(hasToken && sameSecret(params[1].text, token_)))
      return answered(error(out, id, method, 401, "acesso negado"));
    const auto found = objects_.find(params[0].text);
    if (found == objects_.end())
      return answered(error(out, id, method, 404, "servidor desconhecido: " + params[0].text));
    std::string user, host, password;
    if (params.size() > 2) {
      for (auto& [key, value] : params[2].entries) {
        // Kept short here (the journal keeps 100 bytes of each); made storable where stored.
        if (key == "user") user = value.substr(0, kMaxSelfDescription);
        if (key == "host") host = value.substr(0, kMaxSelfDescription);
        if (key == "password") password = std::move(value);
      }
    }
    if (login_ && login_->required()) {
      if (user.empty() || password.empty())
        return answered(error(out, id, method, kLoginRequired, "o servidor exige usuário e senha"));
      Prepared attempt;
      attempt.msgid = id;
      attempt.outcome.method = std::move(method);
      attempt.login =
          LoginAttempt{found->second.object, std::move(user), std::move(host), std::move(password)};
      return attempt;
    }
    state.object = found->second.object;
    state.context = {state.context.peer, std::move(user), std::move(host), nullptr};
    rpc::encodeResult(out, id, true);
    return answered({Result::Ok, 0, std::move(method), {}});
  }

  if (!state.object)
    return answered(error(out, id, std::move(method), 409, "conexão sem servidor associado"));
  if (!refreshAccess(state)) {
    CallOutcome closing =
        error(out, id, std::move(method), 401, "acesso negado: a conta foi desativada ou removida");
    closing.closeConnection = true;
    return answered(std::move(closing));
  }
  const Object& object = objects_.find(state.object->name())->second;
  const auto found = object.methods.find(method);
  if (found == object.methods.end())
    return answered(error(out, id, method, 405, "método desconhecido: " + method));
  const MethodSpec& declared = *found->second;
  if (const size_t misfit = contract::firstMisfit(*declared.contract, params, rpc::varKindOf))
    return answered(error(out, id, method, 400, invalidArgument(method, misfit)));
  Prepared call;
  call.args = std::move(params);
  call.method = &declared;
  call.msgid = id;
  return call;
}

CallOutcome Dispatcher::finishLogin(Prepared& attempt, std::optional<Access> access,
                                    SessionState& state, rpc::OutBuffer& out) const {
  out.clear();
  LoginAttempt& login = *attempt.login;
  // The password is not kept past its check.
  std::fill(login.password.begin(), login.password.end(), '\0');
  const std::string method = std::move(attempt.outcome.method);
  if (!access) {
    // One answer for an unknown user, a wrong password and a disabled account alike.
    CallOutcome refused = error(out, attempt.msgid, method, 401, "usuário ou senha inválidos");
    refused.closeConnection = true;
    return refused;
  }
  state.object = login.object;
  state.context.memory = {};  // a new attach forgets what the connection did before
  state.context.user = access->account;
  state.context.host = std::move(login.host);
  state.accessReadAt = Clock::now();
  auto shared = std::make_shared<const Access>(std::move(*access));
  state.context.access = shared;
  rpc::encodeResult(out, attempt.msgid, loginResult(*shared));
  return {Result::Ok, 0, method, {}};
}

rtl::Variant Dispatcher::loginResult(const Access& access) const {
  std::vector<rtl::Variant> rights;
  for (const Right right : kRights)
    if (access.may(right)) rights.emplace_back(rightName(right));
  rtl::Variant branches = rtl::Variant::Null();
  if (!access.allBranches) {
    auto packet = std::make_shared<rtl::DataPacket>(std::vector<rtl::PacketField>{
        {"CDFILIAL", rtl::FieldType::String, 4}, {"NMFILIAL", rtl::FieldType::String, 30}});
    for (const auto& [code, name] : login_->branchNames(access)) {
      packet->column(0).appendString(code);
      packet->column(1).appendString(name);
      packet->commitRow();
    }
    branches = rtl::Variant(std::shared_ptr<const rtl::DataPacket>(std::move(packet)));
  }
  return rtl::Variant::FromArray(
      {rtl::Variant(access.account), rtl::Variant::FromArray(std::move(rights)), branches});
}

bool Dispatcher::refreshAccess(SessionState& state) const {
  if (!state.context.access || !login_) return true;
  const auto now = Clock::now();
  if (now - state.accessReadAt < kAccessFreshFor) return true;
  std::optional<Access> access = login_->refresh(state.context.access->account);
  if (!access) {
    state.object = nullptr;
    state.context.access.reset();
    return false;
  }
  state.context.access = std::make_shared<const Access>(std::move(*access));
  state.accessReadAt = now;
  return true;
}

CallOutcome Dispatcher::run(Prepared& call, const CallContext& context, rpc::OutBuffer& out) const {
  out.clear();
  const uint32_t id = call.msgid;
  const std::string method(call.method->contract->name);
  try {
    const Answer answer = call.method->handler(context, call.args);
    rpc::encodeAnswer(out, id, answer.status, answer.message,
                      answer.data ? &*answer.data : nullptr);
    if (answer.status == 0) return {Result::Ok, 0, method, {}};
    return {Result::Refused, answer.status, method, {}};
  } catch (const CallError& e) {
    out.clear();
    return error(out, id, method, e.code(), e.what());
  } catch (const std::exception& e) {
    return internalError(out, id, method, e.what());
  } catch (...) {
    return internalError(out, id, method, "unknown exception");
  }
}

}  // namespace server
