// Several threads calling the object at once, as the network layer's workers do, on a SQLite
// file (a connection per thread) and on PostgreSQL (the pool): every call succeeds, readers
// never see half a change, prefixes never double, every change is recorded once.

#include <atomic>
#include <mutex>
#include <thread>

#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Concurrency : public StorageTest {};

TEST_P(Concurrency, ParallelChangesAndReadsStayAllOrNone) {
  {
    auto c = storage_->connection();
    c->execute("UPDATE ITEMPRECO SET IDPROMOCAO = 'N'");
  }
  constexpr int kRounds = 20;
  std::mutex mutex;
  std::vector<std::string> problems;
  auto report = [&](std::string problem) {
    std::lock_guard lock(mutex);
    problems.push_back(std::move(problem));
  };
  auto expectOk = [&](const server::Answer& answer, const char* what) {
    if (answer.status != 0) report(std::string(what) + ": " + answer.message);
  };
  const char* starts[] = {"2024-01-01", "2023-10-01"};
  const int days[] = {1, 1};
  const int months[] = {1, 10};
  const int years[] = {2024, 2023};

  std::vector<std::thread> threads;
  for (int w = 0; w < 4; ++w) {
    threads.emplace_back([&, w] {
      try {
        for (int round = 0; round < kRounds; ++round) {
          const int v = w % 2;
          expectOk(
              call("SetUpdItemPrecoAlt",
                   {ref(round % 2 ? "N" : "S"), ref(""), ref(""), ref(""), ref("T"), null(),
                    boolean(false), str("0001"), str("001"), date(years[v], months[v], days[v])}),
              "update");
        }
      } catch (const std::exception& error) {
        report(std::string("writer: ") + error.what());
      }
    });
  }
  for (int r = 0; r < 2; ++r) {
    threads.emplace_back([&, r] {
      try {
        for (int round = 0; round < kRounds * 2; ++round) {
          const std::string flags = promotions("0001", "001", starts[r]);
          const bool allS = flags.find("=N") == std::string::npos;
          const bool allN = flags.find("=S") == std::string::npos;
          if (!allS && !allN) report("half a change seen: " + flags);
          const server::Answer items =
              call("GetAutItemPreco", {str("0001"), str("001"), date(years[r], months[r], 1)});
          if (!items.data || items.data->rowCount() != 6) report("GetAutItemPreco lost rows");
        }
      } catch (const std::exception& error) {
        report(std::string("reader: ") + error.what());
      }
    });
  }
  for (int p = 0; p < 2; ++p) {
    threads.emplace_back([&] {
      try {
        const std::string list = productList({"PRD0000001"});
        for (int round = 0; round < kRounds; ++round) {
          expectOk(call("SetAddPrefixo", {ref("X "), ref(""), ref(""), ref(list), ref("")}),
                   "add prefix");
          const server::Answer product =
              call("GetProdValid", {str("0001"), str("001"), date(2024, 1, 1), str("01020001")});
          const std::string name = product.data && product.data->rowCount() == 1
                                       ? std::string(product.data->column(2).string(0))
                                       : "<none>";
          if (name != "Café torrado" && name != "X Café torrado") report("name " + name);
          expectOk(call("SetDelPrefixo", {ref("X "), ref(""), ref(""), ref(list), ref("")}),
                   "clear prefix");
        }
      } catch (const std::exception& error) {
        report(std::string("prefix: ") + error.what());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(problems, std::vector<std::string>{});
  // Every writer ends with "N"; the last prefix call of all is a clear.
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"),
            "AB        =N PRD0000001=N PRD0000002=N PRD0000003=N PRD0000004=N PRD0000005=N");
  EXPECT_EQ(dump(*storage_, "SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = 'PRD0000001'"),
            "Café torrado\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT DSMETODO, COUNT(*) FROM ALTERACAOLOG GROUP BY DSMETODO ORDER BY DSMETODO"),
            "SetAddPrefixo|40\nSetDelPrefixo|40\nSetUpdItemPrecoAlt|80\n");
  // Each update of a whole validity found its six items all in one state (never half of a
  // concurrent change) and changed all six or none; no audit row lost its count.
  EXPECT_EQ(dump(*storage_,
                 "SELECT COUNT(*) FROM ALTERACAOLOG WHERE DSMETODO = 'SetUpdItemPrecoAlt' AND "
                 "(QTLINHAS + QTINALTERADAS <> 6 OR QTLINHAS NOT IN (0, 6))"),
            "0\n");
  // The journal holds exactly the rows the updates changed.
  EXPECT_EQ(dump(*storage_,
                 "SELECT (SELECT SUM(QTLINHAS) FROM ALTERACAOLOG) - (SELECT COUNT(*) FROM "
                 "ALTERACAOITEM)"),
            "0\n");
}

INSTANTIATE_TEST_SUITE_P(Engines, Concurrency,
                         ::testing::Values(Backend::SqliteFile, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
