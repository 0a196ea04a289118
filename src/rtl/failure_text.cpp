#include "rtl/failure_text.h"

#include <string_view>

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace rtl {

namespace {

// How the socket connection words a connection that broke during a call:
// "A conexão com o servidor de aplicação foi perdida (METHOD): CAUSE".
constexpr std::string_view kLostOpening = "A conexão com o servidor de aplicação foi perdida (";
constexpr std::string_view kLostMiddle = "): ";

}  // namespace

std::string FailureText(const std::exception& e) {
  const auto* remote = dynamic_cast<const ERemoteError*>(&e);
  if (remote == nullptr || remote->code() != 0) return e.what();  // server replies are Portuguese
  const std::string_view message = remote->message();
  if (message.starts_with(kLostOpening)) {
    const std::string_view rest = message.substr(kLostOpening.size());
    const size_t middle = rest.find(kLostMiddle);
    if (middle != std::string_view::npos) {
      const std::string cause = SystemErrorText(rest.substr(middle + kLostMiddle.size()));
      return RuntimeMessage(RuntimeText::ConnectionLost) + "\n" +
             RuntimeMessage(RuntimeText::ConnectionLostDetail, {rest.substr(0, middle), cause});
    }
  }
  const size_t colon = message.rfind(": ");
  if (colon == std::string_view::npos) return std::string(message);
  return std::string(message.substr(0, colon + 2)) + SystemErrorText(message.substr(colon + 2));
}

}  // namespace rtl
