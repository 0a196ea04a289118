// SetAddPrefixo and SetDelPrefixo: put a text before the names of the selected products, or
// take it off their start. Both take (prefix, first, last, list, all flag), all by reference.
//
// Adding skips names that start with the prefix already, so running it twice changes nothing;
// clearing takes the prefix only from the start of a name, never from inside it. Names left
// as they are count as unchanged in the journal. A prefix of blanks only changes nothing (the
// call still succeeds, and is recorded with 0 rows changed). Adding is refused as a whole when
// a name would pass 50 characters; the message names the product with the smallest code among
// those that would.
//
// Names are not per validity: every prefix change (and every restore of one) takes the same
// lock, so they run one after the other across all server processes of the database. The
// promotion update that follows a prefix change on its connection may complete it, or take it
// back (prefix_link.h).

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

namespace server::methods {

namespace {

constexpr int kMaxNameChars = 50;

struct PrefixRequest {
  const PrefixCall& call;
  Selection selection;
};

PrefixRequest readRequest(const PrefixCall& call) {
  if (call.prefix.empty()) throw Refused(messages::kPrefixRequired);
  return {call, parseSelection(selectionTexts(call))};
}

ChangeRecord recordOf(std::string_view method, const CallContext& context,
                      const PrefixRequest& request) {
  ChangeRecord record = changeRecord(method, context);
  const PrefixCall& call = request.call;
  record.selection = nlohmann::ordered_json{
      {"prefixo", call.prefix},
      {"inicial", call.first},
      {"final", call.last},
      {"lista", call.list},
      {"todos",
       call.all}}.dump();
  return record;
}

// "NMPRODUTO starts with the prefix" (characters, exact).
db::Sql startsWithPrefix(const std::string& prefix, bool negate) {
  db::Sql sql;
  sql.bind(prefix, "substr(NMPRODUTO, 1, length(CAST(? AS TEXT)))");
  sql.bind(prefix, negate ? " <> CAST(? AS TEXT)" : " = CAST(? AS TEXT)");
  return sql;
}

// The journal of a prefix change: the selected products the condition `changes` picks, with
// their name before and after (`after` an SQL expression over NMPRODUTO).
int64_t journalNames(db::Connection& c, int64_t id, const db::Sql& selected, const db::Sql& changes,
                     const db::Sql& after) {
  db::Sql insert("INSERT INTO ALTERACAOITEM (IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS) SELECT ");
  insert.bind(id, "CAST(? AS BIGINT)") << ", CDPRODUTO, NMPRODUTO, " << after
                                       << " FROM PRODUTO WHERE " << selected << " AND " << changes;
  return insert.execute(c);
}

// The selected products for which `also` holds (all of them without it). Every listed code is
// a product (verified), each listed once: a list needs no query.
int64_t countProducts(db::Connection& c, const Selection& selection, int64_t changing,
                      const db::Sql& selected, const db::Sql* also) {
  if (selection.mode == Selection::Mode::List)
    return static_cast<int64_t>(selection.codes.size()) - changing;
  db::Sql count("SELECT COUNT(*) FROM PRODUTO WHERE ");
  count << selected;
  if (also) count << " AND " << *also;
  return c.queryInteger(count.text(), count.params()).value_or(0);
}

}  // namespace

Answer setAddPrefixo(Storage& storage, const PrefixCall& call, const CallContext& context) {
  const PrefixRequest request = readRequest(call);
  const bool blank = isBlank(call.prefix);
  db::Sql selected = productCondition(request.selection, storage.engine(), "CDPRODUTO");
  const db::Sql lacking = startsWithPrefix(call.prefix, true);
  const db::Sql having = startsWithPrefix(call.prefix, false);
  db::Sql prefixed;
  prefixed.bind(call.prefix, "CAST(? AS TEXT)") << " || NMPRODUTO";

  ChangeSteps steps;
  steps.verify = [&](db::Connection& c) {
    lockProductNames(c);
    requireListedProducts(c, request.selection);
    if (blank) return;
    selected = gatheredProductCondition(c, request.selection, "CDPRODUTO");
    db::Sql tooLong("SELECT CDPRODUTO FROM PRODUTO WHERE ");
    tooLong << selected << " AND " << lacking;
    tooLong.bind(call.prefix, " AND length(CAST(? AS TEXT)) + length(NMPRODUTO) > ");
    tooLong << std::to_string(kMaxNameChars) << " ORDER BY CDPRODUTO COLLATE \"C\" LIMIT 1";
    if (auto code = c.queryText(tooLong.text(), tooLong.params()))
      throw Refused(messages::nameTooLong(*code));
  };
  steps.unchanged = [&](db::Connection& c, int64_t changing) {
    return countProducts(c, request.selection, changing, selected, blank ? nullptr : &having);
  };
  steps.journal = [&](db::Connection& c, int64_t id) -> int64_t {
    return blank ? 0 : journalNames(c, id, selected, lacking, prefixed);
  };
  steps.apply = [&](db::Connection& c) -> int64_t {
    if (blank) return 0;
    db::Sql update("UPDATE PRODUTO SET NMPRODUTO = ");
    update << prefixed << " WHERE " << selected << " AND " << lacking;
    return update.execute(c);
  };
  const ChangeCounts counts =
      runChange(storage, recordOf(contract::tabe_preco::SetAddPrefixo.name, context, request),
                kNameColumn, steps);
  PrefixLink::remember(context, storage, counts.id, selectionTexts(call));
  return Answer::ok();
}

Answer setDelPrefixo(Storage& storage, const PrefixCall& call, const CallContext& context) {
  const PrefixRequest request = readRequest(call);
  const bool blank = isBlank(call.prefix);
  db::Sql selected = productCondition(request.selection, storage.engine(), "CDPRODUTO");
  const db::Sql lacking = startsWithPrefix(call.prefix, true);
  const db::Sql having = startsWithPrefix(call.prefix, false);
  db::Sql cleared;
  cleared.bind(call.prefix, "substr(NMPRODUTO, length(CAST(? AS TEXT)) + 1)");

  ChangeSteps steps;
  steps.verify = [&](db::Connection& c) {
    lockProductNames(c);
    requireListedProducts(c, request.selection);
    if (!blank) selected = gatheredProductCondition(c, request.selection, "CDPRODUTO");
  };
  steps.unchanged = [&](db::Connection& c, int64_t changing) {
    return countProducts(c, request.selection, changing, selected, blank ? nullptr : &lacking);
  };
  steps.journal = [&](db::Connection& c, int64_t id) -> int64_t {
    return blank ? 0 : journalNames(c, id, selected, having, cleared);
  };
  steps.apply = [&](db::Connection& c) -> int64_t {
    if (blank) return 0;
    db::Sql update("UPDATE PRODUTO SET NMPRODUTO = ");
    update << cleared << " WHERE " << selected << " AND " << having;
    return update.execute(c);
  };
  const ChangeCounts counts =
      runChange(storage, recordOf(contract::tabe_preco::SetDelPrefixo.name, context, request),
                kNameColumn, steps);
  PrefixLink::remember(context, storage, counts.id, selectionTexts(call));
  return Answer::ok();
}

}  // namespace server::methods
