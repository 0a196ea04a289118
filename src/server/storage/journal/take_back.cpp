#include "server/storage/journal/take_back.h"

#include "server/storage/db/dialect.h"
#include "server/storage/db/sql.h"
#include "server/storage/journal/item_runs.h"
#include "server/storage/journal/journal_reader.h"
#include "server/storage/journal/record.h"
#include "server/storage/journal/restorable.h"
#include "server/storage/locks.h"

namespace server {

namespace {

// Writes back the name before the change wherever the change's value can be put back.
int64_t putBack(db::Connection& c, const JournalEntry& change) {
  db::Sql sql(
      "UPDATE PRODUTO SET NMPRODUTO = R.DSANTES FROM (SELECT I.CDPRODUTO, I.DSANTES FROM "
      "ALTERACAOITEM I WHERE ");
  sql << itemsOfChange(c.engine(), "I", change.id) << " AND "
      << restorable(c.engine(), change, std::nullopt)
      << ") AS R WHERE PRODUTO.CDPRODUTO = R.CDPRODUTO";
  return sql.execute(c);
}

// Deletes the change's rows of the names that are as they were before it, untouched by any
// later change: those put back, and any a change outside the server put back already.
int64_t forgetPutBack(db::Connection& c, const JournalEntry& change) {
  db::Sql sql("DELETE FROM ALTERACAOITEM AS I WHERE ");
  sql << itemsOfChange(c.engine(), "I", change.id) << " AND " << currentValue(change)
      << " = I.DSANTES AND " << untouchedSince(c.engine(), change, std::nullopt);
  return sql.execute(c);
}

}  // namespace

TakeBack takeBackNameChange(db::Connection& c, int64_t change) {
  lockProductNames(c);
  // Ordered with a prune marking the row, as a restore is (prune.h).
  c.queryInteger(std::string("SELECT 1 FROM ALTERACAOLOG WHERE ID = ?") + db::forUpdate(c.engine()),
                 {change});
  const std::optional<JournalEntry> entry = findChange(c, change);
  if (!entry || entry->id != change || entry->column != kNameColumn) return {};

  TakeBack outcome;
  outcome.putBack = putBack(c, *entry);
  const int64_t forgotten = forgetPutBack(c, *entry);
  outcome.leftAlone = entry->changed - forgotten;
  const bool named =
      c.queryInteger(
           "SELECT 1 FROM ALTERACAOLOG WHERE ID > ? AND (IDRESTAURADA = ? OR IDVINCULADA = ?)",
           {change, change, change})
          .has_value();
  if (outcome.leftAlone == 0 && !entry->discarded && !named) {
    c.execute("DELETE FROM ALTERACAOLOG WHERE ID = ?", {change});
  } else if (forgotten > 0) {
    c.execute("UPDATE ALTERACAOLOG SET QTLINHAS = QTLINHAS - ? WHERE ID = ?", {forgotten, change});
  }
  return outcome;
}

}  // namespace server
