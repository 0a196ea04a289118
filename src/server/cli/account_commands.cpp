#include "server/cli/account_commands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>

#include "server/cli/password_input.h"
#include "server/storage/accounts.h"
#include "server/storage/passwords.h"
#include "server/storage/storage.h"

namespace server {

namespace {

struct Change {
  std::vector<Right> rights;
  std::vector<std::string> branches;
  bool allBranches = false;
};

Change changeOf(const AccountCommands& options) {
  Change change;
  for (const std::string& name : options.rights) change.rights.push_back(*rightNamed(name));
  change.branches = options.branches;
  change.allBranches = options.allBranches;
  return change;
}

void requireBranchesExist(db::Connection& c, const std::vector<std::string>& branches) {
  for (const std::string& branch : branches)
    if (!c.queryInteger("SELECT 1 FROM FILIAL WHERE CDFILIAL = ?", {branch}))
      throw std::runtime_error("branch " + branch + " does not exist; nothing was changed");
}

void grant(Access& access, const Change& change) {
  for (const Right right : change.rights) access.grant(right);
  if (change.allBranches) access.allBranches = true;
  for (const std::string& branch : change.branches) access.branches.push_back(branch);
  std::sort(access.branches.begin(), access.branches.end());
  access.branches.erase(std::unique(access.branches.begin(), access.branches.end()),
                        access.branches.end());
}

void revoke(Access& access, const Change& change) {
  for (const Right right : change.rights) access.revoke(right);
  if (change.allBranches) access.allBranches = false;
  std::erase_if(access.branches, [&](const std::string& branch) {
    return std::find(change.branches.begin(), change.branches.end(), branch) !=
           change.branches.end();
  });
}

std::string branchesText(const Access& access) {
  if (access.allBranches) return "*";
  std::string text;
  for (const std::string& branch : access.branches) text += (text.empty() ? "" : " ") + branch;
  return text.empty() ? "-" : text;
}

std::string describe(const Access& access) {
  const std::string rights = access.rightsText();
  return access.account + ": rights " + (rights.empty() ? "-" : rights) + ", branches " +
         branchesText(access);
}

void list(db::Connection& c, bool json) {
  const std::vector<Account> accounts = listAccounts(c);
  if (json) {
    auto out = nlohmann::ordered_json::array();
    for (const Account& a : accounts) {
      auto rights = nlohmann::json::array();
      for (const Right right : kRights)
        if (a.access.may(right)) rights.push_back(rightName(right));
      out.push_back({{"user", a.access.account},
                     {"active", a.active},
                     {"rights", rights},
                     {"allBranches", a.access.allBranches},
                     {"branches", a.access.branches}});
    }
    std::cout << out.dump() << "\n";
    return;
  }
  std::cout << "USER  ACTIVE  RIGHTS  BRANCHES\n";
  for (const Account& a : accounts) {
    const std::string rights = a.access.rightsText();
    std::cout << a.access.account << "  " << (a.active ? "yes" : "no") << "  "
              << (rights.empty() ? "-" : rights) << "  " << branchesText(a.access) << "\n";
  }
}

int run(const std::string& command, const AccountCommands& options) {
  const auto storage = openExistingStorage(options.db);
  auto connection = storage->connection();
  db::Connection& c = *connection;
  if (command == "list") {
    list(c, options.json);
    return 0;
  }
  const std::string& login = options.login;
  // A new password is hashed before the transaction, which it would otherwise hold open.
  std::string hash;
  if (command == "add" || command == "passwd")
    hash = hashPassword(readPassword(options.passwordFile, true));
  db::Transaction tx(c, db::TxMode::Write);
  const auto missing = [&] {
    return std::runtime_error("user " + login + " does not exist; nothing was changed");
  };
  std::string done;
  if (command == "add") {
    requireBranchesExist(c, options.branches);
    Account account;
    account.access.account = login;
    account.passwordHash = hash;
    grant(account.access, changeOf(options));
    addAccount(c, account);
    done = "added " + describe(account.access);
  } else if (command == "passwd") {
    if (!setPasswordHash(c, login, hash)) throw missing();
    done = "changed the password of " + login;
  } else if (command == "disable" || command == "enable") {
    if (!setActive(c, login, command == "enable")) throw missing();
    done = command + "d " + login;
  } else if (command == "remove") {
    if (!removeAccount(c, login)) throw missing();
    done = "removed " + login;
  } else {
    std::optional<Account> account = findAccount(c, login);
    if (!account) throw missing();
    if (command == "grant") {
      requireBranchesExist(c, options.branches);
      grant(account->access, changeOf(options));
    } else {
      revoke(account->access, changeOf(options));
    }
    saveAccess(c, account->access);
    done = describe(account->access);
  }
  tx.commit();
  std::cout << done << "\n";
  return 0;
}

CLI::Validator loginName() {
  return CLI::Validator(
      [](const std::string& text) {
        return isLoginName(text) ? std::string()
                                 : "a user name has 1 to 64 letters, digits or . _ @ -";
      },
      "NAME");
}

CLI::Validator rightName() {
  return CLI::Validator(
      [](const std::string& text) {
        return rightNamed(text) ? std::string()
                                : "expected promocao, prefixo, diario, restaurar or contas";
      },
      "RIGHT");
}

CLI::Validator branchCode() {
  return CLI::Validator(
      [](const std::string& text) {
        const bool ok = text.size() == 4 && std::all_of(text.begin(), text.end(), [](char c) {
                          return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
                        });
        return ok ? std::string() : "a branch code has 4 upper-case letters or digits";
      },
      "CODE");
}

}  // namespace

void addAccountCommands(CLI::App& app, AccountCommands& commands) {
  CLI::App* user = app.add_subcommand("user", "Manage the accounts that log in to the server.");
  user->require_subcommand(1);
  commands.user = user;
  const auto common = [&](const char* name, const char* what) {
    CLI::App* command = user->add_subcommand(name, what);
    command->add_option("--db", commands.db, "SQLite file or postgresql:// URI")->required();
    return command;
  };
  const auto named = [&](CLI::App* command) {
    command->add_option("--user", commands.login, "The account's user name")
        ->required()
        ->check(loginName());
  };
  const auto access = [&](CLI::App* command) {
    command->add_option("--right", commands.rights, "promocao, prefixo, diario, restaurar, contas")
        ->check(rightName());
    command->add_option("--branch", commands.branches, "A branch code")->check(branchCode());
    command->add_flag("--all-branches", commands.allBranches, "Every branch, present and future");
  };
  const auto password = [&](CLI::App* command) {
    command->add_option("--password-file", commands.passwordFile,
                        "Read the password from this file's first line (- for standard input) "
                        "instead of asking");
  };

  CLI::App* add = common("add", "Add an account (asks for its password).");
  named(add);
  password(add);
  access(add);
  CLI::App* passwd = common("passwd", "Change an account's password.");
  named(passwd);
  password(passwd);
  named(common("disable", "Keep an account from logging in; its connections end."));
  named(common("enable", "Let a disabled account log in again."));
  named(common("remove", "Remove an account."));
  CLI::App* grantCommand = common("grant", "Give an account rights or branches.");
  named(grantCommand);
  access(grantCommand);
  CLI::App* revokeCommand = common("revoke", "Take rights or branches from an account.");
  named(revokeCommand);
  access(revokeCommand);
  CLI::App* listCommand = common("list", "List the accounts.");
  listCommand->add_flag("--json", commands.json, "Write JSON instead of a table");
}

std::optional<int> runAccountCommands(const AccountCommands& commands) {
  if (!commands.user || !*commands.user) return std::nullopt;
  for (CLI::App* command : commands.user->get_subcommands())
    if (*command) return run(command->get_name(), commands);
  return std::nullopt;
}

}  // namespace server
