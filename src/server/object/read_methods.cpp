// The five methods that answer with rows. A code or date that cannot name anything (a branch
// code that is not 4 characters long, a date outside the calendar) gives an empty answer, as
// a code that is not registered does: "not found" is an ordinary answer.

#include "contract/remote_contract.h"
#include "rtl/dates.h"
#include "server/object/access_checks.h"
#include "server/object/answer_date_text.h"
#include "server/object/arg_checks.h"
#include "server/object/methods.h"
#include "server/object/refusal_texts.h"
#include "server/object/refused.h"
#include "server/storage/db/sql.h"
#include "server/storage/storage_error.h"
#include "server/storage/tree_code.h"

namespace server::methods {

namespace {

// Appends the query row, column i to field i.
void appendRow(rtl::DataPacket& packet, const db::Row& row) {
  for (size_t i = 0; i < packet.fieldCount(); ++i) {
    const int column = static_cast<int>(i);
    if (row.isNull(column)) {
      packet.column(i).appendNull();
    } else {
      packet.column(i).appendString(row.text(column));
    }
  }
  packet.commitRow();
}

Answer answerRows(Storage& storage, const db::Sql& sql, rtl::DataPacket packet) {
  auto connection = storage.connection();
  sql.query(*connection, [&](const db::Row& row) { appendRow(packet, row); });
  return Answer::ok(std::move(packet));
}

bool isValidityKey(const std::string& branch, const std::string& table) {
  return hasWidth(branch, 4) && hasWidth(table, 3);
}

// The items of one validity period joined with their products, without the ORDER BY.
db::Sql itemsOf(const char* columns, const std::string& branch, const std::string& table,
                const std::string& start) {
  db::Sql sql("SELECT ");
  sql << columns
      << " FROM ITEMPRECO i JOIN PRODUTO p ON p.CDPRODUTO = i.CDPRODUTO WHERE i.CDFILIAL = ";
  sql.bind(branch) << " AND i.CDTABEPREC = ";
  sql.bind(table) << " AND i.DTINIVGPREC = ";
  sql.bind(start);
  return sql;
}

}  // namespace

// Each answer's columns are the contract's, in its order, filled from the query's columns in
// the same order.

Answer getFilial(Storage& storage, const BranchesCall& call, const CallContext& context) {
  const std::string& code = call.branch;
  // Only "T" means every row; any other flag asks for the one code (a read refuses nothing).
  const bool all = call.all == "T";
  rtl::DataPacket packet = contract::answerPacket(contract::tabe_preco::GetFilial);
  if (!all) requireBranch(context, code);
  if (!all && !hasWidth(code, 4)) return Answer::ok(std::move(packet));
  db::Sql sql(
      "SELECT f.CDFILIAL, f.NMFILIAL, f.CDSEGMER, f.CDSEGMER || ' - ' || s.NMSEGMER, "
      "f.IDPRECDIFCOM, f.CDGRPRODPDV, f.CDGRPRODPDV || ' - ' || g.NMGRPRODPDV, f.IDUTMODPRODFIL "
      "FROM FILIAL f LEFT JOIN SEGMER s ON s.CDSEGMER = f.CDSEGMER "
      "LEFT JOIN GRPRODPDV g ON g.CDGRPRODPDV = f.CDGRPRODPDV");
  if (!all) sql.bind(code, " WHERE f.CDFILIAL = ?");
  sql << " ORDER BY f.CDFILIAL COLLATE \"C\"";
  auto connection = storage.connection();
  sql.query(*connection, [&](const db::Row& row) {
    if (reachesBranch(context, row.text(0))) appendRow(packet, row);
  });
  return Answer::ok(std::move(packet));
}

Answer getTabePrec(Storage& storage, const TablesCall& call) {
  const std::string& branch = call.branch;
  rtl::DataPacket packet = contract::answerPacket(contract::tabe_preco::GetTabePrec);
  if (!hasWidth(branch, 4)) return Answer::ok(std::move(packet));
  db::Sql sql("SELECT CDFILIAL, CDTABEPREC, NMTABEPREC FROM TABEPREC WHERE CDFILIAL = ");
  sql.bind(branch) << " ORDER BY CDTABEPREC COLLATE \"C\"";
  return answerRows(storage, sql, std::move(packet));
}

// The start is a date, or an integer read as a day count the way the client's runtime turns
// an integer into a date (call_binding.h): 0 is 1899-12-30, on which no period starts. With the all
// flag "T" the start is ignored, whatever its kind and value.
Answer getVigencia(Storage& storage, const ValiditiesCall& call) {
  const std::string &branch = call.branch, &table = call.table, &format = call.dateFormat;
  const bool all = call.all == "T";  // as in GetFilial
  // The widest day and month the format can print: if they fit, every date fits.
  if (!formatShortDate(format, 2000, 12, 31)) throw Refused(messages::kBadDateFormat);

  rtl::DataPacket packet = contract::answerPacket(contract::tabe_preco::getVigencia);
  const std::optional<std::string> start = isoDay(call.validityStart);
  if (!isValidityKey(branch, table) || (!all && !start)) return Answer::ok(std::move(packet));

  db::Sql sql("SELECT DTINIVGPREC, DTFINVGPREC FROM TABEVEND WHERE CDFILIAL = ");
  sql.bind(branch) << " AND CDTABEPREC = ";
  sql.bind(table);
  if (!all) sql.bind(*start, " AND DTINIVGPREC = ?");
  sql << " ORDER BY DTINIVGPREC";

  auto asText = [&](std::string_view iso) {
    rtl::TDateTime day;
    if (!rtl::TryParseIsoDate(iso, day))
      throw StorageError("data inválida no banco de dados: " + std::string(iso));
    int y, m, d;
    rtl::DecodeDate(day, y, m, d);
    return *formatShortDate(format, y, m, d);
  };
  auto connection = storage.connection();
  sql.query(*connection, [&](const db::Row& row) {
    packet.column(0).appendString(asText(row.text(0)));
    packet.column(1).appendString(asText(row.text(1)));
    packet.commitRow();
  });
  return Answer::ok(std::move(packet));
}

Answer getAutItemPreco(Storage& storage, const ItemsCall& call) {
  const std::string &branch = call.branch, &table = call.table;
  const std::optional<std::string> start = isoDay(call.validityStart);
  rtl::DataPacket packet = contract::answerPacket(contract::tabe_preco::GetAutItemPreco);
  if (!isValidityKey(branch, table) || !start) return Answer::ok(std::move(packet));
  db::Sql sql = itemsOf("NULL, i.CDPRODUTO, p.CDARVPROD, p.NMPRODUTO", branch, table, *start);
  sql << " ORDER BY p.CDARVPROD COLLATE \"C\"";
  return answerRows(storage, sql, std::move(packet));
}

// Among several products whose tree codes normalise alike, the one whose stored code is the
// normalised text itself wins (found through the unique index); otherwise the first in byte
// order of the stored code.
Answer getProdValid(Storage& storage, const ProductCall& call) {
  const std::string &branch = call.branch, &table = call.table;
  const std::optional<std::string> start = isoDay(call.validityStart);
  const std::string wanted = normalizeTreeCode(call.product);
  rtl::DataPacket packet = contract::answerPacket(contract::tabe_preco::GetProdValid);
  if (!isValidityKey(branch, table) || !start || wanted.empty())
    return Answer::ok(std::move(packet));

  const char* columns = "i.CDPRODUTO, p.CDARVPROD, p.NMPRODUTO";
  db::Sql exact = itemsOf(columns, branch, table, *start);
  exact.bind(wanted, " AND p.CDARVPROD = ?");
  db::Sql normalised = itemsOf(columns, branch, table, *start);
  normalised.bind(wanted, " AND vnd_arvnorm(p.CDARVPROD) = CAST(? AS TEXT)");
  normalised << " ORDER BY p.CDARVPROD COLLATE \"C\" LIMIT 1";

  auto connection = storage.connection();
  exact.query(*connection, [&](const db::Row& row) { appendRow(packet, row); });
  if (packet.rowCount() == 0)
    normalised.query(*connection, [&](const db::Row& row) { appendRow(packet, row); });
  return Answer::ok(std::move(packet));
}

}  // namespace server::methods
