#include "server/storage/storage.h"

#include <filesystem>

#include "rtl/dates.h"
#include "server/storage/db/pg_connection.h"
#include "server/storage/db/sqlite_connection.h"
#include "server/storage/demo_data.h"
#include "server/storage/schema.h"

namespace server {

namespace {

// Unless the options say how many: SQLite, one connection per worker thread at most, bounded
// for safety (an in-memory database exists only inside its one connection, so it has exactly
// one); PostgreSQL, a few sessions serve the server's worker threads.
constexpr size_t kSqlitePoolSize = 16;
constexpr size_t kPostgresPoolSize = 8;

class PooledStorage : public Storage {
 public:
  PooledStorage(db::Engine engine, const StorageOptions& options,
                db::ConnectionPool::Factory factory, size_t poolSize)
      : engine_(engine), options_(options), pool_(std::move(factory), poolSize) {
    connection();  // fail now rather than at the first call
  }

  void createSchema() override {
    auto c = connection();
    server::createSchema(*c);
  }
  void fillDemo(int products) override {
    auto c = connection();
    server::fillDemo(*c, products, rtl::Date());
  }
  db::Engine engine() const override { return engine_; }
  const StorageOptions& options() const override { return options_; }
  db::Lease connection() override { return pool_.acquire(); }

 private:
  db::Engine engine_;
  StorageOptions options_;
  db::ConnectionPool pool_;
};

bool isPostgresUri(const std::string& target) {
  return target.rfind("postgresql://", 0) == 0 || target.rfind("postgres://", 0) == 0;
}

}  // namespace

Storage::~Storage() = default;

std::unique_ptr<Storage> openStorage(const std::string& target, const StorageOptions& options) {
  if (target.empty()) throw StorageError("banco de dados não informado");
  const auto wait = options.lockWait;
  if (isPostgresUri(target)) {
    return std::make_unique<PooledStorage>(
        db::Engine::Postgres, options,
        [target, wait] { return std::make_unique<db::PgConnection>(target, wait); },
        options.connections != 0 ? options.connections : kPostgresPoolSize);
  }
  const size_t size = target == ":memory:"       ? 1
                      : options.connections != 0 ? options.connections
                                                 : kSqlitePoolSize;
  return std::make_unique<PooledStorage>(
      db::Engine::Sqlite, options,
      [target, wait] { return std::make_unique<db::SqliteConnection>(target, wait); }, size);
}

std::unique_ptr<Storage> openExistingStorage(const std::string& target,
                                             const StorageOptions& options) {
  std::error_code error;
  if (!isPostgresUri(target) && target != ":memory:" && !target.empty() &&
      !std::filesystem::exists(target, error))
    throw StorageError("o banco de dados " + target +
                       " não existe; crie-o com vnd42400 init ou vnd42400 demo");
  auto storage = openStorage(target, options);
  server::requireSchema(*storage->connection());
  return storage;
}

}  // namespace server
