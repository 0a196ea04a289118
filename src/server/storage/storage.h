#pragma once
// The storage of the price-table server: one database, SQLite (a file path, or ":memory:" for a
// private in-memory database) or PostgreSQL (a postgresql:// URI), reached through a pool of
// connections so that several worker threads can use it at once. The storage owns its pool;
// whoever keeps a reference to it (the server objects) must not outlive it.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "server/storage/db/connection.h"
#include "server/storage/db/connection_pool.h"
#include "server/storage/storage_error.h"

namespace server {

// How a storage is opened.
struct StorageOptions {
  // The longest a statement waits for a lock another session holds: a change waiting for
  // another change of the same rows (or, on SQLite, of the same file). Past it the change is
  // refused and nothing of it is kept.
  std::chrono::milliseconds lockWait{30'000};
  // Whether changes write their rows' values before and after (ALTERACAOITEM) and their
  // unchanged count. Off only to measure what journaling costs: a change made without it
  // cannot be restored.
  bool journal = true;
  // The most connections open at once, one per thread that may use the storage at the same
  // time; 0 for the engine's default. (An in-memory SQLite database has its one connection.)
  size_t connections = 0;
};

class Storage {
 public:
  virtual ~Storage();

  // Creates the tables, indexes and helpers that are missing; idempotent.
  virtual void createSchema() = 0;
  // Creates the schema and replaces the data with the demo data set of `products` products,
  // dated around today (see demo_data.h).
  virtual void fillDemo(int products) = 0;

  virtual db::Engine engine() const = 0;
  virtual const StorageOptions& options() const = 0;
  // A connection for the calling thread until the lease ends; waits while all are in use.
  virtual db::Lease connection() = 0;
};

// Opens the storage named by `target`: a URI starting with "postgresql://" or "postgres://"
// is PostgreSQL, anything else a SQLite file path. Connects once to check the target; throws
// StorageError when it cannot be opened.
std::unique_ptr<Storage> openStorage(const std::string& target, const StorageOptions& options = {});

// The same for a database that must exist already with its schema (serving, the journal): a
// SQLite file that is not there is not created, and a database without the tables is refused,
// each with a StorageError that says what to do.
std::unique_ptr<Storage> openExistingStorage(const std::string& target,
                                             const StorageOptions& options = {});

}  // namespace server
