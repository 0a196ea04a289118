#pragma once
// TNetConnection: the family's socket connection. Besides what TSocketConnection does, it
// takes the rest of its settings from the session when it connects: the access token, the
// connect and call timeouts, and who is calling. ThrowException is the family's switch for
// reporting connection failures; a screen cannot work without its server, so a failure to
// connect raises either way.

#include "remote/socket_connection.h"

namespace shared {

class TNetConnection : public remote::TSocketConnection {
 public:
  explicit TNetConnection(tk::TComponent* owner = nullptr);
  const char* ClassName() const override { return "TNetConnection"; }

  bool ThrowException() const { return throwException_; }
  void SetThrowException(bool value) { throwException_ = value; }

  void SetProperty(const std::string& name, const tk::PropValue& value) override;

 protected:
  void DoConnect() override;

 private:
  bool throwException_ = true;
};

}  // namespace shared
