#pragma once
// Logging in to an application server that keeps accounts: the host installs a prompt that
// asks the user (the desktop's login dialog) or reads a password it was given (the headless
// driver's file or environment variable); the family's connection asks it when the server
// wants a login, and keeps what worked for the reconnections of the session. Passwords stay
// in memory only.

#include <functional>
#include <optional>
#include <string>

namespace shared {

struct Credentials {
  std::string user;
  std::string password;
};

// `user` pre-fills the name; `problem` is empty at the first question and says why the last
// answer was refused after that. nullopt when the user gives up.
using CredentialsPrompt =
    std::function<std::optional<Credentials>(const std::string& user, const std::string& problem)>;

// Installs the host's prompt; an empty one leaves a server that asks for a login unreachable.
void SetCredentialsPrompt(CredentialsPrompt prompt);
std::optional<Credentials> AskCredentials(const std::string& user, const std::string& problem);

// The credentials the server last accepted in this session, or none yet.
const std::optional<Credentials>& LoggedIn();
void SetLoggedIn(std::optional<Credentials> credentials);

}  // namespace shared
