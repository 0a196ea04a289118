#include "server/storage/journal/restore.h"

#include <nlohmann/json.hpp>

#include "server/storage/db/dialect.h"
#include "server/storage/db/sql.h"
#include "server/storage/journal/item_runs.h"
#include "server/storage/journal/journal_reader.h"
#include "server/storage/journal/record.h"
#include "server/storage/locks.h"

namespace server {

namespace {

bool isPromotion(const JournalEntry& change) {
  return change.column == kPromotionColumn;
}

ValidityKey validityOf(const JournalEntry& change) {
  return {*change.branch, *change.table, *change.start};
}

// The value the row of journal item I (alias "I") has now; null when the row is gone.
db::Sql currentValue(const JournalEntry& change) {
  db::Sql sql;
  if (!isPromotion(change))
    return sql << "(SELECT P.NMPRODUTO FROM PRODUTO P WHERE P.CDPRODUTO = I.CDPRODUTO)";
  sql << "(SELECT CAST(T.IDPROMOCAO AS VARCHAR(50)) FROM ITEMPRECO T WHERE T.CDFILIAL = ";
  sql.bind(*change.branch) << " AND T.CDTABEPREC = ";
  sql.bind(*change.table) << " AND T.DTINIVGPREC = ";
  sql.bind(*change.start) << " AND T.CDPRODUTO = I.CDPRODUTO)";
  return sql;
}

// The products whose rows of the same data journaled changes after `change` and before the
// restore `id` changed.
db::Sql changedLater(db::Engine engine, const JournalEntry& change, int64_t id) {
  db::Sql sql("SELECT J.CDPRODUTO FROM ALTERACAOLOG L JOIN ALTERACAOITEM J ON ");
  sql << itemsOfLogRow(engine, "J", "L") << " WHERE L.ID > ";
  sql.bind(change.id) << " AND L.ID < ";
  sql.bind(id);
  // The same bounds on the items let PostgreSQL read only the journal written since.
  sql << " AND J.IDALTERACAO > ";
  sql.bind(change.id) << " AND J.IDALTERACAO < ";
  sql.bind(id) << " AND L.DSCAMPO = ";
  sql.bind(*change.column);
  if (isPromotion(change)) {
    sql << " AND L.CDFILIAL = ";
    sql.bind(*change.branch) << " AND L.CDTABEPREC = ";
    sql.bind(*change.table) << " AND L.DTINIVGPREC = ";
    sql.bind(*change.start);
  }
  return sql;
}

// Journals, under the restore `id`, every row of `change` that still holds what the change
// wrote and that no later change touched: from that value back to the one before.
int64_t journalRestorable(db::Connection& c, const JournalEntry& change, int64_t id) {
  db::Sql sql("INSERT INTO ALTERACAOITEM (IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS) SELECT ");
  sql.bind(id, "CAST(? AS BIGINT)")
      << ", I.CDPRODUTO, I.DSDEPOIS, I.DSANTES FROM ALTERACAOITEM I WHERE "
      << itemsOfChange(c.engine(), "I", change.id) << " AND " << currentValue(change)
      << " = I.DSDEPOIS AND I.CDPRODUTO NOT IN (" << changedLater(c.engine(), change, id) << ")";
  return sql.execute(c);
}

// Writes the values the restore `id` journaled, each row found by its key from the journal's.
int64_t applyRestore(db::Connection& c, const JournalEntry& change, int64_t id) {
  db::Sql restored("(SELECT J.CDPRODUTO, J.DSDEPOIS FROM ALTERACAOITEM J WHERE ");
  restored << itemsOfChange(c.engine(), "J", id) << ") AS R";
  db::Sql sql;
  if (isPromotion(change)) {
    sql << "UPDATE ITEMPRECO SET IDPROMOCAO = CAST(R.DSDEPOIS AS CHAR(1)) FROM " << restored
        << " WHERE ITEMPRECO.CDFILIAL = ";
    sql.bind(*change.branch) << " AND ITEMPRECO.CDTABEPREC = ";
    sql.bind(*change.table) << " AND ITEMPRECO.DTINIVGPREC = ";
    sql.bind(*change.start) << " AND ITEMPRECO.CDPRODUTO = R.CDPRODUTO";
  } else {
    sql << "UPDATE PRODUTO SET NMPRODUTO = R.DSDEPOIS FROM " << restored
        << " WHERE PRODUTO.CDPRODUTO = R.CDPRODUTO";
  }
  return sql.execute(c);
}

std::vector<LeftAlone> leftAlone(db::Connection& c, const JournalEntry& change, int64_t id) {
  db::Sql sql("SELECT I.CDPRODUTO, ");
  sql << currentValue(change) << " FROM ALTERACAOITEM I WHERE "
      << itemsOfChange(c.engine(), "I", change.id)
      << " AND I.CDPRODUTO NOT IN (SELECT J.CDPRODUTO FROM ALTERACAOITEM J WHERE "
      << itemsOfChange(c.engine(), "J", id) << ") ORDER BY I.CDPRODUTO COLLATE \"C\"";
  std::vector<LeftAlone> rows;
  sql.query(c, [&](const db::Row& row) {
    rows.push_back({std::string(row.text(0)),
                    row.isNull(1) ? std::nullopt : std::optional<std::string>(row.text(1))});
  });
  return rows;
}

}  // namespace

RestoreOutcome restoreChange(Storage& storage, int64_t change, const RestoreCaller& caller) {
  const std::string name = "change " + std::to_string(change);
  try {
    auto connection = storage.connection();
    db::Connection& c = *connection;
    db::Transaction tx(c, db::TxMode::Write);
    // Held until the end, so that a prune discarding the change's rows waits for the restore
    // or the restore sees them gone (prune.h).
    c.queryInteger(
        std::string("SELECT 1 FROM ALTERACAOLOG WHERE ID = ?") + db::forUpdate(c.engine()),
        {change});
    const std::optional<JournalEntry> entry = findChange(c, change);
    if (!entry) throw RestoreError(name + " does not exist");
    if (entry->discarded)
      throw RestoreError(name + "'s rows were discarded from the journal on " + *entry->discarded +
                         "; it can no longer be restored");
    const bool promotion = isPromotion(*entry);
    if (!entry->column || (!promotion && entry->column != kNameColumn))
      throw RestoreError(name + " has no recorded values to restore");
    if (promotion && !(entry->branch && entry->table && entry->start))
      throw RestoreError(name + " has no validity period recorded");

    // A period that is gone has no items left: they are all reported as left alone.
    if (promotion) {
      lockValidity(c, validityOf(*entry));
    } else {
      lockProductNames(c);
    }
    ChangeRecord record;
    record.method = "restore";
    record.client = caller.client;
    record.user = callerText(caller.user);
    record.machine = callerText(caller.machine);
    record.branch = entry->branch;
    record.table = entry->table;
    record.start = entry->start;
    record.selection = nlohmann::ordered_json{{"alteracao", change}}.dump();
    record.column = entry->column;
    record.restored = change;

    RestoreOutcome outcome;
    outcome.id = openRecord(c, record);
    const std::optional<int64_t> firstItem = nextItemRow(c);
    const int64_t journaled = journalRestorable(c, *entry, outcome.id);
    const std::optional<ItemRun> items = appendedItems(c, firstItem, journaled);
    outcome.restored = applyRestore(c, *entry, outcome.id);
    requireJournaled(journaled, outcome.restored, "a restauração");
    outcome.leftAlone = leftAlone(c, *entry, outcome.id);
    closeRecord(c, outcome.id, outcome.restored, static_cast<int64_t>(outcome.leftAlone.size()),
                items);
    tx.commit();
    return outcome;
  } catch (const LockTimeout&) {
    throw RestoreError(
        "another change of the same data, or a prune of the journal, is in progress and did "
        "not finish in time; nothing was restored, try again");
  }
}

}  // namespace server
