// The database failing under a running vnd42400: PostgreSQL going down and coming back (its
// sessions ended, new ones refused meanwhile), and, on each engine, a table the server needs
// going missing for a while. Every call made meanwhile gets a failure answer on a connection
// that stays open, nothing is half-changed, and once the database is back the next call works.
// (A change waiting on another session's lock is refused in journal_process_test.cpp.)

#include <gtest/gtest.h>

#include <libpq-fe.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "demo_server.h"

namespace servertest {
namespace {

using testsupport::describe;
using testsupport::RpcClient;

// Sets the promotion flag of every item of the period to `flag` and returns the answer.
std::string promoteAll(RpcClient& client, const Period& period, std::string flag) {
  std::string empty, all = "T";
  return describe(client.call(
      "SetUpdItemPrecoAlt",
      {rtl::Variant::ByRef(flag), rtl::Variant::ByRef(empty), rtl::Variant::ByRef(empty),
       rtl::Variant::ByRef(empty), rtl::Variant::ByRef(all), rtl::Variant::Null(),
       rtl::Variant::FromBool(false), "0001", "001", rtl::Variant::FromDate(period.start)}));
}

// How many items of the period are in the promotion.
std::string promoted(TestDatabase& db, const Period& period) {
  return db.scalar(
      "SELECT count(*) FROM ITEMPRECO WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' AND "
      "DTINIVGPREC = '" +
      period.startIso + "' AND IDPROMOCAO = 'S'");
}

std::string tables(RpcClient& client) {
  const rpc::Response response = client.call("GetTabePrec", {"0001"});
  if (response.error) return describe(response);
  return std::to_string(testsupport::answerData(response)->rowCount()) + " tables";
}

class StorageFaultsTest : public ::testing::TestWithParam<Engine> {};

// A failure answer: an error reply, or an answer with a status other than 0.
bool failed(const std::string& described) {
  return described.rfind("error ", 0) == 0 || described.rfind("[0,", 0) != 0;
}

TEST_P(StorageFaultsTest, ATableMissingForAWhileFailsTheCallsMadeMeanwhileOnly) {
  DemoServer demo(GetParam(), 40);
  auto client = demo.client();
  const Period period = periodsOf(*client, "0001", "001").at(1);
  demo.db().scalar("UPDATE ITEMPRECO SET IDPROMOCAO = 'N'");
  ASSERT_EQ(tables(*client), "3 tables");

  demo.db().scalar("ALTER TABLE TABEPREC RENAME TO TABEPREC_AWAY");
  demo.db().scalar("ALTER TABLE ITEMPRECO RENAME TO ITEMPRECO_AWAY");
  const std::string lookup = tables(*client);
  EXPECT_TRUE(failed(lookup)) << lookup;
  const std::string change = promoteAll(*client, period, "S");
  EXPECT_TRUE(failed(change)) << change;
  RecordProperty("failure_answers", lookup + " / " + change);

  demo.db().scalar("ALTER TABLE TABEPREC_AWAY RENAME TO TABEPREC");
  demo.db().scalar("ALTER TABLE ITEMPRECO_AWAY RENAME TO ITEMPRECO");
  EXPECT_EQ(promoted(demo.db(), period), "0");
  EXPECT_EQ(tables(*client), "3 tables");
  EXPECT_EQ(promoteAll(*client, period, "S"), "[0, '', null]");
  EXPECT_EQ(promoted(demo.db(), period), "40");
  EXPECT_TRUE(demo.process().running());
}

// Until the object goes, the test database refuses new sessions and every session of the
// server has been ended, as when the database server restarts under it. The test's own
// session stays, to check the data.
class PostgresOutage {
 public:
  explicit PostgresOutage(TestDatabase& db)
      : name_(db.scalar("SELECT current_database()")),
        keep_(db.scalar("SELECT pg_backend_pid()")),
        admin_(PQconnectdb(std::getenv("VND_PG_ADMIN_URI"))) {
    if (PQstatus(admin_) != CONNECTION_OK)
      throw std::runtime_error(std::string("admin connection: ") + PQerrorMessage(admin_));
    run("ALTER DATABASE " + name_ + " ALLOW_CONNECTIONS false");
    const std::string others =
        "FROM pg_stat_activity WHERE datname = '" + name_ + "' AND pid <> " + keep_;
    run("SELECT pg_terminate_backend(pid) " + others);
    const auto deadline = std::chrono::steady_clock::now() + testsupport::kDeadline;
    while (run("SELECT count(*) " + others) != "0")
      if (std::chrono::steady_clock::now() > deadline)
        throw std::runtime_error("the server's sessions outlived their termination");
  }
  ~PostgresOutage() {
    run("ALTER DATABASE " + name_ + " ALLOW_CONNECTIONS true");
    PQfinish(admin_);
  }

 private:
  std::string run(const std::string& sql) {
    PGresult* result = PQexec(admin_, sql.c_str());
    const bool ok =
        PQresultStatus(result) == PGRES_TUPLES_OK || PQresultStatus(result) == PGRES_COMMAND_OK;
    const std::string value =
        ok && PQntuples(result) > 0 ? PQgetvalue(result, 0, 0) : std::string();
    const std::string error = ok ? "" : PQresultErrorMessage(result);
    PQclear(result);
    if (!ok) throw std::runtime_error("PostgreSQL: " + error + " in: " + sql);
    return value;
  }

  std::string name_;
  std::string keep_;
  PGconn* admin_;
};

TEST(PostgresRestartTest, CallsDuringAnOutageFailAndTheFirstCallAfterItWorks) {
  DemoServer demo(Engine::Postgres, 40);
  auto client = demo.client();
  const Period period = periodsOf(*client, "0001", "001").at(1);
  demo.db().scalar("UPDATE ITEMPRECO SET IDPROMOCAO = 'N'");
  // Two connections at work, so that the server's pool holds more than one session.
  auto other = demo.client();
  ASSERT_EQ(tables(*client), "3 tables");
  ASSERT_EQ(tables(*other), "3 tables");

  {
    PostgresOutage outage(demo.db());
    for (int i = 0; i < 3; ++i) {
      const std::string lookup = tables(*client);
      EXPECT_TRUE(failed(lookup)) << lookup;
      const std::string change = promoteAll(*other, period, "S");
      EXPECT_TRUE(failed(change)) << change;
    }
  }
  EXPECT_EQ(promoted(demo.db(), period), "0");
  EXPECT_EQ(tables(*client), "3 tables");
  EXPECT_EQ(promoteAll(*other, period, "S"), "[0, '', null]");
  EXPECT_EQ(tables(*other), "3 tables");
  EXPECT_EQ(promoted(demo.db(), period), "40");
  EXPECT_TRUE(demo.process().running());
}

TEST(PostgresRestartTest, ARestartBetweenTwoCallsCostsOneFailedCall) {
  DemoServer demo(Engine::Postgres, 40);
  auto client = demo.client();
  ASSERT_EQ(tables(*client), "3 tables");
  { PostgresOutage outage(demo.db()); }
  // The server learns of the restart from the session it had: that call fails, the next one
  // opens a new session (the pool drops its other idle sessions with the broken one).
  const std::string first = tables(*client);
  EXPECT_TRUE(failed(first)) << first;
  RecordProperty("failure_answer", first);
  EXPECT_EQ(tables(*client), "3 tables");
}

INSTANTIATE_TEST_SUITE_P(Engines, StorageFaultsTest,
                         ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
