#pragma once
// TSocketConnection: the client's connection to one server object of an application server.
// Setting Connected opens it (BeforeConnect runs first, so a handler can still set Host and
// Port) and closes it; AppServer gives late-bound calls by method name with positional variant
// arguments. Owned by its form like any component; closing happens at the latest when it is
// freed. A connection that broke (a lost socket, a call that timed out) is opened again, with
// BeforeConnect, by the next call, so a screen stays usable when its server comes back.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "remote/rpc_channel.h"
#include "rtl/variant.h"
#include "toolkit/component.h"

namespace remote {

// The dispatch interface of a server object: calls by method name.
class IAppServer {
 public:
  virtual ~IAppServer() = default;
  virtual rtl::Variant Invoke(const std::string& method, const std::vector<rtl::Variant>& args) = 0;
};

class TSocketConnection : public tk::TComponent, private IAppServer {
 public:
  explicit TSocketConnection(tk::TComponent* owner = nullptr);
  ~TSocketConnection() override;

  const char* ClassName() const override { return "TSocketConnection"; }

  const std::string& Host() const { return host_; }
  void SetHost(std::string host) { host_ = std::move(host); }
  int Port() const { return port_; }
  void SetPort(int port) { port_ = port; }
  const std::string& ServerName() const { return serverName_; }
  void SetServerName(std::string name) { serverName_ = std::move(name); }

  // Connection settings that come from the session rather than the definition.
  void SetToken(std::string token) { token_ = std::move(token); }
  void SetIdentity(std::string user, std::string machine);
  // The account's password for the next connection (sent only through TLS or to loopback).
  void SetPassword(std::string password) { password_ = std::move(password); }
  // TLS with the server's certificate verified against `caFile` (empty: the system's).
  void SetTls(bool tls, std::string caFile);
  void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds call);

  bool Connected() const { return connected_; }
  // True opens (raising ERemoteError when the server cannot be reached or refuses), False
  // closes. Setting the current state again does nothing.
  void SetConnected(bool connected);

  // The server object's dispatch interface. Raises ERemoteError when not connected.
  IAppServer& AppServer();
  // What the server answered the last attach (rpc_channel.h).
  const rtl::Variant& AttachResult() const { return channel_.attachResult(); }

  tk::TNotifyEvent BeforeConnect;
  tk::TNotifyEvent AfterConnect;

  void SetProperty(const std::string& name, const tk::PropValue& value) override;
  void SetEvent(const std::string& name, const tk::EventHandler& handler) override;

 protected:
  // Runs BeforeConnect, opens the channel; subclasses may add to it.
  virtual void DoConnect();

 private:
  rtl::Variant Invoke(const std::string& method, const std::vector<rtl::Variant>& args) override;

  std::string host_;
  int port_ = 0;
  std::string serverName_;
  std::string token_;
  std::string user_;
  std::string machine_;
  std::string password_;
  bool tls_ = false;
  std::string caFile_;
  std::chrono::milliseconds connectTimeout_{10'000};
  std::chrono::milliseconds callTimeout_{120'000};
  bool connected_ = false;
  RpcChannel channel_;
};

}  // namespace remote
