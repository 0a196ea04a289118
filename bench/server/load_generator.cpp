// vnd42400_load: the load generator of the application server. It serves a demo database
// in-process on a loopback port (the same server code as `vnd42400 serve`), drives it with
// blocking clients and prints each figure next to its floor measured in the same run:
//
//   small calls   GetProdValid with 1, 8 and 64 clients (calls/s, p50, p99) against a raw
//                 loopback round trip with an echo server plus the point query run directly;
//                 target: within 2x
//   bulk answer   GetAutItemPreco of a 100,000-item validity (ms, MB/s) against the same query
//                 run directly plus building and encoding the answer; target: within 1.5x
//   bulk updates  SetUpdItemPrecoAlt over 100,000 items (all and range mode) and a list of
//                 10,000, against the method's statements run in-process (and, for reference,
//                 its UPDATE statement alone); target: within 1.5x
//   journal       the same bulk updates with and without the journal (journal_cost.h);
//                 target: within 1.5x
//
// Usage: vnd42400_load [--db TARGET] [--products N] [--workers N]. Without --db, a temporary
// SQLite file.
// Build it in Release; figures from a sanitizer build mean little.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <latch>
#include <thread>

#include "bench_client.h"
#include "direct_sql.h"
#include "echo_server.h"
#include "journal_cost.h"
#include "load_stats.h"
#include "rpc/server_codec.h"
#include "rtl/dates.h"
#include "server/net/server.h"
#include "server/object/methods.h"
#include "server/object/tabe_preco_object.h"

namespace bench {
namespace {



// The journal's cost lists 10,000 products spread over the demo.
constexpr int kJournalCostProducts = 10'000;

// Times `run` `times` times and gives the median in ms.
double medianMs(int times, const std::function<void(int)>& run) {
  std::vector<double> ms;
  for (int i = 0; i < times; ++i) {
    const auto t0 = Clock::now();
    run(i);
    ms.push_back(msSince(t0));
  }
  return median(ms);
}

struct Setup {
  uint16_t port = 0;
  Validity validity;
  double start = 0;
  std::vector<std::string> treeCodes;  // of the validity's items, in order
  std::vector<std::string> productCodes;
};

std::unique_ptr<BenchClient> attachedClient(uint16_t port) {
  auto client = std::make_unique<BenchClient>(port);
  client->call("attach", {"Vnd42400.rdmTabePreco"});
  return client;
}

// The fair floor of a small call at a number of clients: the same point query run directly, by
// as many client threads, through a pool of as many database connections as the server runs
// lookups on (its workers), with the statement prepared once per connection as the server's
// is. What it does not have is the server: the network, the decoding, the dispatch, the packet.
LoadResult fairFloor(const std::string& target, unsigned workers, const Setup& s, int clients,
                     int callsEach) {
  server::StorageOptions options;
  options.connections = workers;
  auto storage = server::openStorage(target, options);
  return runLoad(clients, callsEach, [&] {
    const auto call = [&storage, &s](int i) {
      pointQuery(*storage, s.validity,
                 s.treeCodes[static_cast<size_t>(i * 7919) % s.treeCodes.size()]);
    };
    for (int i = 0; i < 20; ++i) call(i);
    return call;
  });
}

void smallCalls(server::Storage& storage, const Setup& s, const std::string& target,
                unsigned workers) {
  std::printf("\nGetProdValid (one product by tree code)\n");
  std::vector<double> query;
  for (int i = 0; i < 2000; ++i) {
    const auto t0 = Clock::now();
    pointQuery(storage, s.validity, s.treeCodes[static_cast<size_t>(i) % s.treeCodes.size()]);
    query.push_back(msSince(t0) * 1000);
  }
  const double queryP50 = percentile(query, 0.5);
  std::printf("  floor: point query run directly        p50 %7.1f us  p99 %7.1f us\n", queryP50,
              percentile(query, 0.99));

  EchoServer echo;
  rpc::OutBuffer sample;
  rpc::encodeRequest(sample, 1, "GetProdValid",
                     {"0001", "001", rtl::Variant::FromDate(s.start), s.treeCodes[0]});
  const std::string message(sample.view());

  std::printf("  %-8s %28s %34s %8s\n", "clients", "echo round trip (floor)",
              "GetProdValid over the wire", "ratio");
  for (int clients : {1, 8, 64}) {
    const int callsEach = std::max(100, 4000 / clients);
    const LoadResult floor = runLoad(clients, callsEach, [&] {
      auto client = std::make_shared<BenchClient>(echo.port());
      for (int i = 0; i < 20; ++i) client->echo(message);
      return [client, &message](int) { client->echo(message); };
    });
    const LoadResult wire = runLoad(clients, callsEach, [&] {
      std::shared_ptr<BenchClient> client = attachedClient(s.port);
      const auto call = [client, &s](int i) {
        const std::string& code = s.treeCodes[static_cast<size_t>(i * 7919) % s.treeCodes.size()];
        client->call("GetProdValid", {"0001", "001", rtl::Variant::FromDate(s.start), code});
      };
      for (int i = 0; i < 20; ++i) call(i);
      return call;
    });
    // Latency against one echo round trip plus one point query at the same client count.
    const double echoAndQuery = floor.p50us + queryP50;
    std::printf("  %-8d p50 %6.1f p99 %7.1f us %7.0f/s   p50 %6.1f p99 %7.1f us %7.0f/s  %5.2fx\n",
                clients, floor.p50us, floor.p99us, floor.callsPerSecond, wire.p50us, wire.p99us,
                wire.callsPerSecond, wire.p50us / echoAndQuery);
    if (clients == 1) continue;
    const LoadResult fair = fairFloor(target, workers, s, clients, callsEach);
    std::printf("  %-8s fair floor: p50 %6.1f p99 %7.1f us %7.0f/s      "
                "wire/fair: p50 %5.2fx  throughput %4.2f of the floor's\n",
                "", fair.p50us, fair.p99us, fair.callsPerSecond, wire.p50us / fair.p50us,
                wire.callsPerSecond / fair.callsPerSecond);
  }
  std::printf("  ratio: GetProdValid p50 / (echo p50 + point query p50); target <= 2.00x\n");
  std::printf(
      "  fair floor: the point query from as many client threads through %u database\n"
      "  connections, as the server runs lookups; target p50 <= 1.50x and throughput >= 2/3\n",
      workers);
}

// The methods' bodies run in-process, with no network and no dispatch: every statement a method
// runs (checks, audit, journal when on).
const server::CallContext kCaller{"bench", "", ""};

void bulkAnswer(server::Storage& storage, const Setup& s) {
  std::printf("\nGetAutItemPreco (%zu items)\n", s.treeCodes.size());
  rpc::OutBuffer out;
  size_t encodedBytes = 0;
  const double sqlMs = medianMs(5, [&](int) { itemListSql(storage, s.validity); });
  const double floorMs =
      medianMs(5, [&](int) { encodedBytes = itemListEncoded(storage, s.validity, out); });
  const double methodMs = medianMs(5, [&](int) {
    const server::Answer answer =
        server::methods::getAutItemPreco(storage, {"0001", "001", s.start});
    out.clear();
    rpc::encodeAnswer(out, 1, answer.status, answer.message, answer.data ? &*answer.data : nullptr);
  });
  auto client = attachedClient(s.port);
  const double wireMs = medianMs(5, [&](int) {
    client->call("GetAutItemPreco", {"0001", "001", rtl::Variant::FromDate(s.start)});
  });
  const double mb = client->lastResponseBytes() / 1e6;
  std::printf("  floor: query run directly              %8.1f ms\n", sqlMs);
  std::printf("  floor: query + packet + encoding       %8.1f ms  (%.2f MB)\n", floorMs,
              encodedBytes / 1e6);
  std::printf("  the method in-process + encoding       %8.1f ms\n", methodMs);
  std::printf(
      "  over the wire, decoded by the client   %8.1f ms  %.2f MB  %.1f MB/s  %5.2fx (%.2fx)\n",
      wireMs, mb, mb / (wireMs / 1000), wireMs / floorMs, wireMs / methodMs);
  std::printf(
      "  ratio: wire / (query + encoding); target <= 1.50x; in brackets, against the\n"
      "  method in-process + encoding\n");
}

void bulkUpdates(server::Storage& storage, const Setup& s) {
  std::printf("\nSetUpdItemPrecoAlt\n");
  std::string list = "_";
  const size_t listed = std::min<size_t>(10'000, s.productCodes.size());
  for (size_t i = 0; i < listed; ++i) list += s.productCodes[i] + "_";
  struct Mode {
    const char* name;
    std::string first, last, list, all;
    bool listMode;
  };
  const std::vector<Mode> modes = {
      {"all", "", "", "", "T", false},
      {"range", s.treeCodes.front(), s.treeCodes.back(), "", "", false},
      {"list", "", "", list, "", true},
  };
  std::printf("  %-6s %7s  %14s %14s %14s  %s\n", "mode", "items", "UPDATE alone", "the method",
              "over the wire", "wire / method (UPDATE alone)");
  auto client = attachedClient(s.port);
  for (const Mode& mode : modes) {
    // Alternating flags, so that every run changes every selected row.
    int64_t changed = 0;
    const double updateMs = medianMs(4, [&](int i) {
      changed = updateItems(storage, s.validity, i % 2 ? "N" : "S",
                            {mode.first, mode.last, mode.list, mode.all});
    });
    const double methodMs = medianMs(4, [&](int i) {
      server::PromotionCall call;
      call.promotion = i % 2 ? "N" : "S";
      call.first = mode.first;
      call.last = mode.last;
      call.list = mode.list;
      call.all = mode.all;
      call.listMode = mode.listMode;
      call.branch = "0001";
      call.table = "001";
      call.validityStart = s.start;
      const server::Answer answer = server::methods::setUpdItemPrecoAlt(storage, call, kCaller);
      if (answer.status != 0) throw std::runtime_error("refused: " + answer.message);
    });
    const double wireMs = medianMs(4, [&](int i) {
      std::string flag = i % 2 ? "N" : "S";
      Mode a = mode;
      client->call(
          "SetUpdItemPrecoAlt",
          {rtl::Variant::ByRef(flag), rtl::Variant::ByRef(a.first), rtl::Variant::ByRef(a.last),
           rtl::Variant::ByRef(a.list), rtl::Variant::ByRef(a.all), rtl::Variant::Null(),
           rtl::Variant::FromBool(mode.listMode), "0001", "001", rtl::Variant::FromDate(s.start)});
    });
    std::printf("  %-6s %7lld  %11.1f ms %11.1f ms %11.1f ms  %5.2fx (%.2fx)\n", mode.name,
                static_cast<long long>(changed), updateMs, methodMs, wireMs, wireMs / methodMs,
                wireMs / updateMs);
  }
  std::printf(
      "  ratio: wire / the method's statements run in-process; target <= 1.50x. In brackets,\n"
      "  against the UPDATE alone: the rest is the method's own checks, audit and journal.\n");
}

Setup discover(uint16_t port) {
  Setup s;
  s.port = port;
  auto client = attachedClient(port);
  std::string format = "yyyy-mm-dd";
  const auto periods =
      client->call("getVigencia", {"0001", "001", int32_t{0}, "T", rtl::Variant::ByRef(format)});
  const auto data = periods.result.asArray()[2].asPacket();
  if (!data || data->rowCount() < 2) throw std::runtime_error("the demo has no current period");
  s.validity = {"0001", "001", std::string(data->column(0).string(1))};
  if (!rtl::TryParseIsoDate(s.validity.startIso, s.start))
    throw std::runtime_error("bad start date " + s.validity.startIso);
  const auto items =
      client->call("GetAutItemPreco", {"0001", "001", rtl::Variant::FromDate(s.start)});
  const auto rows = items.result.asArray()[2].asPacket();
  for (size_t row = 0; row < rows->rowCount(); ++row) {
    s.productCodes.emplace_back(rows->column(1).string(row));
    s.treeCodes.emplace_back(rows->column(2).string(row));
  }
  return s;
}

int run(const std::string& target, int products, unsigned workers) {
  // As `vnd42400 serve` opens it: a connection for each thread of its two pools.
  server::StorageOptions options;
  options.connections = 2 * size_t{workers};
  auto storage = server::openStorage(target, options);
  auto t0 = Clock::now();
  storage->fillDemo(products);
  std::printf("vnd42400 load: %s, demo of %d products filled in %.1f s\n", target.c_str(), products,
              msSince(t0) / 1000);

  const server::TabePrecoObject object(*storage);
  server::ServerConfig config;
  config.port = 0;
  config.workers = workers;
  server::Server server(config, {&object});
  const std::string bound = server.listen(false);
  std::thread runner([&] { server.run(); });
  const uint16_t port = static_cast<uint16_t>(std::stoi(bound.substr(bound.rfind(':') + 1)));
  try {
    const Setup setup = discover(port);
    smallCalls(*storage, setup, target, workers);
    bulkAnswer(*storage, setup);
    bulkUpdates(*storage, setup);
    std::printf("\n");
    if (products >= kJournalCostProducts)
      printJournalCost(storage->engine() == server::db::Engine::Postgres ? "postgres" : "sqlite",
                       target, *storage, products, setup.validity.startIso);
    else
      std::printf("journal cost: needs a demo of %d products or more\n", kJournalCostProducts);
  } catch (...) {
    server.stop();
    runner.join();
    throw;
  }
  server.stop();
  runner.join();
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  CLI::App app("Load generator of vnd42400", "vnd42400_load");
  std::string target;
  int products = 100'000;
  app.add_option("--db", target, "SQLite file or postgresql:// URI (default: a temporary file)");
  app.add_option("--products", products, "Demo products (default 100000)")
      ->check(CLI::Range(1, 10'000'000));
  unsigned workers = server::ServerConfig().workers;
  app.add_option("--workers", workers, "Server pool threads (default 4)")->check(CLI::Range(1, 64));
  CLI11_PARSE(app, argc, argv);

  std::filesystem::path scratch;
  if (target.empty()) {
    char name[] = "/tmp/vnd-load.XXXXXX";
    if (!::mkdtemp(name)) return 1;
    scratch = name;
    target = (scratch / "load.db").string();
  }
  int status = 1;
  try {
    status = bench::run(target, products, workers);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vnd42400_load: %s\n", e.what());
  }
  if (!scratch.empty()) std::filesystem::remove_all(scratch);
  return status;
}
