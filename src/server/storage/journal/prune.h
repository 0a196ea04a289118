#pragma once
// Keeping the journal's size in hand: the per-product rows (ALTERACAOITEM) of the changes
// recorded before a day are discarded, in one transaction; their ALTERACAOLOG lines stay, with
// who, when, what and how many, and record when the rows went (DTDESCARTE). A whole-period
// change of a large table writes a row per product, so a journal never pruned grows with every
// confirmation.
//
// What is discarded is always the oldest part of the journal: the changes numbered below the
// first one recorded at or after the day. A change that stays therefore keeps every later
// change's rows, which its restore needs to tell rows changed again since. A change recorded in
// two rows (record.h) keeps both when its second row stays. A change whose rows were discarded
// can no longer be restored (restore.h refuses it).
//
// On PostgreSQL the lines are marked under row locks, so a prune and a restore of the same
// change run one after the other. On SQLite the file's one writer does the same. Changes go
// on meanwhile: they only append. Only the rows of the lines a prune marks go, so a change
// that commits while a prune runs on PostgreSQL keeps its rows even when numbered below the
// first change kept; the next prune takes them.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "server/storage/storage.h"

namespace server {

// A restore of a change being discarded held it longer than the storage's lock wait; nothing
// was discarded.
class PruneError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PruneOutcome {
  int64_t changes = 0;  // changes whose rows were discarded now
  int64_t rows = 0;     // ALTERACAOITEM rows deleted
};

// `before` is a canonical UTC timestamp (journalTimestamp). Discarding again what is gone
// already finds nothing. Throws PruneError, or StorageError when the database fails.
PruneOutcome pruneJournal(Storage& storage, const std::string& before);

}  // namespace server
