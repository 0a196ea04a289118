#include "server/storage/backup.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>

#include "server/storage/storage_error.h"

namespace server {

namespace {

class Handle {
 public:
  Handle(const std::string& path, int flags) {
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      throw StorageError("cannot open " + path + ": " + why);
    }
    sqlite3_busy_timeout(db_, 30'000);
  }
  ~Handle() { sqlite3_close(db_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace

BackupOutcome backupSqlite(const std::string& source, const std::string& destination) {
  if (source.rfind("postgresql://", 0) == 0 || source.rfind("postgres://", 0) == 0)
    throw StorageError(
        "backup copies SQLite databases; copy PostgreSQL with pg_dump (or base backups and WAL "
        "archiving)");
  std::error_code ec;
  if (!std::filesystem::exists(source, ec))
    throw StorageError("the database " + source + " does not exist");
  if (std::filesystem::exists(destination, ec))
    throw StorageError(destination + " exists already; a backup never overwrites a file");
  const Handle from(source, SQLITE_OPEN_READONLY);
  // Made private before a byte of the data goes into it.
  const mode_t saved = ::umask(077);
  BackupOutcome outcome;
  try {
    const Handle to(destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    ::umask(saved);
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) throw StorageError(std::string("backup: ") + sqlite3_errmsg(to.get()));
    // Every page in one step: one read transaction, so one snapshot of the source.
    const int done = sqlite3_backup_step(backup, -1);
    outcome.pages = sqlite3_backup_pagecount(backup);
    sqlite3_backup_finish(backup);
    if (done != SQLITE_DONE) throw StorageError(std::string("backup: ") + sqlite3_errstr(done));
    // A self-contained file: the copy needs no write-ahead log beside it.
    sqlite3_exec(to.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
  } catch (...) {
    ::umask(saved);
    std::filesystem::remove(destination, ec);
    throw;
  }
  outcome.bytes = static_cast<long long>(std::filesystem::file_size(destination, ec));
  return outcome;
}

}  // namespace server
