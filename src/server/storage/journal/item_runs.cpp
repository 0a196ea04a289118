#include "server/storage/journal/item_runs.h"

namespace server {

namespace {

// A change recorded without its run (none is, after `init`) is looked for in the whole table.
constexpr const char* kNoEnd = "9223372036854775807";

}  // namespace

std::optional<int64_t> nextItemRow(db::Connection& c) {
  if (c.engine() != db::Engine::Sqlite) return std::nullopt;
  // The largest rowid is the last row of the table's tree: one descent, whatever its size.
  return c.queryInteger("SELECT COALESCE(MAX(ROWID), 0) + 1 FROM ALTERACAOITEM").value_or(1);
}

std::optional<ItemRun> appendedItems(db::Connection& c, std::optional<int64_t> first,
                                     int64_t count) {
  if (!first) return std::nullopt;
  const ItemRun run{*first, *first + count - 1};
  if (count == 0) return run;
  // New rowids follow the largest one, and the transaction holds the only write lock of the
  // file: the rows are first..last unless the table was filled up to the largest rowid.
  const int64_t last = c.queryInteger("SELECT MAX(ROWID) FROM ALTERACAOITEM").value_or(0);
  if (last != run.last)
    throw StorageError("as linhas do diário não ficaram em sequência (" +
                       std::to_string(run.first) + " a " + std::to_string(last) + " para " +
                       std::to_string(count) + ")");
  return run;
}

void requireJournaled(int64_t journaled, int64_t written, std::string_view change) {
  if (journaled == written) return;
  throw StorageError("o diário registrou " + std::to_string(journaled) + " linhas e " +
                     std::string(change) + " mudou " + std::to_string(written));
}

db::Sql itemsOfChange(db::Engine engine, std::string_view items, int64_t id) {
  db::Sql sql;
  sql << items << ".IDALTERACAO = ";
  sql.bind(id);
  if (engine != db::Engine::Sqlite) return sql;
  sql << " AND " << items << ".ROWID BETWEEN (SELECT COALESCE(NRITEMINICIAL, 1) FROM ALTERACAOLOG "
      << "WHERE ID = ";
  sql.bind(id) << ") AND (SELECT COALESCE(NRITEMFINAL, " << kNoEnd
               << ") FROM ALTERACAOLOG WHERE ID = ";
  sql.bind(id) << ")";
  return sql;
}

std::string itemsOfLogRow(db::Engine engine, std::string_view items, std::string_view log) {
  const std::string i(items), l(log);
  std::string sql = i + ".IDALTERACAO = " + l + ".ID";
  if (engine == db::Engine::Sqlite)
    sql += " AND " + i + ".ROWID BETWEEN COALESCE(" + l + ".NRITEMINICIAL, 1) AND COALESCE(" + l +
           ".NRITEMFINAL, " + kNoEnd + ")";
  return sql;
}

}  // namespace server
