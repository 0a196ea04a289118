#pragma once
// Restoring a change: its rows get back the values they had before it, in one transaction,
// except rows changed again since, which are left alone and reported (restorable.h says which).
// The restore takes the same lock as the change it undoes (locks.h) and is journaled like any
// change: method "restore", the restored change's header and column, IDRESTAURADA naming it,
// its rows before and after. Restoring a restore puts the values back again; restoring the same
// change twice leaves every row alone the second time.
//
// A change recorded in two rows (record.h: a confirmation that changed names and flags) is
// restored whole, whichever of its rows is named: names first, under the names' lock, then the
// flags, under the period's, and the restore is recorded in two rows the same way.

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

// What the restore of one journal row did.
struct RestoredRows {
  int64_t id = 0;                    // the restore's own journal row
  int64_t restored = 0;              // rows put back
  std::vector<LeftAlone> leftAlone;  // by product code
};

struct RestoreOutcome : RestoredRows {
  int64_t change = 0;  // the change restored (its second row, for a change in two)
  // A change in two rows: what became of its names; the fields above tell of its flags.
  std::optional<RestoredRows> names;
};

// Throws RestoreError, or StorageError when the database fails.
RestoreOutcome restoreChange(Storage& storage, int64_t change, const RestoreCaller& caller);

}  // namespace server
