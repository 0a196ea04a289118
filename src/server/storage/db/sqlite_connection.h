#pragma once
// A connection to one SQLite file (or a private in-memory database for ":memory:"). Opening
// sets the session up for this server: write-ahead log with synchronous=NORMAL (a commit is
// durable against a process kill and all-or-none after a power loss, where the last commits
// may be lost), foreign keys on, a busy timeout so that writers queue instead of failing (up to
// `lockWait`, then LockTimeout), and the SQL helpers the queries use (vnd_arvnorm, collation
// "C", the row marks of row_marks.h). Not thread-safe: one thread at a time, as the pool
// guarantees.

#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>

#include "server/storage/db/connection.h"
#include "server/storage/db/row_marks.h"

struct sqlite3;
struct sqlite3_stmt;

namespace server::db {

class SqliteConnection : public Connection {
 public:
  // Opens or creates the database at `path` (a name starting "file:" is a plain path too). A
  // writer waits up to `lockWait` for another writer of the file.
  explicit SqliteConnection(const std::string& path,
                            std::chrono::milliseconds lockWait = kDefaultLockWait);
  ~SqliteConnection() override;

  Engine engine() const override { return Engine::Sqlite; }
  void run(std::string_view sql) override;
  int64_t execute(std::string_view sql, const Params& params) override;
  void query(std::string_view sql, const Params& params, const RowHandler& onRow) override;
  void begin(TxMode mode) override;
  void commit() override;
  void rollback() noexcept override;
  bool usable() const override { return db_ != nullptr; }
  RowMarks* rowMarks() override { return &marks_; }

  static constexpr std::chrono::milliseconds kDefaultLockWait{30'000};

 private:
  sqlite3_stmt* prepared(std::string_view sql, const Params& params);
  [[noreturn]] void fail(std::string_view what) const;

  RowMarks marks_;  // before db_: the connection's functions use it until it closes
  sqlite3* db_ = nullptr;
  std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace server::db
