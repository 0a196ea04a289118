#pragma once
// A consistent copy of a SQLite database while the server serves it, through SQLite's online
// backup: the copy is one snapshot, taken in one read transaction, so a change committed during
// it is in the copy whole or not at all, and writers are not held up (WAL). The copy is a plain
// database file (no write-ahead log beside it), readable by its owner only. PostgreSQL is
// copied with its own tools (pg_dump, or base backups and WAL archiving).

#include <string>

namespace server {

struct BackupOutcome {
  int pages = 0;
  long long bytes = 0;
};

// Copies the SQLite database `source` to `destination`, which must not exist yet. Throws
// StorageError when the source cannot be read, the destination exists or cannot be written, or
// `source` is a PostgreSQL URI.
BackupOutcome backupSqlite(const std::string& source, const std::string& destination);

}  // namespace server
