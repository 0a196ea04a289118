#include "server/storage/promotion_update.h"

#include "server/storage/db/row_marks.h"
#include "server/storage/journal/item_runs.h"

namespace server {

namespace {

// The flag column holds only "S" or "N" (the table checks it), so an item that differed from
// the flag held the other one.
std::string otherFlag(const std::string& flag) {
  return flag == "S" ? "N" : "S";
}

PromotionUpdate onPostgres(db::Connection& c, const db::Sql& selected, const std::string& flag,
                           int64_t id) {
  db::Sql sql("WITH MUDADOS AS (UPDATE ITEMPRECO SET IDPROMOCAO = ");
  sql.bind(flag, "CAST(? AS CHAR(1))") << " WHERE " << selected;
  sql.bind(flag, " AND IDPROMOCAO <> CAST(? AS CHAR(1))")
      << " RETURNING CDPRODUTO) INSERT INTO ALTERACAOITEM (IDALTERACAO, CDPRODUTO, DSANTES, "
         "DSDEPOIS) SELECT ";
  sql.bind(id, "CAST(? AS BIGINT)") << ", CDPRODUTO, ";
  sql.bind(otherFlag(flag), "CAST(? AS VARCHAR(50))") << ", ";
  sql.bind(flag, "CAST(? AS VARCHAR(50))") << " FROM MUDADOS";
  return {sql.execute(c), std::nullopt};
}

// The update marks the items it changes, with the marking written as its last condition, and
// the journal is written from the marks.
PromotionUpdate onSqlite(db::Connection& c, const db::Sql& selected, const std::string& flag,
                         int64_t id) {
  db::RowMarks& marks = *c.rowMarks();
  marks.clear();
  db::Sql update("UPDATE ITEMPRECO SET IDPROMOCAO = ");
  update.bind(flag) << " WHERE " << selected << " AND vnd_marca(CDPRODUTO, IDPROMOCAO, ";
  update.bind(flag) << ")";
  const int64_t changed = update.execute(c);
  const int64_t seen = marks.seen();
  if (static_cast<int64_t>(marks.size()) != changed)
    throw StorageError("a alteração marcou " + std::to_string(marks.size()) + " linhas e mudou " +
                       std::to_string(changed));
  db::Sql insert("INSERT INTO ALTERACAOITEM (IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS) SELECT ");
  insert.bind(id) << ", CDPRODUTO, ";
  insert.bind(otherFlag(flag)) << ", ";
  insert.bind(flag) << " FROM vnd_marcados";
  const int64_t journaled = insert.execute(c);
  marks.clear();
  requireJournaled(journaled, changed, "a alteração");
  return {changed, seen};
}

}  // namespace

PromotionUpdate setPromotionJournaled(db::Connection& c, const db::Sql& selected,
                                      const std::string& flag, int64_t id) {
  return c.engine() == db::Engine::Postgres ? onPostgres(c, selected, flag, id)
                                            : onSqlite(c, selected, flag, id);
}

}  // namespace server
