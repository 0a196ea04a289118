#pragma once
// Taking back a name change whose confirmation did not go through: the promotion update that
// was to complete it (object/prefix_link.h) was refused or failed. Inside the caller's write
// transaction and under the names' lock, every name the change wrote gets its value before back,
// except names changed again since, which are left alone (restorable.h: the restore's rule).
//
// The journal then forgets what was taken back, since for the user nothing happened: the
// change's rows of the names put back are deleted, and its ALTERACAOLOG row too once it has
// none left (unless a later row names it, or its rows were discarded). Names left alone keep
// their rows, and the row counts only them: that part of the change stands.

#include <cstdint>

#include "server/storage/db/connection.h"

namespace server {

struct TakeBack {
  int64_t putBack = 0;
  int64_t leftAlone = 0;  // names changed again since, keeping what they hold now
};

// `change` is the ALTERACAOLOG row of a journaled name change. Throws LockTimeout when the
// names stay locked past the lock wait, StorageError when the database fails.
TakeBack takeBackNameChange(db::Connection& c, int64_t change);

}  // namespace server
