#pragma once
// How a change method runs: one write transaction on one connection, in which the change locks
// and checks what it needs, changes the rows and returns how many, and the audit row is added;
// then the commit. A refusal or failure anywhere rolls all of it back, so the caller sees all
// of the change or none of it.
//
// The change itself is split so that later steps can be slotted in without rewriting the
// methods: `verify` (locks, existence, limits; may refuse), then `apply` (the UPDATE over the
// selected rows). A journal of the rows before and after would read the same selection
// between the two; a no-op-aware update would narrow `apply`'s condition.

#include <cstdint>
#include <functional>

#include "server/storage/object/change_log.h"
#include "server/storage/storage.h"

namespace server {

struct ChangeSteps {
  std::function<void(db::Connection&)> verify;
  std::function<int64_t(db::Connection&)> apply;
};

// Runs the change and records it; returns the rows changed. Throws Refused or StorageError.
int64_t runChange(Storage& storage, ChangeRecord record, const ChangeSteps& steps);

}  // namespace server
