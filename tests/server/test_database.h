#pragma once
// A fresh database for one process-level test, on either engine, and a direct line into it for
// checking what the server did: a temporary SQLite file, or a new PostgreSQL database created
// through VND_PG_ADMIN_URI and dropped afterwards. Without VND_PG_ADMIN_URI and VND_PG_URI the
// PostgreSQL constructor throws a message saying how to run the tests, so they fail visibly
// rather than being skipped.

#include <memory>
#include <ostream>
#include <string>

#include "support/server_process.h"

namespace servertest {

enum class Engine { Sqlite, Postgres };

const char* engineName(Engine engine);
// For test names and messages.
inline void PrintTo(Engine engine, std::ostream* out) {
  *out << engineName(engine);
}

class TestDatabase {
 public:
  explicit TestDatabase(Engine engine);
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  Engine engine() const { return engine_; }
  // What `vnd42400 --db` takes.
  const std::string& target() const { return target_; }

  // The first column of the first row of a query, as text ("" for null or no row). Throws on
  // an SQL error.
  std::string scalar(const std::string& sql);

  // True while another connection holds a write transaction open: on SQLite, taking the write
  // lock fails; on PostgreSQL, a backend of this database has a transaction id assigned.
  bool writerActive();
  // True while any other session is connected to the database (PostgreSQL; always false on
  // SQLite). A killed server's sessions linger until their backends notice.
  bool otherSessions();

 private:
  struct Connection;
  Engine engine_;
  testsupport::TempDir dir_;
  std::string target_;
  std::string adminUri_;
  std::string name_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace servertest
