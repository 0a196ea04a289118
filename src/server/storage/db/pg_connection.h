#pragma once
// A libpq session with a PostgreSQL database, opened from a postgresql:// URI. Statements are
// prepared once per session (PQprepare, with "?" placeholders rewritten to $1, $2, ...) and run
// with text parameters (PQexecPrepared); a statement without parameters runs alone through
// PQexec, one statement per call. Sessions use UTF-8 and ISO dates, and wait at most
// `lockWait` for a lock another session holds (lock_timeout), then raise LockTimeout. Not
// thread-safe: one thread at a time, as the pool guarantees.

#include <chrono>
#include <string>
#include <unordered_map>

#include "server/storage/db/connection.h"

typedef struct pg_conn PGconn;

namespace server::db {

class PgConnection : public Connection {
 public:
  explicit PgConnection(const std::string& uri,
                        std::chrono::milliseconds lockWait = kDefaultLockWait);
  ~PgConnection() override;

  Engine engine() const override { return Engine::Postgres; }
  void run(std::string_view sql) override;
  int64_t execute(std::string_view sql, const Params& params) override;
  void query(std::string_view sql, const Params& params, const RowHandler& onRow) override;
  void begin(TxMode mode) override;
  void commit() override;
  void rollback() noexcept override;
  bool usable() const override;

  // "?" placeholders outside quoted text become $1, $2, ... in order; `count` receives their
  // number.
  static std::string numberPlaceholders(std::string_view sql, int* count = nullptr);

  static constexpr std::chrono::milliseconds kDefaultLockWait{30'000};

 private:
  struct Prepared {
    std::string name;
    int parameters;
  };
  const Prepared& prepared(std::string_view sql, const Params& params);

  PGconn* conn_ = nullptr;
  std::unordered_map<std::string, Prepared> statements_;
};

}  // namespace server::db
