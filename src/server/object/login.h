#pragma once
// Who may attach, read from the storage's accounts (storage/accounts.h): whether attach must log
// in at all, checking a user and password, and reading an account's access again while its
// connections stay open. Safe from several threads; each call takes a connection of the pool.

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/storage/accounts.h"
#include "server/storage/storage.h"

namespace server {

class Login {
 public:
  explicit Login(Storage& storage) : storage_(storage) {}
  virtual ~Login() = default;

  // True when the database holds an account, so that attach must log in. Read again at most
  // once a second.
  virtual bool required();

  // The access of `user` when the account exists, is enabled and `password` is its password;
  // nullopt otherwise. An unknown user costs the same Argon2id verification as a known one, so
  // the time taken does not tell them apart. Memory-hard: the caller bounds how many run at once.
  virtual std::optional<Access> authenticate(std::string_view user, std::string_view password);

  // The account's access as it is now; nullopt when it was removed or disabled since.
  virtual std::optional<Access> refresh(std::string_view user);

  // The names of the branches `access` names, by code ("" for a branch not registered).
  virtual std::vector<std::pair<std::string, std::string>> branchNames(const Access& access);

 private:
  Storage& storage_;
  std::atomic<int64_t> checkedAt_{0};  // steady clock, milliseconds; 0: never
  std::atomic<bool> required_{false};
};

}  // namespace server
