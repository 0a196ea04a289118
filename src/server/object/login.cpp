#include "server/object/login.h"

#include "server/storage/passwords.h"

namespace server {

namespace {

int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

bool Login::required() {
  const int64_t now = nowMs();
  const int64_t checked = checkedAt_.load();
  if (checked == 0 || now - checked >= 1000) {
    auto connection = storage_.connection();
    required_ = anyAccount(*connection);
    checkedAt_ = now;
  }
  return required_;
}

std::optional<Access> Login::authenticate(std::string_view user, std::string_view password) {
  std::optional<Account> account;
  if (isLoginName(user) && password.size() <= kMaxPasswordBytes) {
    auto connection = storage_.connection();
    account = findAccount(*connection, user);
  }
  // The same verification whether or not the account exists.
  const bool matches = verifyPassword(account ? account->passwordHash : decoyHash(), password);
  if (!account || !account->active || !matches) return std::nullopt;
  return std::move(account->access);
}

std::optional<Access> Login::refresh(std::string_view user) {
  auto connection = storage_.connection();
  std::optional<Account> account = findAccount(*connection, user);
  if (!account || !account->active) return std::nullopt;
  return std::move(account->access);
}

std::vector<std::pair<std::string, std::string>> Login::branchNames(const Access& access) {
  std::vector<std::pair<std::string, std::string>> names;
  auto connection = storage_.connection();
  for (const std::string& branch : access.branches)
    names.emplace_back(
        branch, connection->queryText("SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = ?", {branch})
                    .value_or(""));
  return names;
}

}  // namespace server
