#include "test_database.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

namespace servertest {
namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The URI of another database on the same server as `uri`.
std::string withDatabase(const std::string& uri, const std::string& name) {
  const size_t scheme = uri.find("://");
  const size_t path = uri.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  const size_t query = uri.find('?', path == std::string::npos ? 0 : path);
  const std::string base = path == std::string::npos ? uri.substr(0, query) : uri.substr(0, path);
  return base + "/" + name + (query == std::string::npos ? "" : uri.substr(query));
}

PGconn* connectPg(const std::string& uri) {
  PGconn* conn = PQconnectdb(uri.c_str());
  if (PQstatus(conn) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(conn);
    PQfinish(conn);
    throw std::runtime_error("cannot connect to " + uri + ": " + message);
  }
  return conn;
}

std::string pgScalar(PGconn* conn, const std::string& sql) {
  PGresult* result = PQexec(conn, sql.c_str());
  const auto status = PQresultStatus(result);
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
    const std::string message = PQresultErrorMessage(result);
    PQclear(result);
    throw std::runtime_error("PostgreSQL: " + message + " in: " + sql);
  }
  std::string value;
  if (status == PGRES_TUPLES_OK && PQntuples(result) > 0 && !PQgetisnull(result, 0, 0))
    value = PQgetvalue(result, 0, 0);
  PQclear(result);
  return value;
}

}  // namespace

const char* engineName(Engine engine) {
  return engine == Engine::Sqlite ? "SQLite" : "PostgreSQL";
}

struct TestDatabase::Connection {
  sqlite3* sqlite = nullptr;
  PGconn* pg = nullptr;
  ~Connection() {
    if (sqlite) sqlite3_close_v2(sqlite);
    if (pg) PQfinish(pg);
  }
};

TestDatabase::TestDatabase(Engine engine)
    : engine_(engine), connection_(std::make_unique<Connection>()) {
  if (engine == Engine::Sqlite) {
    target_ = dir_.file("vnd42400.db");
    return;
  }
  adminUri_ = env("VND_PG_ADMIN_URI");
  if (adminUri_.empty() || env("VND_PG_URI").empty())
    throw std::runtime_error(
        "VND_PG_URI and VND_PG_ADMIN_URI are not set: the PostgreSQL tests need a server; run "
        "them under scripts/with-postgres (e.g. scripts/with-postgres ctest ...)");
  static std::atomic<int> counter{0};
  name_ = "vnd_net_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
  PGconn* admin = connectPg(adminUri_);
  try {
    pgScalar(admin, "CREATE DATABASE " + name_);
  } catch (...) {
    PQfinish(admin);
    throw;
  }
  PQfinish(admin);
  target_ = withDatabase(adminUri_, name_);
}

TestDatabase::~TestDatabase() {
  connection_.reset();
  if (engine_ != Engine::Postgres || name_.empty()) return;
  try {
    PGconn* admin = connectPg(adminUri_);
    pgScalar(admin, "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    PQfinish(admin);
  } catch (...) {
  }
}

std::string TestDatabase::scalar(const std::string& sql) {
  if (engine_ == Engine::Postgres) {
    if (!connection_->pg) connection_->pg = connectPg(target_);
    return pgScalar(connection_->pg, sql);
  }
  if (!connection_->sqlite) {
    if (sqlite3_open_v2(target_.c_str(), &connection_->sqlite, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
      throw std::runtime_error("cannot open " + target_);
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection_->sqlite, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(connection_->sqlite) +
                             " in: " + sql);
  std::string value;
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL)
    value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  const bool failed = rc != SQLITE_ROW && rc != SQLITE_DONE;
  const std::string message = failed ? sqlite3_errmsg(connection_->sqlite) : "";
  sqlite3_finalize(statement);
  if (failed) throw std::runtime_error("SQLite: " + message + " in: " + sql);
  return value;
}

bool TestDatabase::writerActive() {
  if (engine_ == Engine::Postgres)
    return scalar(
               "SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
               "AND pid <> pg_backend_pid() AND backend_xid IS NOT NULL") != "0";
  scalar("SELECT 1");  // opens the connection
  sqlite3_busy_timeout(connection_->sqlite, 0);
  char* error = nullptr;
  const int rc = sqlite3_exec(connection_->sqlite, "BEGIN IMMEDIATE", nullptr, nullptr, &error);
  sqlite3_free(error);
  if (rc == SQLITE_OK) {
    sqlite3_exec(connection_->sqlite, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) return true;
  throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(connection_->sqlite));
}

bool TestDatabase::otherSessions() {
  if (engine_ != Engine::Postgres) return false;
  return scalar(
             "SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
             "AND pid <> pg_backend_pid()") != "0";
}

}  // namespace servertest
