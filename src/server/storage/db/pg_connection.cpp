#include "server/storage/db/pg_connection.h"

#include <libpq-fe.h>

#include <charconv>
#include <memory>

namespace server::db {

namespace {

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

class PgRow : public Row {
 public:
  explicit PgRow(const PGresult* result) : result_(result) {}
  void at(int row) { row_ = row; }
  int columnCount() const override { return PQnfields(result_); }
  bool isNull(int column) const override { return PQgetisnull(result_, row_, column) != 0; }
  std::string_view text(int column) const override {
    return {PQgetvalue(result_, row_, column),
            static_cast<size_t>(PQgetlength(result_, row_, column))};
  }
  int64_t integer(int column) const override {
    const std::string_view value = text(column);
    int64_t out = 0;
    std::from_chars(value.data(), value.data() + value.size(), out);
    return out;
  }

 private:
  const PGresult* result_;
  int row_ = 0;
};

void ignoreNotice(void*, const char*) {}

std::string errorText(PGconn* conn, const PGresult* result) {
  std::string text = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return "PostgreSQL: " + text;
}

// Raises the failure of `result`: LockTimeout when a lock wait ran out (lock_not_available)
// or the wait ended in a deadlock, both cases where trying again may succeed.
[[noreturn]] void raise(PGconn* conn, const PGresult* result, const std::string& suffix = {}) {
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const std::string_view code = state ? state : "";
  if (code == "55P03" || code == "40P01") throw LockTimeout(errorText(conn, result) + suffix);
  throw StorageError(errorText(conn, result) + suffix);
}

}  // namespace

PgConnection::PgConnection(const std::string& uri, std::chrono::milliseconds lockWait) {
  conn_ = PQconnectdb(uri.c_str());
  if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
    const std::string message = errorText(conn_, nullptr);
    PQfinish(conn_);
    conn_ = nullptr;
    throw StorageError(message);
  }
  PQsetNoticeProcessor(conn_, ignoreNotice, nullptr);
  try {
    if (PQsetClientEncoding(conn_, "UTF8") != 0) throw StorageError(errorText(conn_, nullptr));
    run("SET DateStyle = ISO");
    run("SET lock_timeout = " + std::to_string(lockWait.count()));
  } catch (...) {
    PQfinish(conn_);
    conn_ = nullptr;
    throw;
  }
}

PgConnection::~PgConnection() {
  PQfinish(conn_);
}

bool PgConnection::usable() const {
  return conn_ && PQstatus(conn_) == CONNECTION_OK;
}

std::string PgConnection::numberPlaceholders(std::string_view sql, int* count) {
  std::string out;
  out.reserve(sql.size() + 16);
  int next = 1;
  char quote = 0;
  for (const char c : sql) {
    if (quote) {
      if (c == quote) quote = 0;
      out += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      out += c;
    } else if (c == '?') {
      out += '$';
      out += std::to_string(next++);
    } else {
      out += c;
    }
  }
  if (count) *count = next - 1;
  return out;
}

void PgConnection::run(std::string_view sql) {
  Result result(PQexec(conn_, std::string(sql).c_str()));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) raise(conn_, result.get());
}

const PgConnection::Prepared& PgConnection::prepared(std::string_view sql, const Params& params) {
  auto found = statements_.find(std::string(sql));
  if (found == statements_.end()) {
    Prepared entry{"vnd_s" + std::to_string(statements_.size() + 1), 0};
    const std::string numbered = numberPlaceholders(sql, &entry.parameters);
    Result result(PQprepare(conn_, entry.name.c_str(), numbered.c_str(), 0, nullptr));
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
      raise(conn_, result.get(), " [" + std::string(sql) + "]");
    found = statements_.emplace(std::string(sql), std::move(entry)).first;
  }
  if (found->second.parameters != static_cast<int>(params.size()))
    throw StorageError("PostgreSQL: número de parâmetros errado em: " + std::string(sql));
  return found->second;
}

namespace {

// Runs a prepared statement; the texts live in `storage` while libpq reads them.
Result executePrepared(PGconn* conn, const std::string& name, const Params& params) {
  std::vector<std::string> storage(params.size());
  std::vector<const char*> values(params.size(), nullptr);
  for (size_t i = 0; i < params.size(); ++i) {
    if (const auto* text = std::get_if<std::string>(&params[i])) {
      // libpq takes NUL-terminated texts: a NUL inside would silently cut the value.
      if (text->find('\0') != std::string::npos)
        throw StorageError("PostgreSQL: texto com caractere nulo não pode ser gravado");
      values[i] = text->c_str();
    } else if (const auto* number = std::get_if<int64_t>(&params[i])) {
      storage[i] = std::to_string(*number);
      values[i] = storage[i].c_str();
    }
  }
  return Result(PQexecPrepared(conn, name.c_str(), static_cast<int>(params.size()), values.data(),
                               nullptr, nullptr, 0));
}

}  // namespace

int64_t PgConnection::execute(std::string_view sql, const Params& params) {
  const Prepared& statement = prepared(sql, params);
  Result result = executePrepared(conn_, statement.name, params);
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) raise(conn_, result.get());
  const char* tuples = PQcmdTuples(result.get());
  int64_t changed = 0;
  std::from_chars(tuples, tuples + std::char_traits<char>::length(tuples), changed);
  return changed;
}

void PgConnection::query(std::string_view sql, const Params& params, const RowHandler& onRow) {
  const Prepared& statement = prepared(sql, params);
  Result result = executePrepared(conn_, statement.name, params);
  if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK) raise(conn_, result.get());
  PgRow row(result.get());
  const int rows = PQntuples(result.get());
  for (int i = 0; i < rows; ++i) {
    row.at(i);
    onRow(row);
  }
}

void PgConnection::begin(TxMode) {
  // READ COMMITTED throughout; writers lock what they change explicitly (SELECT ... FOR
  // UPDATE, LOCK TABLE), so the mode needs no session setting here.
  run("BEGIN");
}

void PgConnection::commit() {
  Result result(PQexec(conn_, "COMMIT"));
  if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK) raise(conn_, result.get());
  // COMMIT of a transaction that had failed answers ROLLBACK without an error.
  if (std::string_view(PQcmdStatus(result.get())) != "COMMIT")
    throw StorageError("PostgreSQL: a transação foi desfeita");
}

void PgConnection::rollback() noexcept {
  if (!conn_ || PQtransactionStatus(conn_) == PQTRANS_IDLE) return;
  Result result(PQexec(conn_, "ROLLBACK"));
  (void)result;
}

}  // namespace server::db
