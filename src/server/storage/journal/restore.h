#pragma once
// Restoring a change: its rows get back the values they had before it, in one transaction,
// except rows changed again since, which are left alone and reported. A row counts as changed
// again when its value now is not the one the change wrote, when a later journaled change
// (restores included) changed it, or when it no longer exists. The restore takes the same lock
// as the change it undoes (locks.h) and is journaled like any change: method "restore",
// the restored change's header and column, IDRESTAURADA naming it, its rows before and after.
// Restoring a restore puts the values back again; restoring the same change twice leaves every
// row alone the second time.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/storage/storage.h"

namespace server {

// Why a restore did not run: the change does not exist, recorded no values, had them
// discarded (prune.h), or another change of the same data held its lock longer than the
// storage's lock wait. Nothing was changed.
class RestoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Who restores, as recorded in the journal.
struct RestoreCaller {
  std::string client;  // e.g. "local user@machine"
  std::string user;
  std::string machine;
};

struct LeftAlone {
  std::string product;
  std::optional<std::string> now;  // its value now; nullopt when the row no longer exists
};

struct RestoreOutcome {
  int64_t id = 0;                    // the restore's own journal row
  int64_t restored = 0;              // rows put back
  std::vector<LeftAlone> leftAlone;  // by product code
};

// Throws RestoreError, or StorageError when the database fails.
RestoreOutcome restoreChange(Storage& storage, int64_t change, const RestoreCaller& caller);

}  // namespace server
