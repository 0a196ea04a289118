#pragma once
// What a restore of a change would do if it ran now (restore.h), without doing it: per part of
// the change, how many of its rows would go back and how many would be left alone, by the same
// rule the restore follows (restorable.h). Read in the caller's transaction, if any; a change
// made meanwhile may move rows from one count to the other before the restore runs.

#include <cstdint>
#include <string>
#include <vector>

#include "server/storage/journal/journal_reader.h"

namespace server {

struct PartPreview {
  std::string column;  // the part's DSCAMPO
  int64_t back = 0;    // would get their value before the change back
  int64_t left = 0;    // changed again since, or gone: would be left alone
};

// Per part of `entry` (changeParts' order). Every part must have journaled values that are
// kept (keptItems), as a restore requires.
std::vector<PartPreview> previewRestore(db::Connection& c, const JournalEntry& entry);

}  // namespace server
