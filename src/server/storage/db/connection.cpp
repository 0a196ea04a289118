#include "server/storage/db/connection.h"

namespace server::db {

std::optional<std::string> Connection::queryText(std::string_view sql, const Params& params) {
  std::optional<std::string> value;
  query(sql, params, [&](const Row& row) {
    if (!value && !row.isNull(0)) value = std::string(row.text(0));
  });
  return value;
}

std::optional<int64_t> Connection::queryInteger(std::string_view sql, const Params& params) {
  std::optional<int64_t> value;
  query(sql, params, [&](const Row& row) {
    if (!value && !row.isNull(0)) value = row.integer(0);
  });
  return value;
}

Transaction::Transaction(Connection& connection, TxMode mode) : connection_(connection) {
  connection_.begin(mode);
}

Transaction::~Transaction() {
  if (open_) connection_.rollback();
}

void Transaction::commit() {
  open_ = false;  // a failed COMMIT has ended the transaction too
  connection_.commit();
}

}  // namespace server::db
