// A prune keeps the journal whole: every change it marks loses all of its rows, and every
// change it does not mark keeps all of its rows, so a change is restorable exactly when its
// rows are there. Checked where that is hardest to keep: after the upgrade of a journal table
// made with a key (whose changes without rows all record the same empty run), and on
// PostgreSQL while a restore that started earlier commits during the prune.

#include <chrono>
#include <thread>

#include "server/storage/journal/prune.h"
#include "server/storage/journal/restore.h"
#include "server/storage/locks.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

// "2 changes, 8 rows"
std::string pruned(server::Storage& storage, const std::string& before) {
  try {
    const server::PruneOutcome outcome = server::pruneJournal(storage, before);
    return std::to_string(outcome.changes) + " changes, " + std::to_string(outcome.rows) + " rows";
  } catch (const std::exception& error) {
    return error.what();
  }
}

// "restored 5" or why not.
std::string restored(server::Storage& storage, int64_t change) {
  try {
    return "restored " +
           std::to_string(server::restoreChange(storage, change, {"local", "", ""}).restored);
  } catch (const std::exception& error) {
    return error.what();
  }
}

// Every line as ID|QTLINHAS|discarded (y/n)|rows it has in ALTERACAOITEM.
std::string linesAndRows(server::Storage& storage) {
  return dump(storage,
              "SELECT L.ID, L.QTLINHAS, CASE WHEN L.DTDESCARTE IS NULL THEN 'n' ELSE 'y' END, "
              "(SELECT COUNT(*) FROM ALTERACAOITEM I WHERE I.IDALTERACAO = L.ID) FROM "
              "ALTERACAOLOG L ORDER BY L.ID");
}

class PruneAfterUpgrade : public ::testing::TestWithParam<Backend> {};

// The upgrade records a change without rows as the run 1..0, below the rows of the changes
// before it. A prune whose first kept change is such a one must still take the rows of every
// change it marks, and a later prune must find nothing more to take.
TEST_P(PruneAfterUpgrade, APruneAfterTheUpgradeTakesAllRowsOfTheChangesItMarks) {
  TestDatabase database(GetParam());
  ASSERT_TRUE(database.error().empty()) << database.error();
  auto storage = server::openStorage(database.target());
  {
    auto c = storage->connection();
    const bool sqlite = c->engine() == server::db::Engine::Sqlite;
    createKeyedJournal(*c);
    // Change 1 (two rows), change 2 (none), change 3 (two rows), a month apart.
    const char* changes[][2] = {{"2024-05-01 10:00:00.000", "2"},
                                {"2024-06-01 10:00:00.000", "0"},
                                {"2024-07-01 10:00:00.000", "2"}};
    for (const auto& [when, count] : changes)
      c->execute(std::string("INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, "
                             "DSSELECAO, QTLINHAS, DSCAMPO) VALUES (") +
                     (sqlite ? "?" : "CAST(? AS TIMESTAMP(3))") +
                     ", '10.0.0.1:5000', 'SetAddPrefixo', '{}', CAST(? AS BIGINT), 'NMPRODUTO')",
                 {when, std::string(count)});
    c->run(
        "INSERT INTO ALTERACAOITEM VALUES (1, 'PRD0000001', 'a', 'X a'), (1, 'PRD0000005', 'e', "
        "'X e'), (3, 'PRD0000001', 'X a', 'a'), (3, 'PRD0000002', 'b', 'X b')");
  }
  storage->createSchema();

  // The first change kept is the one without rows.
  EXPECT_EQ(pruned(*storage, "2024-05-15 00:00:00.000"), "1 changes, 2 rows");
  EXPECT_EQ(linesAndRows(*storage), "1|2|y|0\n2|0|n|0\n3|2|n|2\n");
  EXPECT_EQ(pruned(*storage, "2024-06-15 00:00:00.000"), "0 changes, 0 rows");
  EXPECT_EQ(linesAndRows(*storage), "1|2|y|0\n2|0|n|0\n3|2|n|2\n");
}

INSTANTIATE_TEST_SUITE_P(Engines, PruneAfterUpgrade,
                         ::testing::Values(Backend::SqliteFile, Backend::Postgres), backendName);

class PruneConsistency : public StorageTest {
 protected:
  server::Answer updateAll(const char* table) {
    return call("SetUpdItemPrecoAlt", {ref("S"), ref(""), ref(""), ref(""), ref("T"), null(),
                                       boolean(false), str("0001"), str(table), date(2024, 1, 1)});
  }
  // Waits until `sessions` sessions of the test's database wait for a lock; false when they
  // are not there within 20 seconds.
  bool sessionsWaitingForLocks(int64_t sessions) {
    auto c = storage_->connection();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      if (c->queryInteger("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = "
                          "current_database() AND wait_event_type = 'Lock'") == sessions)
        return true;
      std::this_thread::yield();
    }
    return false;
  }
};

// A restore numbered below a change that committed before the prune began, and committing
// while the prune waits for the restored change's line: the prune neither marks the restore
// nor may take its rows, which stays restorable with all of them. (SQLite has one writer for
// the whole file, so a change cannot commit while a restore is under way.)
TEST_P(PruneConsistency, ARestoreCommittingDuringAPruneKeepsItsRows) {
  if (storage_->engine() != server::db::Engine::Postgres)
    GTEST_SKIP() << "needs two writers at once";
  EXPECT_EQ(dump(updateAll("001")), "status 0\n");  // change 1: five items N -> S

  std::string restoreResult, pruneResult;
  std::thread restore, prune;
  {
    // Holds the items of change 1's period, so that the restore (change 2) stops at its update,
    // with its line and rows written and its lock on change 1's line held.
    auto holder = storage_->connection();
    server::db::Transaction tx(*holder, server::db::TxMode::Write);
    holder->query(
        "SELECT 1 FROM ITEMPRECO WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' AND "
        "DTINIVGPREC = '2024-01-01' FOR UPDATE",
        {}, [](const server::db::Row&) {});
    restore = std::thread([&] { restoreResult = restored(*storage_, 1); });
    EXPECT_TRUE(sessionsWaitingForLocks(1)) << "the restore did not reach the held items";
    EXPECT_EQ(dump(updateAll("002")), "status 0\n");  // change 3, another period, committed
    prune = std::thread([&] { pruneResult = pruned(*storage_, "2999-01-01 00:00:00.000"); });
    EXPECT_TRUE(sessionsWaitingForLocks(2)) << "the prune did not wait for the restore";
    tx.commit();
  }
  restore.join();
  prune.join();

  EXPECT_EQ(restoreResult, "restored 5");
  EXPECT_EQ(pruneResult, "2 changes, 8 rows");
  EXPECT_EQ(linesAndRows(*storage_), "1|5|y|0\n2|5|n|5\n3|3|y|0\n");
  // The restore is still undone in full.
  EXPECT_EQ(restored(*storage_, 2), "restored 5");
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"),
            "AB        =S PRD0000001=S PRD0000002=S PRD0000003=S PRD0000004=S PRD0000005=S");
}

INSTANTIATE_TEST_SUITE_P(Engines, PruneConsistency,
                         ::testing::Values(Backend::SqliteFile, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
