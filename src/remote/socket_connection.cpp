#include "remote/socket_connection.h"

#include "rtl/exceptions.h"

namespace remote {

TSocketConnection::TSocketConnection(tk::TComponent* owner) : tk::TComponent(owner) {}

TSocketConnection::~TSocketConnection() {
  channel_.close();
}

void TSocketConnection::SetIdentity(std::string user, std::string machine) {
  user_ = std::move(user);
  machine_ = std::move(machine);
}

void TSocketConnection::SetTls(bool tls, std::string caFile) {
  tls_ = tls;
  caFile_ = std::move(caFile);
}

void TSocketConnection::SetTimeouts(std::chrono::milliseconds connect,
                                    std::chrono::milliseconds call) {
  connectTimeout_ = connect;
  callTimeout_ = call;
}

void TSocketConnection::SetConnected(bool connected) {
  if (connected == connected_) return;
  if (connected) {
    DoConnect();
    connected_ = true;
    if (AfterConnect) AfterConnect(this);
  } else {
    channel_.close();
    connected_ = false;
  }
}

void TSocketConnection::DoConnect() {
  if (BeforeConnect) BeforeConnect(this);
  Endpoint endpoint;
  endpoint.host = host_;
  endpoint.port = port_;
  endpoint.serverName = serverName_;
  endpoint.token = token_;
  endpoint.user = user_;
  endpoint.machine = machine_;
  endpoint.password = password_;
  endpoint.tls = tls_;
  endpoint.caFile = caFile_;
  endpoint.connectTimeout = connectTimeout_;
  endpoint.callTimeout = callTimeout_;
  channel_.open(endpoint);
}

IAppServer& TSocketConnection::AppServer() {
  if (!connected_) throw rtl::ERemoteError("Não há conexão com o servidor de aplicação.");
  return *this;
}

rtl::Variant TSocketConnection::Invoke(const std::string& method,
                                       const std::vector<rtl::Variant>& args) {
  // A channel that broke in an earlier call is opened again, as a new connection would be.
  if (!channel_.isOpen()) DoConnect();
  return channel_.call(method, args);
}

void TSocketConnection::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "Host") {
    host_ = value.asString(name);
  } else if (name == "Port") {
    port_ = static_cast<int>(value.asInteger(name));
  } else if (name == "ServerName") {
    serverName_ = value.asString(name);
  } else if (name == "Connected") {
    // A definition never opens a connection while it is being read; the form does it.
    if (value.asBoolean(name))
      throw tk::EDefinitionError(Name() + ": a definition cannot open the connection");
  } else {
    tk::TComponent::SetProperty(name, value);
  }
}

void TSocketConnection::SetEvent(const std::string& name, const tk::EventHandler& handler) {
  const auto* notify = tk::handlerAs<tk::TNotifyEvent>(handler);
  if (name == "BeforeConnect" || name == "AfterConnect") {
    if (!notify) wrongHandler(name);
    (name == "BeforeConnect" ? BeforeConnect : AfterConnect) = *notify;
  } else {
    tk::TComponent::SetEvent(name, handler);
  }
}

}  // namespace remote
