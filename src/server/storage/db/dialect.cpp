#include "server/storage/db/dialect.h"

namespace server::db {

std::string jsonTextList(Engine engine) {
  if (engine == Engine::Sqlite) return "SELECT value FROM json_each(?)";
  return "SELECT value FROM json_array_elements_text(CAST(? AS json)) AS t(value)";
}

std::string jsonRowsSource(Engine engine, int columns) {
  std::string sql = "SELECT ";
  for (int i = 0; i < columns; ++i) {
    const std::string n = std::to_string(i);
    if (i) sql += ", ";
    sql += engine == Engine::Sqlite ? "json_extract(value, '$[" + n + "]') AS c" + n
                                    : "value->>" + n + " AS c" + n;
  }
  sql += engine == Engine::Sqlite ? " FROM json_each(?)"
                                  : " FROM json_array_elements(CAST(? AS json)) AS t(value)";
  return sql;
}

const char* dateParam(Engine engine) {
  return engine == Engine::Sqlite ? "?" : "CAST(? AS date)";
}

const char* forUpdate(Engine engine) {
  return engine == Engine::Sqlite ? "" : " FOR NO KEY UPDATE";
}

void preferCustomPlans(Connection& c) {
  if (c.engine() == Engine::Postgres) c.run("SET LOCAL plan_cache_mode = force_custom_plan");
}

}  // namespace server::db
