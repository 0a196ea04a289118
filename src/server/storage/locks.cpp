#include "server/storage/locks.h"

#include "server/storage/db/dialect.h"

namespace server {

bool lockValidity(db::Connection& c, const ValidityKey& key) {
  const std::string sql =
      std::string(
          "SELECT 1 FROM TABEVEND WHERE CDFILIAL = ? AND CDTABEPREC = ? AND DTINIVGPREC = ?") +
      db::forUpdate(c.engine());
  return c.queryInteger(sql, {key.branch, key.table, key.start}).has_value();
}

void lockProductNames(db::Connection& c) {
  if (c.engine() == db::Engine::Postgres) c.run("LOCK TABLE PRODUTO IN SHARE ROW EXCLUSIVE MODE");
}

}  // namespace server
