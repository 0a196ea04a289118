// SetUpdItemPrecoAlt: puts the selected items of one validity period into the promotion
// ("S") or takes them out ("N"). Arguments: promotion flag, first, last, list, all flag (by
// reference); product packet or null; list mode; branch; price table; validity start.
//
// The products come from the selection texts alone: in list mode from the list (argument 4);
// the packet may hold rows of earlier attempts and is not read. The list-mode Boolean must
// agree with the selection (True exactly when the list is the way filled in). Items in the
// requested state already are left as they are and counted as unchanged. Right after a prefix
// change of the same selection on the same connection, the update completes it, or takes it
// back when refused (prefix_link.h).

#include <nlohmann/json.hpp>

#include "server/object/arg_checks.h"
#include "server/object/change_run.h"
#include "server/object/methods.h"
#include "server/object/prefix_link.h"
#include "server/object/refusal_texts.h"
#include "server/object/refused.h"
#include "server/object/selection.h"
#include "server/storage/db/sql.h"
#include "server/storage/locks.h"
#include "server/storage/promotion_update.h"

namespace server::methods {

namespace {

// The validity period exists, checked from the branch down so that the message names what
// is missing; it stays locked until the end of the change (storage/locks.h).
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

// The update; `link`, when set, is the prefix change it completes.
Answer updatePromotion(Storage& storage, const PromotionCall& call, const CallContext& context,
                       PrefixLink* link) {
  const std::string& flag = call.promotion;
  if (flag != "S" && flag != "N") throw Refused(messages::kBadPromotionFlag);
  const Selection selection = parseSelection(selectionTexts(call));
  const bool listSelected = selection.mode == Selection::Mode::List;
  if (call.listMode && !listSelected) throw Refused(messages::kListModeWithoutList);
  if (!call.listMode && listSelected) throw Refused(messages::kListOutsideListMode);
  // Codes of another width and dates outside the calendar name nothing that exists.
  if (!hasWidth(call.branch, 4)) throw Refused(messages::kBranchNotFound);
  if (!hasWidth(call.table, 3)) throw Refused(messages::kTableNotFound);
  const std::optional<std::string> start = isoDay(call.validityStart);
  if (!start) throw Refused(messages::kValidityNotFound);
  const ValidityKey key{call.branch, call.table, *start};

  ChangeRecord record = changeRecord(contract::tabe_preco::SetUpdItemPrecoAlt.name, context);
  record.branch = key.branch;
  record.table = key.table;
  record.start = key.start;
  record.selection = nlohmann::ordered_json{{"promocao", flag},   {"inicial", call.first},
                                            {"final", call.last}, {"lista", call.list},
                                            {"todos", call.all},  {"modoLista", call.listMode}}
                         .dump();

  // The selected items of the validity, worked out in `verify` inside the change's
  // transaction.
  db::Sql selected;
  ChangeSteps steps;
  steps.verify = [&](db::Connection& c) {
    requireValidity(c, key);
    requireListedItems(c, selection, key);
    selected = itemsOf(key, gatheredProductCondition(c, selection, "CDPRODUTO"));
  };
  // The selected items less those about to change. Every listed code is an item of the
  // validity (verified), each listed once; SQLite's journaled update counts the selected items
  // as it goes; otherwise the count reads the key only.
  std::optional<int64_t> seenSelected;
  steps.unchanged = [&](db::Connection& c, int64_t changing) -> int64_t {
    if (listSelected) return static_cast<int64_t>(selection.codes.size()) - changing;
    if (seenSelected) return *seenSelected - changing;
    const db::Sql count = db::Sql("SELECT COUNT(*) FROM ITEMPRECO WHERE ") << selected;
    return c.queryInteger(count.text(), count.params()).value_or(0) - changing;
  };
  steps.apply = [&](db::Connection& c) {
    db::Sql update("UPDATE ITEMPRECO SET IDPROMOCAO = ");
    update.bind(flag, "CAST(? AS CHAR(1))") << " WHERE " << selected;
    update.bind(flag, " AND IDPROMOCAO <> CAST(? AS CHAR(1))");
    return update.execute(c);
  };
  steps.journaledApply = [&](db::Connection& c, int64_t id) {
    const PromotionUpdate update = setPromotionJournaled(c, selected, flag, id);
    seenSelected = update.selected;
    return update.changed;
  };
  if (link) link->join(record, steps);
  runChange(storage, std::move(record), kPromotionColumn, steps);
  return Answer::ok();
}

}  // namespace

Answer setUpdItemPrecoAlt(Storage& storage, const PromotionCall& call, const CallContext& context) {
  std::optional<PrefixLink> link = PrefixLink::of(context, selectionTexts(call));
  if (!link) return updatePromotion(storage, call, context, nullptr);
  return link->run(storage, [&] { return updatePromotion(storage, call, context, &*link); });
}

}  // namespace server::methods
