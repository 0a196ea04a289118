#include "shared/server_login.h"

namespace shared {

namespace {

CredentialsPrompt& prompt() {
  static CredentialsPrompt installed;
  return installed;
}

std::optional<Credentials>& accepted() {
  static std::optional<Credentials> credentials;
  return credentials;
}

}  // namespace

void SetCredentialsPrompt(CredentialsPrompt installed) {
  prompt() = std::move(installed);
}

std::optional<Credentials> AskCredentials(const std::string& user, const std::string& problem) {
  if (!prompt()) return std::nullopt;
  return prompt()(user, problem);
}

const std::optional<Credentials>& LoggedIn() {
  return accepted();
}
void SetLoggedIn(std::optional<Credentials> credentials) {
  accepted() = std::move(credentials);
}

}  // namespace shared
