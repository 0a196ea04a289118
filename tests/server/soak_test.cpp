// Soak: 64 clients against one vnd42400 on each engine for a few minutes (VND_SOAK_SECONDS per
// engine, 120 by default), each doing the screen's lookups and, every fifth call, an update of
// its own product. Every answer must be the one a lone client gets, and the server must not
// grow: its resident memory after the warm-up and at the end are compared. The run prints the
// calls completed, the errors, the latency percentiles and the memory. Opt-in (label soak):
// build with the release preset for figures that mean something (scripts/test-soak).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>

#include "demo_server.h"

namespace servertest {
namespace {

using Clock = std::chrono::steady_clock;
using testsupport::describe;
using testsupport::describeInFull;

constexpr int kClients = 64;
constexpr int kProducts = 1000;

std::chrono::seconds soakDuration() {
  const char* text = std::getenv("VND_SOAK_SECONDS");
  const int seconds = text ? std::atoi(text) : 0;
  return std::chrono::seconds(seconds > 0 ? seconds : 120);
}

// Resident memory of a process, in KiB, from /proc.
long residentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

struct Query {
  std::string method;
  std::vector<rtl::Variant> params;
  std::string expected;  // from a lone client before the load
};

// What one client saw: its call durations in microseconds and its failures.
struct ClientRecord {
  std::vector<uint32_t> micros;
  long errors = 0;
  std::string firstError;
};

class SoakTest : public ::testing::TestWithParam<Engine> {};

TEST_P(SoakTest, SixtyFourClientsRunMixedCallsAndUpdatesWithoutErrorsOrGrowth) {
  DemoServer demo(GetParam(), kProducts);
  const pid_t pid = demo.process().pid();
  auto lone = demo.client();
  const Period period = periodsOf(*lone, "0001", "001").at(1);
  const rtl::Variant start = rtl::Variant::FromDate(period.start);
  const auto items = testsupport::answerData(lone->call("GetAutItemPreco", {"0001", "001", start}));
  ASSERT_GE(items->rowCount(), static_cast<size_t>(kClients));

  std::string format = "dd/mm/yyyy";  // only read by the server: every query can share it
  std::vector<Query> queries = {
      {"GetFilial", {"", "T"}, {}},
      {"GetFilial", {"0002", ""}, {}},
      {"GetTabePrec", {"0001"}, {}},
      {"getVigencia", {"0001", "001", int32_t{0}, "T", rtl::Variant::ByRef(format)}, {}},
      {"getVigencia", {"0001", "001", start, "", rtl::Variant::ByRef(format)}, {}},
      {"GetAutItemPreco", {"0001", "001", start}, {}},
      {"GetProdValid", {"0001", "001", start, std::string(items->column(2).string(7))}, {}},
      {"GetProdValid", {"0001", "001", start, "00000000"}, {}},
      {"GetFilial", {int32_t{1}, ""}, {}},  // an error answer is an answer too
  };
  for (auto& q : queries) q.expected = describeInFull(lone->call(q.method, q.params));
  lone.reset();

  const long rssAtStart = residentKiB(pid);
  const auto duration = soakDuration();
  const auto began = Clock::now();
  const auto warmedUp = began + duration / 10;
  const auto end = began + duration;
  std::atomic<long> rssAfterWarmUp{-1};
  std::vector<ClientRecord> records(kClients);
  std::vector<std::thread> threads;
  for (int k = 0; k < kClients; ++k) {
    threads.emplace_back([&, k] {
      ClientRecord& record = records[k];
      auto fail = [&](const std::string& what) {
        if (record.errors++ == 0) record.firstError = what;
      };
      try {
        auto client = demo.client();
        std::string flag, empty, all, list = "_" + std::string(items->column(1).string(k)) + "_";
        for (long i = 0; Clock::now() < end; ++i) {
          if (k == 0 && rssAfterWarmUp < 0 && Clock::now() >= warmedUp)
            rssAfterWarmUp = residentKiB(pid);
          const auto t0 = Clock::now();
          std::string got, expected;
          if (i % 5 == 4) {
            flag = (i / 5) % 2 == 0 ? "S" : "N";
            got = describe(client->call(
                "SetUpdItemPrecoAlt",
                {rtl::Variant::ByRef(flag), rtl::Variant::ByRef(empty), rtl::Variant::ByRef(empty),
                 rtl::Variant::ByRef(list), rtl::Variant::ByRef(all), rtl::Variant::Null(),
                 rtl::Variant::FromBool(true), "0001", "001", start}));
            expected = "[0, '', null]";
          } else {
            const Query& q = queries[(i * 7 + k) % queries.size()];
            got = describeInFull(client->call(q.method, q.params));
            expected = q.expected;
          }
          record.micros.push_back(static_cast<uint32_t>(
              std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count()));
          if (got != expected) fail("call " + std::to_string(i) + " got: " + got.substr(0, 300));
        }
      } catch (const std::exception& e) {
        fail(std::string("exception: ") + e.what());
      }
    });
  }
  for (auto& t : threads) t.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
  const long rssAtEnd = residentKiB(pid);

  std::vector<uint32_t> micros;
  long errors = 0;
  for (int k = 0; k < kClients; ++k) {
    micros.insert(micros.end(), records[k].micros.begin(), records[k].micros.end());
    errors += records[k].errors;
    EXPECT_EQ(records[k].errors, 0) << "client " << k << ": " << records[k].firstError;
  }
  ASSERT_FALSE(micros.empty());
  std::sort(micros.begin(), micros.end());
  auto percentile = [&](double p) {
    return micros[std::min(micros.size() - 1, static_cast<size_t>(p * micros.size()))] / 1000.0;
  };
  char line[512];
  std::snprintf(line, sizeof line,
                "soak %s: %d clients, %zu calls in %.1f s (%.0f/s), %ld errors, latency p50 "
                "%.2f ms p99 %.2f ms max %.2f ms; server RSS %.1f MiB at start, %.1f MiB after "
                "the warm-up, %.1f MiB at the end",
                engineName(GetParam()), kClients, micros.size(), seconds, micros.size() / seconds,
                errors, percentile(0.50), percentile(0.99), micros.back() / 1000.0,
                rssAtStart / 1024.0, rssAfterWarmUp / 1024.0, rssAtEnd / 1024.0);
  std::cout << line << std::endl;
  RecordProperty("summary", line);

  EXPECT_EQ(errors, 0);
  // Connections, buffers and caches are all in place after the warm-up; from then on the
  // server must not grow beyond allocator noise.
  ASSERT_GT(rssAfterWarmUp, 0);
  EXPECT_LT(rssAtEnd, rssAfterWarmUp + std::max(16 * 1024L, rssAfterWarmUp / 5))
      << "the server grew from " << rssAfterWarmUp << " KiB to " << rssAtEnd << " KiB";
  EXPECT_TRUE(demo.process().running());
}

INSTANTIATE_TEST_SUITE_P(Engines, SoakTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
