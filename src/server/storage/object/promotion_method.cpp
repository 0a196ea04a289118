// SetUpdItemPrecoAlt: puts the selected items of one validity period into the promotion
// ("S") or takes them out ("N"). Arguments: promotion flag, first, last, list, all flag (by
// reference); product packet or null; list mode; branch; price table; validity start.
//
// The products come from the selection texts alone: in list mode from the list (argument 4);
// the packet may hold rows of earlier attempts and is not read. The list-mode Boolean must
// agree with the selection (True exactly when the list is the way filled in). Items in the
// requested state already are left as they are and counted as unchanged.

#include "server/storage/db/row_marks.h"
#include "server/storage/db/sql.h"
#include "server/storage/object/arg_checks.h"
#include "server/storage/object/change_locks.h"
#include "server/storage/object/change_run.h"
#include "server/storage/object/messages.h"
#include "server/storage/object/methods.h"
#include "server/storage/object/refused.h"
#include "server/storage/object/selection_sql.h"

namespace server::methods {

namespace {

// The validity period exists, checked from the branch down so that the message names what
// is missing; it stays locked until the end of the change (change_locks.h).
void requireValidity(db::Connection& c, const ValidityKey& key) {
  if (!c.queryInteger("SELECT 1 FROM FILIAL WHERE CDFILIAL = ?", {key.branch}))
    throw Refused(messages::kBranchNotFound);
  if (!c.queryInteger("SELECT 1 FROM TABEPREC WHERE CDFILIAL = ? AND CDTABEPREC = ?",
                      {key.branch, key.table}))
    throw Refused(messages::kTableNotFound);
  if (!lockValidity(c, key)) throw Refused(messages::kValidityNotFound);
}

// The items of the validity whose products `products` picks.
db::Sql itemsOf(const ValidityKey& key, const db::Sql& products) {
  db::Sql sql("CDFILIAL = ");
  sql.bind(key.branch) << " AND CDTABEPREC = ";
  sql.bind(key.table) << " AND DTINIVGPREC = ";
  sql.bind(key.start) << " AND " << products;
  return sql;
}

}  // namespace

Answer setUpdItemPrecoAlt(Storage& storage, const CallContext& context,
                          const std::vector<Arg>& args) {
  const std::string& flag = args[0].text;
  const SelectionArgs selectionArgs{args[1].text, args[2].text, args[3].text, args[4].text};
  const bool listMode = args[6].boolean;
  const std::string &branch = args[7].text, &table = args[8].text;

  if (flag != "S" && flag != "N") throw Refused(messages::kBadPromotionFlag);
  const Selection selection = parseSelection(selectionArgs);
  const bool listSelected = selection.mode == Selection::Mode::List;
  if (listMode && !listSelected) throw Refused(messages::kListModeWithoutList);
  if (!listMode && listSelected) throw Refused(messages::kListOutsideListMode);
  // Codes of another width and dates outside the calendar name nothing that exists.
  if (!hasWidth(branch, 4)) throw Refused(messages::kBranchNotFound);
  if (!hasWidth(table, 3)) throw Refused(messages::kTableNotFound);
  const std::optional<std::string> start = isoDay(args[9].date);
  if (!start) throw Refused(messages::kValidityNotFound);
  const ValidityKey key{branch, table, *start};

  ChangeRecord record;
  record.method = "SetUpdItemPrecoAlt";
  record.client = describeClient(context);
  record.user = callerText(context.user);
  record.machine = callerText(context.host);
  record.branch = key.branch;
  record.table = key.table;
  record.start = key.start;
  record.selection = SelectionJson()
                         .add("promocao", flag)
                         .add("inicial", selectionArgs.first)
                         .add("final", selectionArgs.last)
                         .add("lista", selectionArgs.list)
                         .add("todos", selectionArgs.all)
                         .add("modoLista", listMode)
                         .text();

  // The selected items of the validity, worked out in `verify` inside the change's
  // transaction; `differs` keeps those not in the requested state.
  db::Sql selected;
  db::Sql differs;
  differs.bind(flag, " AND IDPROMOCAO <> CAST(? AS CHAR(1))");

  ChangeSteps steps;
  steps.verify = [&](db::Connection& c) {
    requireValidity(c, key);
    requireListedItems(c, selection, key);
    selected = itemsOf(key, gatheredProductCondition(c, selection, "CDPRODUTO"));
  };
  // The selected items less those about to change. Every listed code is an item of the
  // validity (verified), each listed once; SQLite's marking counts the selected items as it
  // goes; otherwise the count reads the key only.
  std::optional<int64_t> seenSelected;
  steps.unchanged = [&](db::Connection& c, int64_t changing) -> int64_t {
    if (listSelected) return static_cast<int64_t>(selection.codes.size()) - changing;
    if (seenSelected) return *seenSelected - changing;
    const db::Sql count = db::Sql("SELECT COUNT(*) FROM ITEMPRECO WHERE ") << selected;
    return c.queryInteger(count.text(), count.params()).value_or(0) - changing;
  };
  steps.apply = [&](db::Connection& c) {
    db::Sql update("UPDATE ITEMPRECO SET IDPROMOCAO = ");
    update.bind(flag, "CAST(? AS CHAR(1))") << " WHERE " << selected << differs;
    return update.execute(c);
  };
  // Both engines change and journal the items reading them once. PostgreSQL does it in one
  // statement. The flag holds only "S" or "N" (the table checks it), so an item that differed
  // from the flag held the other one.
  const std::string other = flag == "S" ? "N" : "S";
  if (storage.engine() == db::Engine::Postgres) {
    steps.journaledApply = [&](db::Connection& c, int64_t id) {
      db::Sql sql("WITH MUDADOS AS (UPDATE ITEMPRECO SET IDPROMOCAO = ");
      sql.bind(flag, "CAST(? AS CHAR(1))") << " WHERE " << selected << differs
                                           << " RETURNING CDPRODUTO) "
                                              "INSERT INTO ALTERACAOITEM (IDALTERACAO, CDPRODUTO, "
                                              "DSANTES, DSDEPOIS) SELECT ";
      sql.bind(id, "CAST(? AS BIGINT)") << ", CDPRODUTO, ";
      sql.bind(other, "CAST(? AS VARCHAR(50))") << ", ";
      sql.bind(flag, "CAST(? AS VARCHAR(50))") << " FROM MUDADOS";
      return sql.execute(c);
    };
  } else {
    // SQLite: the update marks the items it changes (row_marks.h), with the marking written
    // as its last condition, and the journal is written from the marks.
    steps.journaledApply = [&](db::Connection& c, int64_t id) {
      db::RowMarks& marks = *c.rowMarks();
      marks.clear();
      db::Sql update("UPDATE ITEMPRECO SET IDPROMOCAO = ");
      update.bind(flag) << " WHERE " << selected << " AND vnd_marca(CDPRODUTO, IDPROMOCAO, ";
      update.bind(flag) << ")";
      const int64_t changed = update.execute(c);
      seenSelected = marks.seen();
      if (static_cast<int64_t>(marks.size()) != changed)
        throw StorageError("a alteração marcou " + std::to_string(marks.size()) +
                           " linhas e mudou " + std::to_string(changed));
      db::Sql insert(
          "INSERT INTO ALTERACAOITEM (IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS) SELECT ");
      insert.bind(id) << ", CDPRODUTO, ";
      insert.bind(other) << ", ";
      insert.bind(flag) << " FROM vnd_marcados";
      const int64_t journaled = insert.execute(c);
      marks.clear();
      requireJournaled(journaled, changed, "a alteração");
      return changed;
    };
  }
  runChange(storage, std::move(record), kPromotionColumn, steps);
  return Answer::ok();
}

}  // namespace server::methods
