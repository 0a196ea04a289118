// Ending vnd42400 in the middle of a 100,000-item update, on each engine: SIGTERM lets the
// update finish and be answered before the process exits 0; kill -9 leaves the database with
// all of the items changed, the audit row and the journal of every item, or none of them. "In
// the middle" is observed, not guessed: the test waits until the database shows the server's
// write transaction open.

#include <gtest/gtest.h>

#include <csignal>

#include "demo_server.h"

namespace servertest {
namespace {

using testsupport::describe;

constexpr int kProducts = 100'000;

class CrashTest : public ::testing::TestWithParam<Engine> {
 protected:
  // Sends the update of every item of the main table's current period to "S" and returns once
  // the server's write transaction is open. Fails if the answer comes first.
  void startLongUpdate(DemoServer& demo, testsupport::RpcClient& client) {
    const std::vector<Period> periods = periodsOf(client, "0001", "001");
    ASSERT_GE(periods.size(), 2u);
    inPeriod_ =
        "FROM ITEMPRECO WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' AND DTINIVGPREC = '" +
        periods[1].startIso + "'";
    ASSERT_EQ(demo.db().scalar("SELECT count(*) " + inPeriod_), std::to_string(kProducts));
    demo.db().scalar("UPDATE ITEMPRECO SET IDPROMOCAO = 'N'");

    flag_ = "S";
    all_ = "T";
    client.send(
        "SetUpdItemPrecoAlt",
        {rtl::Variant::ByRef(flag_), rtl::Variant::ByRef(empty_), rtl::Variant::ByRef(empty_),
         rtl::Variant::ByRef(empty_), rtl::Variant::ByRef(all_), rtl::Variant::Null(),
         rtl::Variant::FromBool(false), "0001", "001", rtl::Variant::FromDate(periods[1].start)});
    const auto deadline = std::chrono::steady_clock::now() + testsupport::kDeadline;
    while (!demo.db().writerActive()) {
      ASSERT_FALSE(client.readable(std::chrono::milliseconds(0)))
          << "the update was answered before its transaction was seen open";
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the update never started";
    }
  }

  std::string promoted(DemoServer& demo) {
    return demo.db().scalar("SELECT count(*) " + inPeriod_ + " AND IDPROMOCAO = 'S'");
  }
  // Journal rows of the update: one per item it changed.
  static std::string journaled(DemoServer& demo) {
    return demo.db().scalar("SELECT count(*) FROM ALTERACAOITEM");
  }

 private:
  std::string inPeriod_, flag_, all_, empty_;
};

TEST_P(CrashTest, SigtermDuringALongUpdateAnswersItAndExitsZero) {
  DemoServer demo(GetParam(), kProducts);
  auto client = demo.client();
  startLongUpdate(demo, *client);
  if (HasFatalFailure()) return;

  demo.process().signal(SIGTERM);
  EXPECT_EQ(describe(client->receive()), "[0, '', null]");
  EXPECT_NO_THROW(client->expectClosed());
  EXPECT_EQ(demo.process().waitExit(), 0) << demo.process().log();
  EXPECT_EQ(promoted(demo), std::to_string(kProducts));
  EXPECT_EQ(demo.db().scalar("SELECT count(*) FROM ALTERACAOLOG"), "1");
  EXPECT_EQ(journaled(demo), std::to_string(kProducts));
}

TEST_P(CrashTest, KillDuringALargeUpdateLeavesAllItemsChangedOrNone) {
  DemoServer demo(GetParam(), kProducts);
  auto client = demo.client();
  startLongUpdate(demo, *client);
  if (HasFatalFailure()) return;

  demo.process().signal(SIGKILL);
  EXPECT_EQ(demo.process().waitExit(), 128 + SIGKILL);
  // A PostgreSQL backend rolls back once it notices its client is gone.
  const auto deadline = std::chrono::steady_clock::now() + testsupport::kDeadline;
  while (demo.db().otherSessions())
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the server's sessions linger";

  const std::string seen = promoted(demo) + " items, " +
                           demo.db().scalar("SELECT count(*) FROM ALTERACAOLOG") + " audit, " +
                           journaled(demo) + " journal";
  RecordProperty("outcome", seen);
  const std::string all = std::to_string(kProducts);
  EXPECT_TRUE(seen == "0 items, 0 audit, 0 journal" ||
              seen == all + " items, 1 audit, " + all + " journal")
      << seen;
}

INSTANTIATE_TEST_SUITE_P(Engines, CrashTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
