#include "server/storage/accounts.h"

#include <algorithm>

#include "server/storage/journal/record.h"

namespace server {

namespace {

constexpr const char* kRightNames[] = {"promocao", "prefixo", "diario", "restaurar", "contas"};

uint32_t rightsFromText(std::string_view text) {
  Access access;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    if (const auto right = rightNamed(text.substr(at, end - at))) access.grant(*right);
    at = end + 1;
  }
  return access.rights;
}

std::vector<std::string> branchesOf(db::Connection& c, std::string_view login) {
  std::vector<std::string> branches;
  c.query("SELECT CDFILIAL FROM CONTAFILIAL WHERE DSLOGIN = ? ORDER BY CDFILIAL COLLATE \"C\"",
          {std::string(login)}, [&](const db::Row& row) { branches.emplace_back(row.text(0)); });
  return branches;
}

void writeBranches(db::Connection& c, const Access& access) {
  c.execute("DELETE FROM CONTAFILIAL WHERE DSLOGIN = ?", {access.account});
  for (const std::string& branch : access.branches)
    c.execute("INSERT INTO CONTAFILIAL (DSLOGIN, CDFILIAL) VALUES (?, ?)",
              {access.account, branch});
}

constexpr const char* kAccountColumns =
    "SELECT DSLOGIN, DSSENHA, IDATIVA, IDTODASFILIAIS, DSDIREITOS FROM CONTA";

Account accountOf(const db::Row& row) {
  Account account;
  account.access.account = std::string(row.text(0));
  account.passwordHash = std::string(row.text(1));
  account.active = row.text(2) == "S";
  account.access.allBranches = row.text(3) == "S";
  account.access.rights = rightsFromText(row.text(4));
  return account;
}

}  // namespace

const char* rightName(Right right) {
  return kRightNames[static_cast<unsigned>(right)];
}

std::optional<Right> rightNamed(std::string_view name) {
  for (const Right right : kRights)
    if (name == rightName(right)) return right;
  return std::nullopt;
}

bool Access::reaches(std::string_view branch) const {
  return allBranches || std::binary_search(branches.begin(), branches.end(), branch);
}

std::string Access::rightsText() const {
  std::string text;
  for (const Right right : kRights)
    if (may(right)) text += (text.empty() ? "" : " ") + std::string(rightName(right));
  return text;
}

bool isLoginName(std::string_view login) {
  if (login.empty() || login.size() > 64) return false;
  return std::all_of(login.begin(), login.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '@' || c == '-';
  });
}

bool anyAccount(db::Connection& c) {
  return c.queryInteger("SELECT 1 FROM CONTA LIMIT 1").has_value();
}

std::optional<Account> findAccount(db::Connection& c, std::string_view login) {
  std::optional<Account> found;
  c.query(std::string(kAccountColumns) + " WHERE DSLOGIN = ?", {std::string(login)},
          [&](const db::Row& row) { found = accountOf(row); });
  if (found) found->access.branches = branchesOf(c, login);
  return found;
}

std::vector<Account> listAccounts(db::Connection& c) {
  std::vector<Account> accounts;
  c.query(std::string(kAccountColumns) + " ORDER BY DSLOGIN COLLATE \"C\"", {},
          [&](const db::Row& row) { accounts.push_back(accountOf(row)); });
  for (Account& account : accounts) account.access.branches = branchesOf(c, account.access.account);
  return accounts;
}

void addAccount(db::Connection& c, const Account& account) {
  const Access& access = account.access;
  if (findAccount(c, access.account))
    throw StorageError("a conta " + access.account + " já existe");
  c.execute(
      "INSERT INTO CONTA (DSLOGIN, DSSENHA, IDATIVA, IDTODASFILIAIS, DSDIREITOS, DTCRIACAO) "
      "VALUES (?, ?, ?, ?, ?, " +
          std::string(c.engine() == db::Engine::Postgres ? "CAST(? AS TIMESTAMP(3))" : "?") + ")",
      {access.account, account.passwordHash, std::string(account.active ? "S" : "N"),
       std::string(access.allBranches ? "S" : "N"), access.rightsText(), utcTimestamp()});
  writeBranches(c, access);
}

bool saveAccess(db::Connection& c, const Access& access) {
  const int64_t found =
      c.execute("UPDATE CONTA SET IDTODASFILIAIS = ?, DSDIREITOS = ? WHERE DSLOGIN = ?",
                {std::string(access.allBranches ? "S" : "N"), access.rightsText(), access.account});
  if (found == 0) return false;
  writeBranches(c, access);
  return true;
}

bool setPasswordHash(db::Connection& c, std::string_view login, const std::string& hash) {
  return c.execute("UPDATE CONTA SET DSSENHA = ? WHERE DSLOGIN = ?", {hash, std::string(login)}) >
         0;
}

bool setActive(db::Connection& c, std::string_view login, bool active) {
  return c.execute("UPDATE CONTA SET IDATIVA = ? WHERE DSLOGIN = ?",
                   {std::string(active ? "S" : "N"), std::string(login)}) > 0;
}

bool removeAccount(db::Connection& c, std::string_view login) {
  c.execute("DELETE FROM CONTAFILIAL WHERE DSLOGIN = ?", {std::string(login)});
  return c.execute("DELETE FROM CONTA WHERE DSLOGIN = ?", {std::string(login)}) > 0;
}

}  // namespace server
