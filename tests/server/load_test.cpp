// Many clients at once against vnd42400 on each engine: every answer must be the one a lone
// client gets, and every update must land.

#include <gtest/gtest.h>

#include <thread>

#include "demo_server.h"

namespace servertest {
namespace {

using testsupport::describe;
using testsupport::describeInFull;

class LoadTest : public ::testing::TestWithParam<Engine> {};

struct Query {
  std::string method;
  std::vector<rtl::Variant> params;
  std::string expected;  // filled from a lone client before the load
};

TEST_P(LoadTest, EightClientsGetCorrectAnswersToAThousandMixedCallsEach) {
  constexpr int kClients = 8;
  constexpr int kCalls = 1000;
  DemoServer demo(GetParam(), 200);
  auto lone = demo.client();
  const std::vector<Period> periods = periodsOf(*lone, "0001", "001");
  ASSERT_GE(periods.size(), 2u);
  const rtl::Variant start = rtl::Variant::FromDate(periods[1].start);
  const auto items = testsupport::answerData(lone->call("GetAutItemPreco", {"0001", "001", start}));
  ASSERT_GE(items->rowCount(), static_cast<size_t>(kClients));

  // The format variable is only read by the server, so every query can share it.
  std::string format = "dd/mm/yyyy";
  std::vector<Query> queries = {
      {"GetFilial", {"", "T"}, {}},
      {"GetFilial", {"0002", ""}, {}},
      {"GetFilial", {"A1B2", ""}, {}},
      {"GetTabePrec", {"0001"}, {}},
      {"GetTabePrec", {"A1B2"}, {}},
      {"getVigencia", {"0001", "001", int32_t{0}, "T", rtl::Variant::ByRef(format)}, {}},
      {"getVigencia", {"0001", "001", start, "", rtl::Variant::ByRef(format)}, {}},
      {"GetAutItemPreco", {"0001", "001", start}, {}},
      {"GetProdValid", {"0001", "001", start, std::string(items->column(2).string(3))}, {}},
      {"GetProdValid", {"0001", "001", start, "00000000"}, {}},
      {"GetFilial", {int32_t{1}, ""}, {}},  // an error answer is an answer too
  };
  for (auto& q : queries) q.expected = describeInFull(lone->call(q.method, q.params));

  // Every update below then changes its row, so each one is recorded in the audit table.
  demo.db().scalar("UPDATE ITEMPRECO SET IDPROMOCAO = 'N'");

  // Each client also sets the promotion flag of its own product, alternating S and N.
  std::vector<std::string> failures(kClients);
  std::vector<std::thread> threads;
  for (int k = 0; k < kClients; ++k) {
    threads.emplace_back([&, k] {
      try {
        auto client = demo.client();
        std::string flag, empty, all, list = "_" + std::string(items->column(1).string(k)) + "_";
        for (int i = 0; i < kCalls && failures[k].empty(); ++i) {
          if (i % 5 == 4) {
            flag = (i / 5) % 2 == 0 ? "S" : "N";
            const std::vector<rtl::Variant> params{rtl::Variant::ByRef(flag),
                                                   rtl::Variant::ByRef(empty),
                                                   rtl::Variant::ByRef(empty),
                                                   rtl::Variant::ByRef(list),
                                                   rtl::Variant::ByRef(all),
                                                   rtl::Variant::Null(),
                                                   rtl::Variant::FromBool(true),
                                                   "0001",
                                                   "001",
                                                   start};
            const std::string got = describe(client->call("SetUpdItemPrecoAlt", params));
            if (got != "[0, '', null]") failures[k] = "update " + std::to_string(i) + ": " + got;
            continue;
          }
          const Query& q = queries[(i * 7 + k) % queries.size()];
          const std::string got = describeInFull(client->call(q.method, q.params));
          if (got != q.expected)
            failures[k] = q.method + " call " + std::to_string(i) + " got:\n" + got.substr(0, 500);
        }
      } catch (const std::exception& e) {
        failures[k] = std::string("exception: ") + e.what();
      }
    });
  }
  for (auto& t : threads) t.join();
  for (int k = 0; k < kClients; ++k) EXPECT_EQ(failures[k], "") << "client " << k;

  // The last update of every client was call 999, the 200th update: flag "N".
  const std::string codes = [&] {
    std::string in;
    for (int k = 0; k < kClients; ++k)
      in += std::string(k ? ", '" : "'") + std::string(items->column(1).string(k)) + "'";
    return in;
  }();
  EXPECT_EQ(demo.db().scalar("SELECT count(*) FROM ITEMPRECO WHERE CDFILIAL = '0001' AND "
                             "CDTABEPREC = '001' AND DTINIVGPREC = '" +
                             periods[1].startIso + "' AND IDPROMOCAO = 'N' AND CDPRODUTO IN (" +
                             codes + ")"),
            std::to_string(kClients));
  EXPECT_EQ(demo.db().scalar("SELECT count(*) FROM ALTERACAOLOG"),
            std::to_string(kClients * kCalls / 5));
}

INSTANTIATE_TEST_SUITE_P(Engines, LoadTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
