#include "server/storage/selection_sql.h"

#include <unordered_set>

#include <nlohmann/json.hpp>

#include "server/storage/db/dialect.h"

namespace server {

namespace {

// Above this many products a gathered range is tested row by row rather than sought.
constexpr int64_t kSeekingLimit = 2000;

// The listed codes as CHAR(10) values: on PostgreSQL a CHAR compared with TEXT would lose its
// trailing blanks, which are part of the code.
db::Sql listedCodes(const Selection& selection, db::Engine engine) {
  db::Sql sql("SELECT CAST(value AS CHAR(10)) FROM (");
  const std::string source = db::jsonTextList(engine);
  const size_t mark = source.find('?');
  sql << std::string_view(source).substr(0, mark);
  sql.bind(nlohmann::json(selection.codes).dump());
  sql << std::string_view(source).substr(mark + 1) << ") AS lista";
  return sql;
}

// The products of the range, as a condition on PRODUTO.
db::Sql inRange(const Selection& selection) {
  db::Sql sql("vnd_arvnorm(CDARVPROD) COLLATE \"C\" BETWEEN ");
  sql.bind(selection.first, "CAST(? AS TEXT)") << " AND ";
  sql.bind(selection.last, "CAST(? AS TEXT)");
  return sql;
}

// The first code of the list that `found` does not hold.
std::optional<std::string> firstNotIn(const Selection& selection,
                                      const std::unordered_set<std::string>& found) {
  for (const std::string& code : selection.codes)
    if (!found.count(code)) return code;
  return std::nullopt;
}

}  // namespace

db::Sql productCondition(const Selection& selection, db::Engine engine,
                         std::string_view codeColumn) {
  db::Sql sql;
  switch (selection.mode) {
    case Selection::Mode::All:
      sql << "1 = 1";
      break;
    case Selection::Mode::List:
      sql << codeColumn << " IN (" << listedCodes(selection, engine) << ")";
      break;
    case Selection::Mode::Range:
      sql << codeColumn << " IN (SELECT CDPRODUTO FROM PRODUTO WHERE " << inRange(selection) << ")";
      break;
  }
  return sql;
}

db::Sql gatheredProductCondition(db::Connection& c, const Selection& selection,
                                 std::string_view codeColumn) {
  if (selection.mode != Selection::Mode::Range || c.engine() != db::Engine::Sqlite)
    return productCondition(selection, c.engine(), codeColumn);
  // The table lives as long as the connection; each change empties it first, inside its own
  // transaction, so no change ever reads another's products.
  c.run(
      "CREATE TEMP TABLE IF NOT EXISTS SELECAOPRODUTO (CDPRODUTO TEXT PRIMARY KEY) WITHOUT ROWID");
  c.run("DELETE FROM temp.SELECAOPRODUTO");
  db::Sql gather("INSERT INTO temp.SELECAOPRODUTO SELECT CDPRODUTO FROM PRODUTO WHERE ");
  gather << inRange(selection);
  const int64_t gathered = gather.execute(c);
  // A few products are best found through the statement's index on the code, one seek each;
  // many are best tested one by one while the statement reads its rows in index order (the
  // unary plus keeps SQLite from seeking).
  db::Sql sql;
  sql << (gathered > kSeekingLimit ? "+" : "") << codeColumn
      << " IN (SELECT CDPRODUTO FROM temp.SELECAOPRODUTO)";
  return sql;
}

std::optional<std::string> firstMissingProduct(db::Connection& c, const Selection& selection) {
  if (selection.mode != Selection::Mode::List) return std::nullopt;
  db::Sql sql("SELECT CDPRODUTO FROM PRODUTO WHERE ");
  sql << productCondition(selection, c.engine(), "CDPRODUTO");
  std::unordered_set<std::string> found;
  sql.query(c, [&](const db::Row& row) { found.emplace(row.text(0)); });
  return firstNotIn(selection, found);
}

std::optional<std::string> firstMissingItem(db::Connection& c, const Selection& selection,
                                            const ValidityKey& key) {
  if (selection.mode != Selection::Mode::List) return std::nullopt;
  db::Sql sql("SELECT CDPRODUTO FROM ITEMPRECO WHERE CDFILIAL = ");
  sql.bind(key.branch) << " AND CDTABEPREC = ";
  sql.bind(key.table) << " AND DTINIVGPREC = ";
  sql.bind(key.start) << " AND " << productCondition(selection, c.engine(), "CDPRODUTO");
  std::unordered_set<std::string> found;
  sql.query(c, [&](const db::Row& row) { found.emplace(row.text(0)); });
  return firstNotIn(selection, found);
}

}  // namespace server
