#include "shared/consiste.h"

#include "rtl/dates.h"
#include "rtl/exceptions.h"
#include "rtl/strings.h"
#include "toolkit/application.h"

namespace Consiste {

bool EmptyString(std::string_view text) {
  const char separator = rtl::DateSeparator();
  for (char c : text)
    if (static_cast<unsigned char>(c) > ' ' && c != separator) return false;
  return true;
}

std::string Ajusta(std::string_view code, int width) {
  std::string trimmed = rtl::Trim(code);
  if (static_cast<int>(trimmed.size()) >= width) return trimmed.substr(0, width);
  return std::string(width - trimmed.size(), '0') + trimmed;
}

void MensErro(const std::string& message, bool abort) {
  tk::Application().Dialogs().ShowError(message);
  if (abort) rtl::Abort();
}

namespace {
[[noreturn]] void badAnswer(const std::string& why) {
  throw rtl::ERemoteError("Resposta inválida do servidor de aplicação: " + why + ".");
}
}  // namespace

rtl::Variant CheckResultServ(const rtl::Variant& answer, bool showMessage, int /*context*/) {
  if (answer.kind() != rtl::VarKind::Array)
    badAnswer("não é uma lista [situação, mensagem, dados]");
  const auto& items = answer.asArray();
  if (items.size() != 3)
    badAnswer("esperados 3 elementos, recebidos " + std::to_string(items.size()));
  if (items[0].kind() != rtl::VarKind::Integer) badAnswer("a situação não é um número inteiro");
  if (items[1].kind() != rtl::VarKind::String) badAnswer("a mensagem não é um texto");
  const rtl::VarKind data = items[2].kind();
  if (data != rtl::VarKind::Packet && data != rtl::VarKind::Null)
    badAnswer("os dados não são um pacote de dados");
  if (items[0].asInteger() != 0) {
    MensErro(items[1].asString(), true);
    (void)showMessage;
  }
  return items[2];
}

}  // namespace Consiste
