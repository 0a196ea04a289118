#pragma once
// Which rows of a journaled change can still be put back: those that hold the value the change
// wrote and that no later journaled change of the same data touched (restores included). A row
// changed outside the server shows by its value; one changed back and forth since by a later
// change's rows. Shared by the restore (restore.h) and the take-back of an unfinished
// confirmation (take_back.h), which must leave the same rows alone.

#include <cstdint>
#include <optional>

#include "server/storage/db/sql.h"
#include "server/storage/journal/journal_reader.h"

namespace server {

// The value the changed row of journal item I (alias "I", a row of `change`) has now; null when
// the row no longer exists.
db::Sql currentValue(const JournalEntry& change);

// A condition on journal item I of `change`: no journaled change numbered after it (and below
// `before`; every later change when nullopt) changed the row.
db::Sql untouchedSince(db::Engine engine, const JournalEntry& change,
                       std::optional<int64_t> before);

// A condition on journal item I of `change`: the row can be put back (both of the above, and
// the row holds what the change wrote).
db::Sql restorable(db::Engine engine, const JournalEntry& change, std::optional<int64_t> before);

}  // namespace server
