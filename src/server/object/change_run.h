#pragma once
// How a change method runs: one write transaction on one connection, in which the change locks
// and checks what it needs, its journal row is opened, the rows about to change are journaled
// with their values before and after, the rows are changed, and the journal row gets its
// counts; then the commit. A refusal or failure anywhere rolls all of it back, so the caller
// sees all of the change and its journal or none of either.
//
// Only rows that are not in the requested state already are changed (and journaled): running
// the same change twice writes nothing the second time but its journal row, which counts the
// selected rows as unchanged (when the journal finds nothing to change, `apply` is not run).
// The steps' conditions must agree: `journal` and `apply` cover the same rows, which the runner
// checks.
//
// A change that waits for another change's lock longer than the storage's lock wait is refused
// with messages::kChangeBusy; the lock itself is the database's (taken in `verify`), so it holds
// between server processes too.

#include <cstdint>
#include <functional>

#include "server/object/server_object.h"
#include "server/storage/journal/record.h"
#include "server/storage/storage.h"

namespace server {

struct ChangeSteps {
  // Locks, existence, limits; may refuse.
  std::function<void(db::Connection&)> verify;
  // Writes one ALTERACAOITEM row under change `id` per row `apply` is about to change, and
  // returns how many.
  std::function<int64_t(db::Connection&, int64_t id)> journal;
  // Counts the selected rows that are in the requested state already, knowing that `changing`
  // others are about to change (a selection whose size is known needs no query).
  std::function<int64_t(db::Connection&, int64_t changing)> unchanged;
  // Changes the rows that differ from the requested state; returns how many.
  std::function<int64_t(db::Connection&)> apply;
  // Optional: `journal` and `apply` together, reading the rows once; returns the rows changed,
  // each of which it journaled. Used instead of both when set and the storage journals values.
  std::function<int64_t(db::Connection&, int64_t id)> journaledApply;
  // Optional: what must still be done when the change is refused or fails inside its
  // transaction (prefix_link.h). It runs in that transaction, rolled back to just before the
  // change (its rows, journal and locks gone), and commits it; it catches what it throws. Not
  // run when the transaction could not begin or cannot go back; the refusal or failure of the
  // change goes on either way.
  std::function<void(db::Connection&, db::Transaction&)> compensate;
};

struct ChangeCounts {
  int64_t id = 0;  // the journal row
  int64_t changed = 0;
  int64_t unchanged = 0;
};

// The journal record of a change by `method` for the caller of `context`; the method adds its
// header and selection.
ChangeRecord changeRecord(std::string_view method, const CallContext& context);

// Runs the change and records it. `record.column` is set here, from `column`, when the storage
// journals values. Throws Refused or StorageError.
ChangeCounts runChange(Storage& storage, ChangeRecord record, const char* column,
                       const ChangeSteps& steps);

}  // namespace server
