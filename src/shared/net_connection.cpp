#include "shared/net_connection.h"

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

void TNetConnection::DoConnect() {
  const Varnoke::Session& session = Varnoke::CurrentSession();
  SetToken(session.serverToken);
  SetIdentity(session.user, session.machine);
  SetTimeouts(std::chrono::seconds(session.connectTimeoutSeconds),
              std::chrono::seconds(session.callTimeoutSeconds));
  remote::TSocketConnection::DoConnect();
}

}  // namespace shared
