#include "direct_sql.h"

#include <stdexcept>

#include "rpc/server_codec.h"
#include "server/storage/db/sql.h"
#include "server/storage/selection_sql.h"

namespace bench {
namespace {

constexpr const char* kItems =
    " FROM ITEMPRECO i JOIN PRODUTO p ON p.CDPRODUTO = i.CDPRODUTO WHERE i.CDFILIAL = ? AND "
    "i.CDTABEPREC = ? AND i.DTINIVGPREC = ?";

}  // namespace

size_t pointQuery(server::Storage& storage, const Validity& v, const std::string& treeCode) {
  static const std::string sql =
      std::string("SELECT i.CDPRODUTO, p.CDARVPROD, p.NMPRODUTO") + kItems + " AND p.CDARVPROD = ?";
  size_t rows = 0;
  auto connection = storage.connection();
  connection->query(sql, {v.branch, v.table, v.startIso, treeCode},
                    [&](const server::db::Row&) { ++rows; });
  return rows;
}

namespace {

const std::string& itemListText() {
  static const std::string sql = std::string("SELECT NULL, i.CDPRODUTO, p.CDARVPROD, p.NMPRODUTO") +
                                 kItems + " ORDER BY p.CDARVPROD COLLATE \"C\"";
  return sql;
}

}  // namespace

size_t itemListSql(server::Storage& storage, const Validity& v) {
  size_t bytes = 0;
  auto connection = storage.connection();
  connection->query(itemListText(), {v.branch, v.table, v.startIso},
                    [&](const server::db::Row& row) {
                      for (int c = 1; c < 4; ++c) bytes += row.text(c).size();
                    });
  return bytes;
}

size_t itemListEncoded(server::Storage& storage, const Validity& v, rpc::OutBuffer& out) {
  rtl::DataPacket packet({{"IDMARCADO", rtl::FieldType::String, 1},
                          {"CDPRODUTO", rtl::FieldType::String, 10},
                          {"CDARVPROD", rtl::FieldType::String, 20},
                          {"NMPRODUTO", rtl::FieldType::String, 50}});
  {
    auto connection = storage.connection();
    connection->query(itemListText(), {v.branch, v.table, v.startIso},
                      [&](const server::db::Row& row) {
                        packet.column(0).appendNull();
                        for (int c = 1; c < 4; ++c) packet.column(c).appendString(row.text(c));
                        packet.commitRow();
                      });
  }
  out.clear();
  rpc::encodeAnswer(out, 1, 0, "", &packet);
  return out.size();
}

int64_t updateItems(server::Storage& storage, const Validity& v, const std::string& flag,
                    const server::SelectionTexts& texts) {
  const server::Selection selection = server::parseSelection(texts);
  const server::ValidityKey key{v.branch, v.table, v.startIso};
  auto connection = storage.connection();
  server::db::Transaction transaction(*connection, server::db::TxMode::Write);
  server::requireListedItems(*connection, selection, key);
  server::db::Sql update("UPDATE ITEMPRECO SET IDPROMOCAO = ");
  update.bind(flag, "CAST(? AS CHAR(1))") << " WHERE CDFILIAL = ";
  update.bind(v.branch) << " AND CDTABEPREC = ";
  update.bind(v.table) << " AND DTINIVGPREC = ";
  update.bind(v.startIso) << " AND "
                          << server::productCondition(selection, connection->engine(), "CDPRODUTO");
  const int64_t changed = update.execute(*connection);
  transaction.commit();
  return changed;
}

}  // namespace bench
