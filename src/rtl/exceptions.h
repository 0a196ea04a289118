#pragma once
// The exception family of the runtime. Every failure in the client is one of these; the hosts
// catch them at the edge of a user event and show the message, except for EAbort, which
// unwinds like any other exception but is never shown.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace rtl {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  // The class name as the user-visible error reports show it ("EConvertError").
  virtual const char* className() const noexcept { return "Exception"; }

 private:
  std::string message_;
};

// The silent abort: ends the running handler without any message.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operação cancelada") {}
  using Exception::Exception;
  const char* className() const noexcept override { return "EAbort"; }
};

// A text that is not a valid value of the type asked for (a date, a number).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  const char* className() const noexcept override { return "EConvertError"; }
};

// A data set or field operation that cannot be carried out (a packet that does not fit).
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
  const char* className() const noexcept override { return "EDatabaseError"; }
};

// An operation the control cannot do in its state (focusing a disabled control).
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
  const char* className() const noexcept override { return "EInvalidOperation"; }
};

// Text typed into a masked edit that does not fit its mask.
class EDBEditError : public Exception {
 public:
  using Exception::Exception;
  const char* className() const noexcept override { return "EDBEditError"; }
};

// A variant read as a kind it cannot be converted to.
class EVariantError : public Exception {
 public:
  using Exception::Exception;
  const char* className() const noexcept override { return "EVariantError"; }
};

// A failure of a remote call: the connection could not be made or broke, the call timed out,
// or the server answered with an error. `code` is the server's error code, 0 when the failure
// happened on this side of the wire.
class ERemoteError : public Exception {
 public:
  ERemoteError(std::string message, int code = 0, std::string method = {})
      : Exception(std::move(message)), code_(code), method_(std::move(method)) {}
  int code() const noexcept { return code_; }
  const std::string& method() const noexcept { return method_; }
  const char* className() const noexcept override { return "ERemoteError"; }

 private:
  int code_;
  std::string method_;
};

// Raises EAbort.
[[noreturn]] inline void Abort() {
  throw EAbort();
}

}  // namespace rtl
