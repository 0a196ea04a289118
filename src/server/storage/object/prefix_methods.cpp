// SetAddPrefixo and SetDelPrefixo: put a text before the names of the selected products, or
// take it off their start. Both take (prefix, first, last, list, all flag), all by reference.
//
// Adding skips names that start with the prefix already, so running it twice changes nothing;
// clearing takes the prefix only from the start of a name, never from inside it. A prefix of
// blanks only changes nothing (the call still succeeds, and is recorded with 0 rows). Adding
// is refused as a whole when a name would pass 50 characters; the message names the product
// with the smallest code among those that would.

#include "server/storage/db/sql.h"
#include "server/storage/object/arg_checks.h"
#include "server/storage/object/change_run.h"
#include "server/storage/object/messages.h"
#include "server/storage/object/methods.h"
#include "server/storage/object/refused.h"
#include "server/storage/object/selection_sql.h"

namespace server::methods {

namespace {

constexpr int kMaxNameChars = 50;

struct PrefixRequest {
  std::string prefix;
  SelectionArgs args;
  Selection selection;
};

PrefixRequest readRequest(const std::vector<Arg>& args) {
  PrefixRequest request{args[0].text, {args[1].text, args[2].text, args[3].text, args[4].text}, {}};
  if (request.prefix.empty()) throw Refused(messages::kPrefixRequired);
  request.selection = parseSelection(request.args);
  return request;
}

ChangeRecord recordOf(const char* method, const CallContext& context,
                      const PrefixRequest& request) {
  ChangeRecord record;
  record.method = method;
  record.client = describeClient(context);
  record.selection = SelectionJson()
                         .add("prefixo", request.prefix)
                         .add("inicial", request.args.first)
                         .add("final", request.args.last)
                         .add("lista", request.args.list)
                         .add("todos", request.args.all)
                         .text();
  return record;
}

// Prefix writers queue behind one another on PostgreSQL, so that the length check and the
// update see the same names; a SQLite writer holds the database already.
void lockProducts(db::Connection& c) {
  if (c.engine() == db::Engine::Postgres) c.run("LOCK TABLE PRODUTO IN SHARE ROW EXCLUSIVE MODE");
}

// "NMPRODUTO starts with the prefix" (characters, exact).
db::Sql startsWithPrefix(const std::string& prefix, bool negate) {
  db::Sql sql;
  sql.bind(prefix, "substr(NMPRODUTO, 1, length(CAST(? AS TEXT)))");
  sql.bind(prefix, negate ? " <> CAST(? AS TEXT)" : " = CAST(? AS TEXT)");
  return sql;
}

}  // namespace

Answer setAddPrefixo(Storage& storage, const CallContext& context, const std::vector<Arg>& args) {
  const PrefixRequest request = readRequest(args);
  const db::Engine engine = storage.engine();
  const bool blank = isBlank(request.prefix);
  const db::Sql selected = productCondition(request.selection, engine, "CDPRODUTO");

  ChangeSteps steps;
  steps.verify = [&](db::Connection& c) {
    lockProducts(c);
    requireListedProducts(c, request.selection);
    if (blank) return;
    db::Sql tooLong("SELECT CDPRODUTO FROM PRODUTO WHERE ");
    tooLong << selected << " AND " << startsWithPrefix(request.prefix, true);
    tooLong.bind(request.prefix, " AND length(CAST(? AS TEXT)) + length(NMPRODUTO) > ");
    tooLong << std::to_string(kMaxNameChars) << " ORDER BY CDPRODUTO COLLATE \"C\" LIMIT 1";
    if (auto code = c.queryText(tooLong.text(), tooLong.params()))
      throw Refused(messages::nameTooLong(*code));
  };
  steps.apply = [&](db::Connection& c) -> int64_t {
    if (blank) return 0;
    db::Sql update("UPDATE PRODUTO SET NMPRODUTO = ");
    update.bind(request.prefix, "CAST(? AS TEXT)")
        << " || NMPRODUTO WHERE " << selected << " AND " << startsWithPrefix(request.prefix, true);
    return update.execute(c);
  };
  runChange(storage, recordOf("SetAddPrefixo", context, request), steps);
  return Answer::ok();
}

Answer setDelPrefixo(Storage& storage, const CallContext& context, const std::vector<Arg>& args) {
  const PrefixRequest request = readRequest(args);
  const bool blank = isBlank(request.prefix);
  const db::Sql selected = productCondition(request.selection, storage.engine(), "CDPRODUTO");

  ChangeSteps steps;
  steps.verify = [&](db::Connection& c) {
    lockProducts(c);
    requireListedProducts(c, request.selection);
  };
  steps.apply = [&](db::Connection& c) -> int64_t {
    if (blank) return 0;
    db::Sql update("UPDATE PRODUTO SET NMPRODUTO = ");
    update.bind(request.prefix, "substr(NMPRODUTO, length(CAST(? AS TEXT)) + 1)")
        << " WHERE " << selected << " AND " << startsWithPrefix(request.prefix, false);
    return update.execute(c);
  };
  runChange(storage, recordOf("SetDelPrefixo", context, request), steps);
  return Answer::ok();
}

}  // namespace server::methods
