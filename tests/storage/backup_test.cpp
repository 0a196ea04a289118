// A backup of a SQLite database taken while a change is running holds the change whole or not
// at all, does not wait for it, and is a private, self-contained file.

#include <sys/stat.h>

#include <filesystem>

#include "server/storage/backup.h"
#include "server/storage/db/sqlite_connection.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Backup : public StorageTest {
 protected:
  std::string copyPath(const char* name) {
    return (std::filesystem::path(database_->target()).parent_path() / name).string();
  }
  // Promotions and journal lines of the copy at `path`.
  static std::string stateOf(const std::string& path) {
    auto copy = server::openStorage(path);
    return dump(*copy,
                "SELECT SUM(IDPROMOCAO = 'S'), (SELECT COUNT(*) FROM ALTERACAOLOG) FROM ITEMPRECO");
  }
};

TEST_P(Backup, ACopyTakenDuringAChangeHoldsItWholeOrNotAtAll) {
  const std::string before = dump(*storage_, "SELECT SUM(IDPROMOCAO = 'S'), 0 FROM ITEMPRECO");
  // A change in progress: its transaction has written, and not committed yet.
  auto writer = storage_->connection();
  {
    server::db::Transaction change(*writer, server::db::TxMode::Write);
    writer->execute("UPDATE ITEMPRECO SET IDPROMOCAO = 'S'");
    writer->execute(
        "INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, DSSELECAO, QTLINHAS) VALUES "
        "('2024-01-01 00:00:00.000', 'teste', 'SetUpdItemPrecoAlt', '{}', 15)");
    const server::BackupOutcome during =
        server::backupSqlite(database_->target(), copyPath("during.db"));
    EXPECT_GT(during.pages, 0);
    change.commit();
  }
  const server::BackupOutcome after =
      server::backupSqlite(database_->target(), copyPath("after.db"));
  EXPECT_GT(after.bytes, 0);
  EXPECT_EQ(stateOf(copyPath("during.db")), before);
  EXPECT_EQ(stateOf(copyPath("after.db")), "15|1\n");

  // Private, self-contained, never overwritten, and never of PostgreSQL.
  struct stat info {};
  ASSERT_EQ(::stat(copyPath("after.db").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_FALSE(std::filesystem::exists(copyPath("after.db") + "-wal"));
  EXPECT_THROW(server::backupSqlite(database_->target(), copyPath("after.db")),
               server::StorageError);
  try {
    server::backupSqlite("postgresql://localhost/vnd", copyPath("pg.db"));
    ADD_FAILURE() << "a PostgreSQL database was copied";
  } catch (const server::StorageError& e) {
    EXPECT_NE(std::string(e.what()).find("pg_dump"), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, Backup, ::testing::Values(Backend::SqliteFile), backendName);

}  // namespace
}  // namespace storage_test
