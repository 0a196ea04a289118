#include "server/storage/journal/restore.h"

#include <nlohmann/json.hpp>

#include "server/storage/db/dialect.h"
#include "server/storage/db/sql.h"
#include "server/storage/journal/item_runs.h"
#include "server/storage/journal/journal_reader.h"
#include "server/storage/journal/record.h"
#include "server/storage/journal/restorable.h"
#include "server/storage/locks.h"

namespace server {

namespace {

bool isPromotion(const JournalEntry& change) {
  return change.column == kPromotionColumn;
}

// Journals, under the restore `id`, every row of `change` that can still be put back: from
// the value it holds back to the one before.
int64_t journalRestorable(db::Connection& c, const JournalEntry& change, int64_t id) {
  db::Sql sql("INSERT INTO ALTERACAOITEM (IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS) SELECT ");
  sql.bind(id, "CAST(? AS BIGINT)")
      << ", I.CDPRODUTO, I.DSDEPOIS, I.DSANTES FROM ALTERACAOITEM I WHERE "
      << itemsOfChange(c.engine(), "I", change.id) << " AND " << restorable(c.engine(), change, id);
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

// Refuses a journal row whose values cannot be put back; `name` is the change as asked for.
void requireRestorable(const JournalEntry& row, const std::string& name) {
  if (row.discarded)
    throw RestoreError(name + "'s rows were discarded from the journal on " + *row.discarded +
                       "; it can no longer be restored");
  const bool promotion = isPromotion(row);
  if (!row.column || (!promotion && row.column != kNameColumn))
    throw RestoreError(name + " has no recorded values to restore");
  if (promotion && !(row.branch && row.table && row.start))
    throw RestoreError(name + " has no validity period recorded");
}

// Puts back what journal row `row` can, journaled as a restore row (naming `linked`, the first
// row of the same restore, if any). Its lock is held already.
RestoredRows restoreRow(db::Connection& c, const JournalEntry& row, const RestoreCaller& caller,
                        std::optional<int64_t> linked) {
  ChangeRecord record;
  record.method = "restore";
  record.client = caller.client;
  record.user = callerText(caller.user);
  record.machine = callerText(caller.machine);
  record.branch = row.branch;
  record.table = row.table;
  record.start = row.start;
  record.selection = nlohmann::ordered_json{{"alteracao", row.id}}.dump();
  record.column = row.column;
  record.restored = row.id;
  record.linked = linked;

  RestoredRows outcome;
  outcome.id = openRecord(c, record);
  const std::optional<int64_t> firstItem = nextItemRow(c);
  const int64_t journaled = journalRestorable(c, row, outcome.id);
  const std::optional<ItemRun> items = appendedItems(c, firstItem, journaled);
  outcome.restored = applyRestore(c, row, outcome.id);
  requireJournaled(journaled, outcome.restored, "a restauração");
  outcome.leftAlone = leftAlone(c, row, outcome.id);
  closeRecord(c, outcome.id, outcome.restored, static_cast<int64_t>(outcome.leftAlone.size()),
              items);
  return outcome;
}

// Held until the end, so that a prune discarding the row's items waits for the restore or the
// restore sees them gone (prune.h).
void lockLogRow(db::Connection& c, int64_t id) {
  c.queryInteger(std::string("SELECT 1 FROM ALTERACAOLOG WHERE ID = ?") + db::forUpdate(c.engine()),
                 {id});
}

}  // namespace

RestoreOutcome restoreChange(Storage& storage, int64_t change, const RestoreCaller& caller) {
  const std::string name = "change " + std::to_string(change);
  try {
    auto connection = storage.connection();
    db::Connection& c = *connection;
    db::Transaction tx(c, db::TxMode::Write);
    lockLogRow(c, change);
    const std::optional<JournalEntry> entry = findChange(c, change);
    if (!entry) throw RestoreError(name + " does not exist");
    // A prune discards both rows of a change in two or neither (prune.h); the other row is
    // locked too, and its lines read after the first lock, which a prune marking it waits for.
    const JournalEntry* names = entry->names.get();
    if (names) lockLogRow(c, change == entry->id ? names->id : entry->id);
    if (names) requireRestorable(*names, name);
    requireRestorable(*entry, name);

    // Names first, then the period, as the confirmation took them. A period that is gone has
    // no items left: they are all reported as left alone.
    if (names) lockProductNames(c);
    if (isPromotion(*entry)) {
      lockValidity(c, {*entry->branch, *entry->table, *entry->start});
    } else {
      lockProductNames(c);
    }
    RestoreOutcome outcome;
    outcome.change = entry->id;
    if (names) outcome.names = restoreRow(c, *names, caller, std::nullopt);
    static_cast<RestoredRows&>(outcome) =
        restoreRow(c, *entry, caller, names ? std::optional(outcome.names->id) : std::nullopt);
    tx.commit();
    return outcome;
  } catch (const LockTimeout&) {
    throw RestoreError(
        "another change of the same data, or a prune of the journal, is in progress and did "
        "not finish in time; nothing was restored, try again");
  }
}

}  // namespace server
