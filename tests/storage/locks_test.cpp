// One writer per validity period and one for product names, held by the database: a change
// that waits longer than the storage's lock wait is refused in Portuguese and leaves nothing
// behind; on PostgreSQL, changes of other data do not wait at all. A refusal must come after
// the whole lock wait, not at once. The locks are held here by a session of the test's own, as
// another server process would hold them.

#include <chrono>
#include <functional>

#include "server/object/tabe_preco_object.h"
#include "server/storage/db/dialect.h"
#include "server/storage/journal/prune.h"
#include "server/storage/journal/restore.h"
#include "server/storage/locks.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

const char* kBusy =
    "status 1 Outra alteração dos mesmos dados está em andamento e não terminou a tempo; nada "
    "foi alterado. Tente novamente em instantes.\n";
const char* kNotRestored =
    "another change of the same data, or a prune of the journal, is in progress and did not "
    "finish in time; nothing was restored, try again";
constexpr std::chrono::milliseconds kLockWait{200};

class Locks : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    server::StorageOptions options;
    options.lockWait = kLockWait;
    impatient_ = server::openStorage(database_->target(), options);
    impatientObject_ = std::make_unique<server::TabePrecoObject>(*impatient_);
  }
  void TearDown() override {
    impatientObject_.reset();
    impatient_.reset();
    StorageTest::TearDown();
  }
  bool postgres() const { return storage_->engine() == server::db::Engine::Postgres; }

  server::Answer impatient(const std::string& method, const Args& args) {
    return callThroughEdge(*impatientObject_, method, args, {"127.0.0.1:50001", "rui", "caixa2"});
  }
  server::Answer update(const char* table) {
    return impatient("SetUpdItemPrecoAlt",
                     {ref("S"), ref(""), ref(""), ref(""), ref("T"), null(), boolean(false),
                      str("0001"), str(table), date(2024, 1, 1)});
  }
  server::Answer addPrefix() {
    return impatient("SetAddPrefixo", {ref("X "), ref(""), ref(""), ref(""), ref("T")});
  }
  std::string restoreMessage(int64_t change) {
    try {
      server::restoreChange(*impatient_, change, {"local", "", ""});
      return "restored";
    } catch (const server::RestoreError& error) {
      return error.what();
    }
  }

  // Runs a change the held lock should refuse and returns what it answered, having checked that
  // it gave up only after the whole lock wait and left every row as it was.
  std::string refused(const char* what, const std::function<std::string()>& change) {
    const std::string before = wholeState();
    const auto start = std::chrono::steady_clock::now();
    std::string answer = change();
    EXPECT_GE(std::chrono::steady_clock::now() - start, kLockWait)
        << what << " gave up before the lock wait";
    EXPECT_EQ(wholeState(), before) << what << " left something behind";
    return answer;
  }

  std::unique_ptr<server::Storage> impatient_;
  std::unique_ptr<server::ServerObject> impatientObject_;
};

TEST_P(Locks, AChangeOfAValidityBeingChangedWaitsThenIsRefused) {
  EXPECT_EQ(dump(update("002")), "status 0\n");  // change 1, to restore below
  {
    auto holder = storage_->connection();
    server::db::Transaction tx(*holder, server::db::TxMode::Write);
    ASSERT_TRUE(server::lockValidity(*holder, {"0001", "001", "2024-01-01"}));
    EXPECT_EQ(refused("the update", [&] { return dump(update("001")); }), kBusy);
    if (postgres()) {
      // Other data does not wait: another table's period, product names, a restore of it.
      EXPECT_EQ(dump(update("002")), "status 0\n");
      EXPECT_EQ(dump(addPrefix()), "status 0\n");
      EXPECT_EQ(restoreMessage(1), "restored");
    } else {
      // SQLite has one writer for the whole file.
      EXPECT_EQ(refused("the name change", [&] { return dump(addPrefix()); }), kBusy);
      EXPECT_EQ(refused("the restore", [&] { return restoreMessage(1); }), kNotRestored);
    }
  }
  // Released: the same change goes through.
  EXPECT_EQ(dump(update("001")), "status 0\n");
}

TEST_P(Locks, NameChangesWaitForEachOtherThenAreRefused) {
  EXPECT_EQ(dump(call("SetAddPrefixo", {ref("Y "), ref(""), ref(""), ref(""), ref("T")})),
            "status 0\n");  // change 1
  {
    auto holder = storage_->connection();
    server::db::Transaction tx(*holder, server::db::TxMode::Write);
    server::lockProductNames(*holder);
    EXPECT_EQ(refused("adding a prefix", [&] { return dump(addPrefix()); }), kBusy);
    EXPECT_EQ(refused("removing a prefix",
                      [&] {
                        return dump(impatient("SetDelPrefixo",
                                              {ref("Y "), ref(""), ref(""), ref(""), ref("T")}));
                      }),
              kBusy);
    EXPECT_EQ(refused("the restore", [&] { return restoreMessage(1); }), kNotRestored);
    if (postgres()) {
      EXPECT_EQ(dump(update("001")), "status 0\n");
    }
  }
  EXPECT_EQ(dump(addPrefix()), "status 0\n");
}

// An update refused for its lock right after its prefix change takes the prefix change back.
// On PostgreSQL the names are free while the period is held, so the take-back runs at once. When
// the names stay held as well (on SQLite, the whole file, taken here after the prefix change),
// the take-back waits as long again, then gives up and the refusal says the prefix stays.
TEST_P(Locks, AnUpdateRefusedForItsLockTakesItsPrefixChangeBackWhenTheNamesAreFree) {
  server::SessionState desk;
  desk.object = impatientObject_.get();
  const auto prefix = [&] {
    return dump(callThroughEdge(*impatientObject_, "SetAddPrefixo",
                                {ref("X "), ref(""), ref(""), ref(""), ref("T")}, desk));
  };
  const auto confirm = [&] {
    return dump(callThroughEdge(*impatientObject_, "SetUpdItemPrecoAlt",
                                {ref("S"), ref(""), ref(""), ref(""), ref("T"), null(),
                                 boolean(false), str("0001"), str("001"), date(2024, 1, 1)},
                                desk));
  };
  const std::string before = wholeState();
  if (postgres()) {
    auto holder = storage_->connection();
    server::db::Transaction tx(*holder, server::db::TxMode::Write);
    ASSERT_TRUE(server::lockValidity(*holder, {"0001", "001", "2024-01-01"}));
    EXPECT_EQ(prefix(), "status 0\n");
    EXPECT_EQ(confirm(), kBusy);
    EXPECT_EQ(wholeState(), before);
  }
  EXPECT_EQ(prefix(), "status 0\n");
  const std::string prefixed = wholeState();
  {
    auto holder = storage_->connection();
    server::db::Transaction tx(*holder, server::db::TxMode::Write);
    server::lockProductNames(*holder);
    ASSERT_TRUE(server::lockValidity(*holder, {"0001", "001", "2024-01-01"}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(confirm(),
              std::string(kBusy).insert(std::string(kBusy).size() - 1,
                                        " Atenção: o prefixo já aplicado aos nomes dos produtos "
                                        "não pôde ser desfeito e permanece."));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2 * kLockWait);
    EXPECT_EQ(wholeState(), prefixed);
  }
}

// A prune that would discard the rows of a change being restored waits for the restore (held
// here by the lock the restore takes), and is refused after the lock wait with nothing
// discarded. The restore then still finds its rows; the prune after it discards them.
TEST_P(Locks, APruneWaitsForARestoreOfTheChangesItDiscards) {
  EXPECT_EQ(dump(update("002")), "status 0\n");  // change 1
  const std::string future = "2999-01-01 00:00:00.000";
  {
    auto holder = storage_->connection();
    server::db::Transaction tx(*holder, server::db::TxMode::Write);
    holder->queryInteger(std::string("SELECT 1 FROM ALTERACAOLOG WHERE ID = 1") +
                         server::db::forUpdate(holder->engine()));
    EXPECT_EQ(refused("the prune",
                      [&] {
                        try {
                          server::pruneJournal(*impatient_, future);
                          return std::string("pruned");
                        } catch (const server::PruneError& error) {
                          return std::string(error.what());
                        }
                      }),
              "a restore of one of these changes is in progress and did not finish in time; "
              "nothing was discarded, try again");
  }
  EXPECT_EQ(server::pruneJournal(*impatient_, future).rows, 3);
  EXPECT_NE(restoreMessage(1).find("discarded"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Engines, Locks, ::testing::Values(Backend::SqliteFile, Backend::Postgres),
                         backendName);

}  // namespace
}  // namespace storage_test
