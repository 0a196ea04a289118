#pragma once
// The accounts the server knows its callers by, kept in its database (CONTA, CONTAFILIAL): a
// login, an Argon2id hash of the password (passwords.h), whether it may log in, what it may do
// and on which branches. Names belong to every branch, so changing them is a right of its own.
// A database with no account at all serves without login (loopback setups, the shared token);
// one account is enough to make every attach log in.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/storage/db/connection.h"

namespace server {

enum class Right : uint8_t {
  Promotion,  // "promocao": put products into or out of a promotion
  Prefix,     // "prefixo": add or clear name prefixes
  Journal,    // "diario": read the journal of changes
  Restore,    // "restaurar": put a change back
  Accounts,   // "contas": manage accounts
};
inline constexpr Right kRights[] = {Right::Promotion, Right::Prefix, Right::Journal, Right::Restore,
                                    Right::Accounts};

const char* rightName(Right right);
std::optional<Right> rightNamed(std::string_view name);

// What one account may do. Copied freely; the server keeps one per connection.
struct Access {
  std::string account;
  uint32_t rights = 0;  // bit (1 << Right)
  bool allBranches = false;
  std::vector<std::string> branches;  // sorted, without repeats; ignored with allBranches

  bool may(Right right) const { return (rights >> static_cast<unsigned>(right)) & 1u; }
  bool reaches(std::string_view branch) const;
  void grant(Right right) { rights |= 1u << static_cast<unsigned>(right); }
  void revoke(Right right) { rights &= ~(1u << static_cast<unsigned>(right)); }
  // "promocao prefixo", in the order of kRights.
  std::string rightsText() const;
};

struct Account {
  Access access;
  std::string passwordHash;
  bool active = true;
};

// A login name: 1 to 64 characters among letters, digits and . _ @ -.
bool isLoginName(std::string_view login);

// True when the database holds at least one account, enabled or not.
bool anyAccount(db::Connection& c);
std::optional<Account> findAccount(db::Connection& c, std::string_view login);
// Every account, by login.
std::vector<Account> listAccounts(db::Connection& c);

// Each writes in the caller's transaction. add throws StorageError when the login exists; the
// others answer false when it does not.
void addAccount(db::Connection& c, const Account& account);
bool saveAccess(db::Connection& c, const Access& access);
bool setPasswordHash(db::Connection& c, std::string_view login, const std::string& hash);
bool setActive(db::Connection& c, std::string_view login, bool active);
bool removeAccount(db::Connection& c, std::string_view login);

}  // namespace server
