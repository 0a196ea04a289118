#include "shared/net_connection.h"

#include "rtl/exceptions.h"
#include "shared/server_login.h"
#include "shared/varnoke.h"

namespace shared {

TNetConnection::TNetConnection(tk::TComponent* owner) : remote::TSocketConnection(owner) {}

void TNetConnection::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "ThrowException") {
    throwException_ = value.asBoolean(name);
  } else {
    remote::TSocketConnection::SetProperty(name, value);
  }
}

namespace {

constexpr int kLoginRequired = 407;
constexpr int kLoginRefused = 401;
// Refused answers asked again before the connection gives up.
constexpr int kLoginTries = 3;

// The branches of a login's answer ([account, [right...], branches or null]): a packet of
// CDFILIAL and NMFILIAL, or nothing for every branch.
std::shared_ptr<const rtl::DataPacket> grantedBranches(const rtl::Variant& answer) {
  if (answer.kind() != rtl::VarKind::Array) return nullptr;
  const auto& items = answer.asArray();
  if (items.size() < 3 || items[2].kind() != rtl::VarKind::Packet) return nullptr;
  return items[2].asPacket();
}

// An account with exactly one branch works on that branch: the session's branch is set and
// locked to it, whatever the session said.
void lockToTheOnlyBranch(const rtl::Variant& answer) {
  const auto branches = grantedBranches(answer);
  if (!branches || branches->rowCount() != 1 || branches->fieldCount() < 2) return;
  Varnoke::Session session = Varnoke::CurrentSession();
  session.branch = std::string(branches->column(0).string(0));
  session.branchName = std::string(branches->column(1).string(0));
  session.branchLocked = true;
  Varnoke::SetSession(session);
}

}  // namespace

void TNetConnection::DoConnect() {
  const Varnoke::Session& session = Varnoke::CurrentSession();
  SetToken(session.serverToken);
  SetTls(session.serverTls, session.serverCa);
  SetTimeouts(std::chrono::seconds(session.connectTimeoutSeconds),
              std::chrono::seconds(session.callTimeoutSeconds));
  std::optional<Credentials> credentials = LoggedIn();
  for (int refused = 0;;) {
    SetIdentity(credentials ? credentials->user : session.user, session.machine);
    SetPassword(credentials ? credentials->password : std::string());
    try {
      remote::TSocketConnection::DoConnect();
      break;
    } catch (const rtl::ERemoteError& e) {
      const bool asked = e.code() == kLoginRequired && !credentials;
      const bool wrong = e.code() == kLoginRefused && credentials;
      if (!(asked || wrong) || (wrong && ++refused >= kLoginTries)) throw;
      if (wrong) SetLoggedIn(std::nullopt);
      const std::string problem =
          wrong ? "O servidor de aplicação recusou o login: " + std::string(e.what()) + "." : "";
      credentials = AskCredentials(credentials ? credentials->user : session.user, problem);
      if (!credentials)
        throw rtl::ERemoteError(
            wrong ? problem
                  : "O servidor de aplicação exige usuário e senha; sem eles não há conexão.",
            e.code());
    }
  }
  if (credentials) SetLoggedIn(credentials);
  lockToTheOnlyBranch(AttachResult());
}

}  // namespace shared
