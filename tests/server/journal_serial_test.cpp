// Changes of one validity period are serialised by the database, also between two vnd42400
// processes sharing it: two updates sent together end in one of the two serial results, and a
// change that waits longer than the server's lock wait is refused in Portuguese. The test
// holds the lock itself, as a third process would.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "demo_server.h"
#include "journal_test_support.h"
#include "server/storage/db/pg_connection.h"
#include "server/storage/db/sqlite_connection.h"

namespace servertest {
namespace {

using testsupport::describe;

class JournalSerialTest : public ::testing::TestWithParam<Engine> {};

// A session of the test's own on the database, to hold the locks a change needs.
std::unique_ptr<server::db::Connection> openSession(TestDatabase& db) {
  if (db.engine() == Engine::Sqlite)
    return std::make_unique<server::db::SqliteConnection>(db.target());
  return std::make_unique<server::db::PgConnection>(db.target());
}

// Takes what a change of the period must wait for: the period's row on PostgreSQL, the write
// lock of the whole file on SQLite.
void holdValidity(server::db::Connection& session, const std::string& startIso) {
  session.begin(server::db::TxMode::Write);
  if (session.engine() == server::db::Engine::Postgres)
    session.queryInteger(
        "SELECT 1 FROM TABEVEND WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' AND "
        "DTINIVGPREC = ? FOR UPDATE",
        {startIso});
}

// PostgreSQL: waits until `count` sessions of the database wait for a lock.
void awaitLockWaiters(server::db::Connection& poller, int count) {
  const auto deadline = std::chrono::steady_clock::now() + testsupport::kDeadline;
  while (poller
             .queryInteger("SELECT count(*) FROM pg_stat_activity WHERE datname = "
                           "current_database() AND wait_event_type = 'Lock'")
             .value_or(0) < count) {
    if (std::chrono::steady_clock::now() > deadline)
      throw std::runtime_error("no session started waiting for the lock");
  }
}

TEST_P(JournalSerialTest, TwoServersRunTwoUpdatesOfOneValidityOneAfterTheOther) {
  DemoServer demo(GetParam(), 60);
  TestDatabase& db = demo.db();
  testsupport::ServerProcess::Options options;
  options.db = db.target();
  testsupport::ServerProcess second(options);
  auto a = demo.client();
  testsupport::RpcClient b(second.port());
  ASSERT_EQ(describe(b.attach(kObjectName)), "true");
  const Period period = periodsOf(*a, "0001", "001").at(1);
  const std::string inPeriod =
      " FROM ITEMPRECO WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' "
      "AND DTINIVGPREC = '" +
      period.startIso + "'";
  const int total = std::stoi(db.scalar("SELECT count(*)" + inPeriod));
  const int initiallyS =
      std::stoi(db.scalar("SELECT count(*)" + inPeriod + " AND IDPROMOCAO = 'S'"));

  // Both calls are sent while the period is held. On PostgreSQL the test sees both wait for the
  // lock before letting go, so the two run against each other for certain, the first to wait
  // first. SQLite's wait is a retry loop inside each server process that nothing outside can
  // see: there a call may reach the lock after it was let go, even after the other call ended,
  // so on SQLite the test holds only that two updates sent together end in one of the two
  // serial results, whichever ran first.
  auto session = openSession(db);
  holdValidity(*session, period.startIso);
  Update toS{"S", "", "", "", "T"}, toN{"N", "", "", "", "T"};
  a->send("SetUpdItemPrecoAlt", updateArgs(toS, period.start));
  std::unique_ptr<server::db::Connection> poller;
  if (db.engine() == Engine::Postgres) {
    poller = openSession(db);
    awaitLockWaiters(*poller, 1);
  }
  b.send("SetUpdItemPrecoAlt", updateArgs(toN, period.start));
  if (poller) awaitLockWaiters(*poller, 2);
  EXPECT_FALSE(a->readable(std::chrono::milliseconds(0))) << "answered while the period was held";
  EXPECT_FALSE(b.readable(std::chrono::milliseconds(0))) << "answered while the period was held";
  session->rollback();
  EXPECT_EQ(describe(a->receive()), "[0, '', null]");
  EXPECT_EQ(describe(b.receive()), "[0, '', null]");

  // One of the two serial results: the second saw all items in the first one's state.
  const std::string firstFlag =
      db.scalar("SELECT DSSELECAO FROM ALTERACAOLOG WHERE ID = 1").find("\"S\"") !=
              std::string::npos
          ? "S"
          : "N";
  const std::string secondFlag = firstFlag == "S" ? "N" : "S";
  if (db.engine() == Engine::Postgres) {
    EXPECT_EQ(firstFlag, "S") << "the first to wait goes first";
  }
  const int firstChanged = firstFlag == "S" ? total - initiallyS : initiallyS;
  EXPECT_EQ(db.scalar("SELECT count(*)" + inPeriod + " AND IDPROMOCAO = '" + secondFlag + "'"),
            std::to_string(total));
  EXPECT_EQ(db.scalar("SELECT count(*) FROM ALTERACAOLOG"), "2");
  EXPECT_EQ(db.scalar("SELECT QTLINHAS FROM ALTERACAOLOG WHERE ID = 1"),
            std::to_string(firstChanged));
  EXPECT_EQ(db.scalar("SELECT QTINALTERADAS FROM ALTERACAOLOG WHERE ID = 1"),
            std::to_string(total - firstChanged));
  EXPECT_EQ(db.scalar("SELECT QTLINHAS FROM ALTERACAOLOG WHERE ID = 2"), std::to_string(total));
  EXPECT_EQ(db.scalar("SELECT QTINALTERADAS FROM ALTERACAOLOG WHERE ID = 2"), "0");
  EXPECT_EQ(db.scalar("SELECT count(*) FROM ALTERACAOITEM WHERE IDALTERACAO = 2 AND DSANTES = '" +
                      firstFlag + "' AND DSDEPOIS = '" + secondFlag + "'"),
            std::to_string(total));
}

TEST_P(JournalSerialTest, AChangeWaitingPastTheLockWaitIsRefusedAndChangesNothing) {
  DemoServer demo(GetParam(), 20);
  TestDatabase& db = demo.db();
  testsupport::ServerProcess::Options options;
  options.db = db.target();
  options.extraArgs = {"--lock-wait", "0.3"};
  testsupport::ServerProcess impatient(options);
  testsupport::RpcClient client(impatient.port());
  ASSERT_EQ(describe(client.attach(kObjectName)), "true");
  const Period period = periodsOf(client, "0001", "001").at(1);
  const std::string flags = db.scalar("SELECT count(*) FROM ITEMPRECO WHERE IDPROMOCAO = 'S'");

  auto session = openSession(db);
  holdValidity(*session, period.startIso);
  Update all{"S", "", "", "", "T"};
  EXPECT_EQ(describe(client.call("SetUpdItemPrecoAlt", updateArgs(all, period.start))),
            "[1, 'Outra alteração dos mesmos dados está em andamento e não terminou a tempo; nada "
            "foi alterado. Tente novamente em instantes.', null]");
  session->rollback();
  EXPECT_EQ(db.scalar("SELECT count(*) FROM ITEMPRECO WHERE IDPROMOCAO = 'S'"), flags);
  EXPECT_EQ(db.scalar("SELECT count(*) FROM ALTERACAOLOG"), "0");
  // Once the lock is gone the same call goes through.
  EXPECT_EQ(describe(client.call("SetUpdItemPrecoAlt", updateArgs(all, period.start))),
            "[0, '', null]");
}

// As many changes waiting for the lock as the server runs calls at once still leave other
// users' lookups answered: the changes wait on threads, and with connections, of their own.
// (On SQLite nothing outside shows the changes waiting, so there the lookup may also have been
// answered before some of them reached the lock.)
TEST_P(JournalSerialTest, ChangesWaitingForTheLockLeaveLookupsAnswered) {
  constexpr int kWorkers = 8;
  DemoServer demo(GetParam(), 20);
  TestDatabase& db = demo.db();
  testsupport::ServerProcess::Options options;
  options.db = db.target();
  options.extraArgs = {"--workers", std::to_string(kWorkers)};
  testsupport::ServerProcess server(options);
  testsupport::RpcClient reader(server.port());
  ASSERT_EQ(describe(reader.attach(kObjectName)), "true");
  const Period period = periodsOf(reader, "0001", "001").at(1);

  auto session = openSession(db);
  holdValidity(*session, period.startIso);
  Update all{"S", "", "", "", "T"};
  std::vector<std::unique_ptr<testsupport::RpcClient>> changers;
  for (int i = 0; i < kWorkers; ++i) {
    changers.push_back(std::make_unique<testsupport::RpcClient>(server.port()));
    ASSERT_EQ(describe(changers.back()->attach(kObjectName)), "true");
    changers.back()->send("SetUpdItemPrecoAlt", updateArgs(all, period.start));
  }
  if (db.engine() == Engine::Postgres) awaitLockWaiters(*openSession(db), kWorkers);
  EXPECT_EQ(periodsOf(reader, "0001", "001").at(1).startIso, period.startIso);
  for (const auto& changer : changers)
    EXPECT_FALSE(changer->readable(std::chrono::milliseconds(0)))
        << "answered while the period was held";
  session->rollback();
  for (const auto& changer : changers) EXPECT_EQ(describe(changer->receive()), "[0, '', null]");
}

INSTANTIATE_TEST_SUITE_P(Engines, JournalSerialTest,
                         ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
