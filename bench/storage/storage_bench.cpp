// Timings of the storage's bulk paths on a demo database of 100,000 products, on a SQLite file
// and, when VND_PG_URI names an empty database, on PostgreSQL:
//
//   Fill            fillDemo(100000): schema, products, 37 validity periods (300,000 items in
//                   the main table's periods)
//   UpdateAll       SetUpdItemPrecoAlt over a 100,000-item period, all mode
//   UpdateRange     the same in range mode, the range covering every product
//   UpdateList      the same in list mode with 10,000 codes (list bound as one JSON array)
//   DirectUpdate    the floor: the bare UPDATE of the 100,000 items, one transaction
//   ListJson        the bare UPDATE of 10,000 listed items, the list bound as JSON
//   ListOther       the same with the alternative: SQLite, a temporary table filled by a
//                   prepared insert; PostgreSQL, a text[] parameter with unnest
//   Prune           pruneJournal of the rows of 5 whole-period changes (500,000 rows), the
//                   changes made untimed before each run
//   Items           GetAutItemPreco of the 100,000-item period
//   ProdValid       GetProdValid of one product
//
// Before the benchmarks it prints what the journal costs the bulk updates (journal_cost.h).
//
// Usage: storage_bench [--benchmark_filter=...] [--no-journal-cost]; run from a release build.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>

#include <nlohmann/json.hpp>
#include "journal_cost.h"
#include "rtl/dates.h"
#include "server/storage/db/dialect.h"

#include "server/object/methods.h"
#include "server/storage/demo_data.h"
#include "server/storage/journal/prune.h"
#include "server/storage/storage.h"

namespace {

constexpr int kProducts = 100'000;
constexpr int kListCodes = 10'000;

struct Target {
  std::string name;
  std::unique_ptr<server::Storage> storage;
  std::string mainStart;  // ISO start of the in-force period of 0001/001
};

double day(const std::string& iso) {
  double days = 0;
  rtl::TryParseIsoDate(iso, days);
  return days;
}

// The update of 0001/001 at the main start, without a selection yet.
server::PromotionCall promotion(const Target& t, const std::string& flag) {
  server::PromotionCall call;
  call.promotion = flag;
  call.branch = "0001";
  call.table = "001";
  call.validityStart = day(t.mainStart);
  return call;
}

const server::CallContext kCaller{"bench", "", ""};

std::string listOf(int count) {
  std::string list = "_";
  for (int n = 1; n <= count; ++n) list += server::demoProductCode(n * (kProducts / count)) + "_";
  return list;
}

void open(Target& t, const std::string& target) {
  t.storage = server::openStorage(target);
  t.mainStart = rtl::FormatIsoDate(rtl::Date() - 30);  // shift 0 for the main table
}

void Fill(benchmark::State& state, Target* t) {
  for (auto _ : state) t->storage->fillDemo(kProducts);
}

void Update(benchmark::State& state, Target* t, int mode) {
  const std::string list = listOf(kListCodes);
  int round = 0;
  for (auto _ : state) {
    const std::string promo = round++ % 2 ? "N" : "S";
    server::PromotionCall call = promotion(*t, promo);
    if (mode == 0) call.all = "T";
    if (mode == 1) call.first = "00", call.last = "99";
    if (mode == 2) call.list = list, call.listMode = true;
    const server::Answer answer = server::methods::setUpdItemPrecoAlt(*t->storage, call, kCaller);
    if (answer.status != 0) state.SkipWithError(answer.message.c_str());
  }
}

void DirectUpdate(benchmark::State& state, Target* t) {
  int round = 0;
  for (auto _ : state) {
    auto c = t->storage->connection();
    server::db::Transaction tx(*c, server::db::TxMode::Write);
    c->execute(
        "UPDATE ITEMPRECO SET IDPROMOCAO = ? WHERE CDFILIAL = ? AND CDTABEPREC = ? AND "
        "DTINIVGPREC = ?",
        {std::string(round++ % 2 ? "N" : "S"), std::string("0001"), std::string("001"),
         t->mainStart});
    tx.commit();
  }
}

// The bare list UPDATE with the codes bound as JSON (`json`) or the other way.
void ListUpdate(benchmark::State& state, Target* t, bool json) {
  std::vector<std::string> codes;
  for (int n = 1; n <= kListCodes; ++n)
    codes.push_back(server::demoProductCode(n * (kProducts / kListCodes)));
  const bool sqlite = t->storage->engine() == server::db::Engine::Sqlite;
  int round = 0;
  for (auto _ : state) {
    auto c = t->storage->connection();
    server::db::Transaction tx(*c, server::db::TxMode::Write);
    std::string source;
    server::db::Params params{std::string(round++ % 2 ? "N" : "S"), std::string("0001"),
                              std::string("001"), t->mainStart};
    if (json) {
      params.emplace_back(std::in_place_type<std::string>, nlohmann::json(codes).dump());
      source = "SELECT CAST(value AS CHAR(10)) FROM (" +
               server::db::jsonTextList(t->storage->engine()) + ") AS lista";
    } else if (sqlite) {
      c->run("CREATE TEMP TABLE IF NOT EXISTS lista (code TEXT)");
      c->execute("DELETE FROM lista");
      for (const std::string& code : codes) c->execute("INSERT INTO lista VALUES (?)", {code});
      source = "SELECT code FROM lista";
    } else {
      std::string array = "{";
      for (const std::string& code : codes)
        array += (array.size() > 1 ? ",\"" : "\"") + code + "\"";
      array += "}";
      params.emplace_back(std::in_place_type<std::string>, array);
      source = "SELECT CAST(unnest(CAST(? AS text[])) AS CHAR(10))";
    }
    c->execute(
        "UPDATE ITEMPRECO SET IDPROMOCAO = ? WHERE CDFILIAL = ? AND CDTABEPREC = ? AND "
        "DTINIVGPREC = ? AND CDPRODUTO IN (" +
            source + ")",
        params);
    tx.commit();
  }
}

void Prune(benchmark::State& state, Target* t) {
  constexpr int kChanges = 5;
  constexpr const char* kAll = "2999-01-01 00:00:00.000";
  server::pruneJournal(*t->storage, kAll);  // what the other benchmarks journaled
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int n = 0; n < kChanges; ++n) {
      server::PromotionCall call = promotion(*t, round++ % 2 ? "N" : "S");
      call.all = "T";
      const server::Answer answer = server::methods::setUpdItemPrecoAlt(*t->storage, call, kCaller);
      if (answer.status != 0) state.SkipWithError(answer.message.c_str());
    }
    state.ResumeTiming();
    const server::PruneOutcome outcome = server::pruneJournal(*t->storage, kAll);
    if (outcome.changes != kChanges) state.SkipWithError("changes left");
    state.counters["rows"] = static_cast<double>(outcome.rows);
  }
}

void Items(benchmark::State& state, Target* t) {
  for (auto _ : state) {
    const server::Answer answer =
        server::methods::getAutItemPreco(*t->storage, {"0001", "001", day(t->mainStart)});
    if (!answer.data || answer.data->rowCount() != kProducts) state.SkipWithError("rows");
  }
}

void ProdValid(benchmark::State& state, Target* t) {
  int n = 0;
  for (auto _ : state) {
    const std::string tree = server::demoTreeCode(1 + (n++ * 7919) % kProducts);
    const server::Answer answer = server::methods::getProdValid(
        *t->storage, {"0001", "001", day(t->mainStart),
                      tree.substr(0, 2) + "." + tree.substr(2, 2) + "." + tree.substr(4)});
    if (!answer.data || answer.data->rowCount() != 1) state.SkipWithError("not found");
  }
}

void registerAll(Target* t) {
  const std::string p = t->name + "/";
  benchmark::RegisterBenchmark((p + "Fill").c_str(), Fill, t)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "UpdateAll").c_str(), Update, t, 0)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "UpdateRange").c_str(), Update, t, 1)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "UpdateList").c_str(), Update, t, 2)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "DirectUpdate").c_str(), DirectUpdate, t)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "ListJson").c_str(), ListUpdate, t, true)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "ListOther").c_str(), ListUpdate, t, false)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "Prune").c_str(), Prune, t)
      ->Iterations(3)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "Items").c_str(), Items, t)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((p + "ProdValid").c_str(), ProdValid, t)
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  bool journalCost = true;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) != "--no-journal-cost") continue;
    journalCost = false;
    std::copy(argv + i + 1, argv + argc, argv + i);
    --argc;
    break;
  }
  const auto folder = std::filesystem::temp_directory_path() / "vnd_storage_bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  Target sqlite{"sqlite", nullptr, {}};
  open(sqlite, (folder / "bench.db").string());
  sqlite.storage->fillDemo(kProducts);
  if (journalCost)
    bench::printJournalCost(sqlite.name, (folder / "bench.db").string(), *sqlite.storage, kProducts,
                            sqlite.mainStart);
  registerAll(&sqlite);

  Target postgres{"postgres", nullptr, {}};
  if (const char* uri = std::getenv("VND_PG_URI"); uri && *uri) {
    open(postgres, uri);
    postgres.storage->fillDemo(kProducts);
    if (journalCost)
      bench::printJournalCost(postgres.name, uri, *postgres.storage, kProducts, postgres.mainStart);
    registerAll(&postgres);
  } else {
    std::cerr << "VND_PG_URI not set: PostgreSQL not measured\n";
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
