#include "server/storage/journal/restorable.h"

#include "server/storage/journal/item_runs.h"
#include "server/storage/journal/record.h"

namespace server {

namespace {

bool isPromotion(const JournalEntry& change) {
  return change.column == kPromotionColumn;
}

// The products whose rows of the same data journaled changes after `change` (and below
// `before`) changed.
db::Sql changedLater(db::Engine engine, const JournalEntry& change, std::optional<int64_t> before) {
  db::Sql sql("SELECT J.CDPRODUTO FROM ALTERACAOLOG L JOIN ALTERACAOITEM J ON ");
  sql << itemsOfLogRow(engine, "J", "L") << " WHERE L.ID > ";
  sql.bind(change.id);
  // The same bounds on the items let PostgreSQL read only the journal written since.
  sql << " AND J.IDALTERACAO > ";
  sql.bind(change.id);
  if (before) {
    sql << " AND L.ID < ";
    sql.bind(*before) << " AND J.IDALTERACAO < ";
    sql.bind(*before);
  }
  sql << " AND L.DSCAMPO = ";
  sql.bind(*change.column);
  if (isPromotion(change)) {
    sql << " AND L.CDFILIAL = ";
    sql.bind(*change.branch) << " AND L.CDTABEPREC = ";
    sql.bind(*change.table) << " AND L.DTINIVGPREC = ";
    sql.bind(*change.start);
  }
  return sql;
}

}  // namespace

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

db::Sql untouchedSince(db::Engine engine, const JournalEntry& change,
                       std::optional<int64_t> before) {
  db::Sql sql("I.CDPRODUTO NOT IN (");
  sql << changedLater(engine, change, before) << ")";
  return sql;
}

db::Sql restorable(db::Engine engine, const JournalEntry& change, std::optional<int64_t> before) {
  db::Sql sql;
  sql << currentValue(change) << " = I.DSDEPOIS AND " << untouchedSince(engine, change, before);
  return sql;
}

}  // namespace server
