#pragma once
// Where the ALTERACAOITEM rows of a change are, for those who write them and those who read
// them. The table has no key (schema.cpp). On SQLite a change appends its rows at the end of
// the table, one writer at a time, so they take one run of rowids, which its ALTERACAOLOG row
// records (NRITEMINICIAL to NRITEMFINAL) and readers seek. On PostgreSQL the rows of two
// changes may interleave; a block range index on IDALTERACAO finds the pages that hold them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/storage/db/connection.h"
#include "server/storage/db/sql.h"

namespace server {

struct ItemRun {
  int64_t first = 1;
  int64_t last = 0;  // first - 1 for a change with no rows
};

// SQLite: the rowid the next ALTERACAOITEM row takes. nullopt on PostgreSQL.
std::optional<int64_t> nextItemRow(db::Connection& c);

// The run of `count` rows appended from `first` (nextItemRow's answer) on, once the change has
// written them; nullopt where there is no run to record. Throws StorageError when they did not
// land there, so a change is never kept with its rows out of reach.
std::optional<ItemRun> appendedItems(db::Connection& c, std::optional<int64_t> first,
                                     int64_t count);

// Throws StorageError unless the journal recorded exactly the rows the change wrote, so that a
// change is never kept with a journal that does not account for it. `change` names what wrote,
// as the message says it ("a alteração", "a restauração").
void requireJournaled(int64_t journaled, int64_t written, std::string_view change);

// The condition that picks, in ALTERACAOITEM under alias `items`, the rows of change `id`.
db::Sql itemsOfChange(db::Engine engine, std::string_view items, int64_t id);

// The same, for a join with ALTERACAOLOG under alias `log`: the rows of that log row's change.
std::string itemsOfLogRow(db::Engine engine, std::string_view items, std::string_view log);

}  // namespace server
