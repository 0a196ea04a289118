// SetUpdItemPrecoAlt: puts the selected items of one validity period into the promotion
// ("S") or takes them out ("N"). Arguments: promotion flag, first, last, list, all flag (by
// reference); product packet or null; list mode; branch; price table; validity start.
//
// The products come from the selection texts alone: in list mode from the list (argument 4);
// the packet may hold rows of earlier attempts and is not read. The list-mode Boolean must
// agree with the selection (True exactly when the list is the way filled in).

#include "server/storage/db/dialect.h"
#include "server/storage/db/sql.h"
#include "server/storage/object/arg_checks.h"
#include "server/storage/object/change_run.h"
#include "server/storage/object/messages.h"
#include "server/storage/object/methods.h"
#include "server/storage/object/refused.h"
#include "server/storage/object/selection_sql.h"

namespace server::methods {

namespace {

// The validity period exists, checked from the branch down so that the message names what
// is missing. On PostgreSQL its row stays locked until the end of the change, so that two
// changes of one period run one after the other.
void requireValidity(db::Connection& c, const ValidityKey& key) {
  if (!c.queryInteger("SELECT 1 FROM FILIAL WHERE CDFILIAL = ?", {key.branch}))
    throw Refused(messages::kBranchNotFound);
  if (!c.queryInteger("SELECT 1 FROM TABEPREC WHERE CDFILIAL = ? AND CDTABEPREC = ?",
                      {key.branch, key.table}))
    throw Refused(messages::kTableNotFound);
  const std::string sql = std::string(
                              "SELECT 1 FROM TABEVEND WHERE CDFILIAL = ? AND CDTABEPREC = ? AND "
                              "DTINIVGPREC = ?") +
                          db::forUpdate(c.engine());
  if (!c.queryInteger(sql, {key.branch, key.table, key.start}))
    throw Refused(messages::kValidityNotFound);
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

  const db::Sql selected = productCondition(selection, storage.engine(), "CDPRODUTO");
  ChangeSteps steps;
  steps.verify = [&](db::Connection& c) {
    requireValidity(c, key);
    requireListedItems(c, selection, key);
  };
  steps.apply = [&](db::Connection& c) {
    db::Sql update("UPDATE ITEMPRECO SET IDPROMOCAO = ");
    update.bind(flag, "CAST(? AS CHAR(1))") << " WHERE CDFILIAL = ";
    update.bind(key.branch) << " AND CDTABEPREC = ";
    update.bind(key.table) << " AND DTINIVGPREC = ";
    update.bind(key.start) << " AND " << selected;
    return update.execute(c);
  };
  runChange(storage, std::move(record), steps);
  return Answer::ok();
}

}  // namespace server::methods
