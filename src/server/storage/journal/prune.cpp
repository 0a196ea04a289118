#include "server/storage/journal/prune.h"

#include <algorithm>

#include "server/storage/db/sql.h"
#include "server/storage/journal/record.h"

namespace server {

namespace {

const char* timestampParam(db::Engine engine) {
  return engine == db::Engine::Postgres ? "CAST(? AS TIMESTAMP(3))" : "?";
}

// The number of the first change that stays: the first recorded at or after `before`, or one
// past the last when every change is older; and before it, the first row of a change in two
// rows (record.h) whose second row stays, so that no change is kept in part.
int64_t firstKept(db::Connection& c, const std::string& before) {
  db::Sql sql(
      "SELECT COALESCE(MIN(ID), (SELECT COALESCE(MAX(ID), 0) + 1 FROM ALTERACAOLOG)) "
      "FROM ALTERACAOLOG WHERE DTALTERACAO >= ");
  sql.bind(before, timestampParam(c.engine()));
  std::optional<int64_t> id;
  sql.query(c, [&](const db::Row& row) { id = row.integer(0); });
  const int64_t kept = id.value_or(1);
  const std::optional<int64_t> split = c.queryInteger(
      "SELECT MIN(IDVINCULADA) FROM ALTERACAOLOG WHERE ID >= ? AND IDVINCULADA < ?", {kept, kept});
  return split ? std::min(kept, *split) : kept;
}

// Marks the lines whose rows go. Changes that wrote no row have nothing to discard.
int64_t markDiscarded(db::Connection& c, int64_t kept) {
  db::Sql sql("UPDATE ALTERACAOLOG SET DTDESCARTE = ");
  sql.bind(utcTimestamp(), timestampParam(c.engine())) << " WHERE ID < ";
  sql.bind(kept) << " AND DTDESCARTE IS NULL AND QTLINHAS > 0 AND DSCAMPO IS NOT NULL";
  return sql.execute(c);
}

int64_t deleteItems(db::Connection& c, int64_t kept) {
  db::Sql sql("DELETE FROM ALTERACAOITEM WHERE IDALTERACAO < ");
  sql.bind(kept);
  if (c.engine() == db::Engine::Sqlite) {
    // One writer at a time appends each change's rows after the last ones, so every row of an
    // older change lies before the first row of the first change kept that has rows: only
    // that part of the table is read. A change without rows is no bound: the upgrade of a
    // keyed table records every such change as the run 1..0. The condition on IDALTERACAO
    // alone decides what goes.
    sql << " AND ROWID < COALESCE((SELECT MIN(NRITEMINICIAL) FROM ALTERACAOLOG WHERE ID >= ";
    sql.bind(kept) << " AND NRITEMFINAL >= NRITEMINICIAL), (SELECT COALESCE(MAX(ROWID), 0) + 1 "
                      "FROM ALTERACAOITEM))";
  } else {
    // Each statement reads what was committed when it began. A change or restore numbered
    // below `kept` that commits after the marking (a restore the marking waited for) is not
    // marked, and keeps its rows: only the rows of marked lines go.
    sql << " AND IDALTERACAO IN (SELECT ID FROM ALTERACAOLOG WHERE ID < ";
    sql.bind(kept) << " AND DTDESCARTE IS NOT NULL)";
  }
  return sql.execute(c);
}

}  // namespace

PruneOutcome pruneJournal(Storage& storage, const std::string& before) {
  try {
    auto connection = storage.connection();
    db::Connection& c = *connection;
    db::Transaction tx(c, db::TxMode::Write);
    const int64_t kept = firstKept(c, before);
    PruneOutcome outcome;
    outcome.changes = markDiscarded(c, kept);
    outcome.rows = deleteItems(c, kept);
    tx.commit();
    return outcome;
  } catch (const LockTimeout&) {
    throw PruneError(
        "a restore of one of these changes is in progress and did not finish in time; nothing "
        "was discarded, try again");
  }
}

}  // namespace server
