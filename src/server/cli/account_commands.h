#pragma once
// The account commands of vnd42400 (storage/accounts.h):
//   vnd42400 user add     --db TARGET --user NAME [--password-file FILE] [--right R]...
//                         [--branch CODE]... [--all-branches]
//   vnd42400 user passwd  --db TARGET --user NAME [--password-file FILE]
//   vnd42400 user disable|enable|remove --db TARGET --user NAME
//   vnd42400 user grant|revoke --db TARGET --user NAME [--right R]... [--branch CODE]...
//                         [--all-branches]
//   vnd42400 user list    --db TARGET [--json]
// Rights: promocao, prefixo, diario, restaurar, contas. A password is read from FILE ("-" for
// standard input) or asked on the terminal, never taken from the command line. Each command
// runs in one transaction and says in one line what it did. Usage errors are CLI11's (exit 2);
// failures throw, for the command line to report (exit 1).

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace server {

struct AccountCommands {
  CLI::App* user = nullptr;
  std::string db;
  std::string login;
  std::string passwordFile;
  std::vector<std::string> rights;
  std::vector<std::string> branches;
  bool allBranches = false;
  bool json = false;
};

void addAccountCommands(CLI::App& app, AccountCommands& commands);

// Runs the account command `app` parsed and returns its exit status; nullopt when another
// command was chosen.
std::optional<int> runAccountCommands(const AccountCommands& commands);

}  // namespace server
