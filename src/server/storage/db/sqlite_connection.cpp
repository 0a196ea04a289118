#include "server/storage/db/sqlite_connection.h"

#include <sqlite3.h>

#include <cstring>

#include "server/storage/db/sqlite_marks.h"
#include "server/storage/tree_code.h"

namespace server::db {

namespace {

// vnd_arvnorm(text): the product tree code reduced to its ASCII letters and digits.
void arvNorm(sqlite3_context* context, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const int bytes = sqlite3_value_bytes(argv[0]);
  const std::string normal =
      normalizeTreeCode(std::string_view(text ? text : "", static_cast<size_t>(bytes)));
  sqlite3_result_text(context, normal.data(), static_cast<int>(normal.size()), SQLITE_TRANSIENT);
}

// Collation "C": unsigned byte order, the same name and meaning as PostgreSQL's.
int byteOrder(void*, int lengthA, const void* a, int lengthB, const void* b) {
  const int common = lengthA < lengthB ? lengthA : lengthB;
  const int c = std::memcmp(a, b, static_cast<size_t>(common));
  if (c != 0) return c;
  return lengthA < lengthB ? -1 : lengthA > lengthB ? 1 : 0;
}

class SqliteRow : public Row {
 public:
  explicit SqliteRow(sqlite3_stmt* statement) : statement_(statement) {}
  int columnCount() const override { return sqlite3_column_count(statement_); }
  bool isNull(int column) const override {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
  }
  std::string_view text(int column) const override {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (!data) return {};
    return {data, static_cast<size_t>(sqlite3_column_bytes(statement_, column))};
  }
  int64_t integer(int column) const override { return sqlite3_column_int64(statement_, column); }

 private:
  sqlite3_stmt* statement_;
};

// Resets a statement when the step loop ends, however it ends, so that it releases its read
// snapshot and can be bound again.
struct ResetOnExit {
  sqlite3_stmt* statement;
  ~ResetOnExit() {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
  }
};

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, std::chrono::milliseconds lockWait) {
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  // A library built to read URI file names would take "file:..." as one; keep it a path.
  const std::string name = path.rfind("file:", 0) == 0 ? "./" + path : path;
  if (sqlite3_open_v2(name.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw StorageError("SQLite: não foi possível abrir '" + path + "': " + message);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, static_cast<int>(lockWait.count()));
  try {
    run("PRAGMA foreign_keys = ON");
    // WAL lets readers go on while one writer commits; a memory database keeps "memory".
    run("PRAGMA journal_mode = WAL");
    run("PRAGMA synchronous = NORMAL");
    const int fnFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (sqlite3_create_function(db_, "vnd_arvnorm", 1, fnFlags, nullptr, arvNorm, nullptr,
                                nullptr) != SQLITE_OK ||
        sqlite3_create_collation(db_, "C", SQLITE_UTF8, nullptr, byteOrder) != SQLITE_OK ||
        !registerRowMarks(db_, &marks_))
      fail("registro de funções");
  } catch (...) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw;
  }
}

SqliteConnection::~SqliteConnection() {
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  sqlite3_close_v2(db_);
}

void SqliteConnection::fail(std::string_view what) const {
  const std::string message = "SQLite: " + std::string(what) + ": " + sqlite3_errmsg(db_);
  // BUSY once the busy timeout ran out: another connection holds the write lock.
  const int code = sqlite3_errcode(db_) & 0xFF;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) throw LockTimeout(message);
  throw StorageError(message);
}

void SqliteConnection::run(std::string_view sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) !=
      SQLITE_OK)
    fail(sql);
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) fail(sql);
}

sqlite3_stmt* SqliteConnection::prepared(std::string_view sql, const Params& params) {
  auto found = statements_.find(std::string(sql));
  sqlite3_stmt* statement;
  if (found != statements_.end()) {
    statement = found->second;
  } else {
    if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &statement, nullptr) != SQLITE_OK)
      fail(sql);
    statements_.emplace(std::string(sql), statement);
  }
  if (sqlite3_bind_parameter_count(statement) != static_cast<int>(params.size()))
    throw StorageError("SQLite: número de parâmetros errado em: " + std::string(sql));
  for (size_t i = 0; i < params.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    int rc;
    if (const auto* text = std::get_if<std::string>(&params[i])) {
      rc = sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                             SQLITE_STATIC);
    } else if (const auto* number = std::get_if<int64_t>(&params[i])) {
      rc = sqlite3_bind_int64(statement, index, *number);
    } else {
      rc = sqlite3_bind_null(statement, index);
    }
    if (rc != SQLITE_OK) {
      sqlite3_clear_bindings(statement);
      fail(sql);
    }
  }
  return statement;
}

int64_t SqliteConnection::execute(std::string_view sql, const Params& params) {
  sqlite3_stmt* statement = prepared(sql, params);
  ResetOnExit reset{statement};
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) fail(sql);
  return sqlite3_changes64(db_);
}

void SqliteConnection::query(std::string_view sql, const Params& params, const RowHandler& onRow) {
  sqlite3_stmt* statement = prepared(sql, params);
  ResetOnExit reset{statement};
  SqliteRow row(statement);
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) onRow(row);
  if (rc != SQLITE_DONE) fail(sql);
}

void SqliteConnection::begin(TxMode mode) {
  // A writer takes the write lock before reading, so two writers never deadlock on a lock
  // upgrade; the busy timeout makes the second one wait.
  execute(mode == TxMode::Write ? "BEGIN IMMEDIATE" : "BEGIN", {});
}

void SqliteConnection::commit() {
  try {
    execute("COMMIT", {});
  } catch (...) {
    rollback();  // a COMMIT that failed may leave the transaction open
    throw;
  }
}

void SqliteConnection::rollback() noexcept {
  if (!db_ || sqlite3_get_autocommit(db_)) return;
  if (sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK) {
    // The session can no longer be trusted to be outside a transaction.
    for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
    statements_.clear();
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

}  // namespace server::db
