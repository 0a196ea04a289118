#pragma once
// One session with a database engine, used by one thread at a time (the pool hands it out).
// Statements are SQL texts with "?" placeholders, numbered in order of appearance; each text is
// prepared once per connection and kept, so callers pass the same texts again and again. User
// data reaches SQL only as bound parameters. Every failure raises StorageError with the
// engine's message; a failed statement inside a transaction leaves it to be rolled back.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "server/storage/storage_error.h"

namespace server::db {

enum class Engine { Sqlite, Postgres };

class RowMarks;

// A bound value: null, text (UTF-8, no NUL byte) or a 64-bit integer.
using Param = std::variant<std::nullptr_t, std::string, int64_t>;
using Params = std::vector<Param>;

// The current row of a query; valid only inside the row handler.
class Row {
 public:
  virtual ~Row() = default;
  virtual int columnCount() const = 0;
  virtual bool isNull(int column) const = 0;
  // The value as text ("" for null).
  virtual std::string_view text(int column) const = 0;
  // The value as an integer (0 for null).
  virtual int64_t integer(int column) const = 0;
};
using RowHandler = std::function<void(const Row&)>;

enum class TxMode {
  Read,   // a consistent read
  Write,  // takes the engine's write lock at once (SQLite: BEGIN IMMEDIATE)
};

class Connection {
 public:
  virtual ~Connection() = default;
  virtual Engine engine() const = 0;

  // Runs one statement without parameters or rows (schema, session settings); not cached.
  virtual void run(std::string_view sql) = 0;
  // Runs a statement with `params` bound in order and returns the rows it changed.
  virtual int64_t execute(std::string_view sql, const Params& params = {}) = 0;
  // Runs a query and hands each row to `onRow`, in the order the engine returns them.
  virtual void query(std::string_view sql, const Params& params, const RowHandler& onRow) = 0;

  virtual void begin(TxMode mode) = 0;
  virtual void commit() = 0;
  // Never throws; a connection that cannot roll back reports itself unusable.
  virtual void rollback() noexcept = 0;
  // False once the session is broken; the pool then discards it.
  virtual bool usable() const = 0;
  // The rows the SQL function vnd_marca picks (row_marks.h); null where the engine has no
  // such function.
  virtual RowMarks* rowMarks() { return nullptr; }

  // The first column of the first row, or nullopt when there is no row or it is null.
  std::optional<std::string> queryText(std::string_view sql, const Params& params = {});
  std::optional<int64_t> queryInteger(std::string_view sql, const Params& params = {});
};

// A transaction that rolls back unless committed (also when an exception unwinds past it).
class Transaction {
 public:
  Transaction(Connection& connection, TxMode mode);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void commit();

 private:
  Connection& connection_;
  bool open_ = true;
};

}  // namespace server::db
