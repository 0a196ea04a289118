// What paging through the history costs at 100,000 products, side by side in one run, on
// SQLite (and on PostgreSQL when VND_PG_URI names an empty database). A demo of 100,000
// products; one change puts every item of the 100,000-item period of 0001/001 into the
// promotion. Then, each the median of 21 runs:
//
// - the first page of the change through the server: GetItensAlteracao(change, 0, 500) over the
//   screen's own channel (remote::RpcChannel, attached to Vnd42400.rdmHistorico) to a server in
//   this process, answer decoded;
// - the same 500 rows read directly: the storage's page query (changeItemPage) on one of its
//   connections, no server, no wire; the target is the first within 2x of this;
// - the same for the last page (offset 99,500), and the whole change read at once, for scale;
//
// and scrolling to the end: the 200 pages read through the server one after another, as the
// window reads them when the user holds Page Down, with the time of each page (median, slowest)
// and of all. Each page is one call on the user-interface thread: the window is held for the
// time of one page at a time, never for the whole list.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "load_stats.h"
#include "remote/rpc_channel.h"
#include "rtl/dates.h"
#include "running_server.h"
#include "server/net/server.h"
#include "server/object/calls.h"
#include "server/object/history_object.h"
#include "server/object/methods.h"
#include "server/storage/journal/journal_reader.h"
#include "server/storage/storage.h"

namespace bench {
namespace {

constexpr int kProducts = 100'000;
constexpr int kPage = 500;
constexpr int kRuns = 21;

// Puts every item of the main period into the promotion (after taking them all out, so that
// the change changes all of them) and returns the change's number.
int64_t changeAll(server::Storage& storage, const std::string& mainStart) {
  server::PromotionCall call;
  call.all = "T";
  call.branch = "0001";
  call.table = "001";
  rtl::TDateTime day = 0;
  rtl::TryParseIsoDate(mainStart, day);
  call.validityStart = day;
  const server::CallContext context{"bench", "bench", "bench"};
  for (const char* flag : {"N", "S"}) {
    call.promotion = flag;
    const server::Answer answer = server::methods::setUpdItemPrecoAlt(storage, call, context);
    if (answer.status != 0) throw std::runtime_error("the change was refused: " + answer.message);
  }
  auto connection = storage.connection();
  return connection->queryInteger("SELECT MAX(ID) FROM ALTERACAOLOG").value_or(0);
}

size_t rowsOf(const rtl::Variant& answer) {
  const auto& items = answer.asArray();
  if (items.size() != 3 || items[0].asInteger() != 0)
    throw std::runtime_error("GetItensAlteracao was refused");
  return items[2].asPacket()->rowCount();
}

double medianMs(const std::function<void()>& run) {
  run();  // warm
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    const auto t0 = Clock::now();
    run();
    ms.push_back(msSince(t0));
  }
  return median(ms);
}

void measure(const std::string& name, const std::string& target) {
  auto storage = server::openStorage(target);
  storage->fillDemo(kProducts);
  const std::string mainStart = rtl::FormatIsoDate(rtl::Date() - 30);
  const int64_t change = changeAll(*storage, mainStart);
  server::JournalEntry entry;
  {
    auto connection = storage->connection();
    entry = *server::findChange(*connection, change);
  }
  const server::HistoryObject object(*storage);
  Running running(server::ServerConfig{}, object);
  remote::RpcChannel channel;
  remote::Endpoint endpoint;
  endpoint.host = "127.0.0.1";
  endpoint.port = running.port;
  endpoint.serverName = "Vnd42400.rdmHistorico";
  channel.open(endpoint);

  const auto remotePage = [&](int64_t offset) {
    if (rowsOf(channel.call("GetItensAlteracao", {int32_t(change), int32_t(offset), kPage})) == 0)
      throw std::runtime_error("an empty page");
  };
  const auto directPage = [&](int64_t offset) {
    auto connection = storage->connection();
    if (server::changeItemPage(*connection, entry, offset, kPage).size() != kPage)
      throw std::runtime_error("a short page");
  };
  const int64_t last = entry.changed - kPage;
  const double firstRemote = medianMs([&] { remotePage(0); });
  const double firstDirect = medianMs([&] { directPage(0); });
  const double lastRemote = medianMs([&] { remotePage(last); });
  const double lastDirect = medianMs([&] { directPage(last); });
  const double whole = medianMs([&] {
    auto connection = storage->connection();
    server::changeItems(*connection, change);
  });

  std::vector<double> pages;
  const auto t0 = Clock::now();
  for (int64_t offset = 0; offset < entry.changed; offset += kPage) {
    const auto p0 = Clock::now();
    remotePage(offset);
    pages.push_back(msSince(p0));
  }
  const double all = msSince(t0);

  std::printf("\n%s: change %lld, %lld products, pages of %d rows\n", name.c_str(),
              static_cast<long long>(change), static_cast<long long>(entry.changed), kPage);
  std::printf("  %-28s %12s %12s %8s\n", "", "server", "direct", "ratio");
  std::printf("  %-28s %9.2f ms %9.2f ms %7.2fx\n", "first page", firstRemote, firstDirect,
              firstRemote / firstDirect);
  std::printf("  %-28s %9.2f ms %9.2f ms %7.2fx\n", "last page", lastRemote, lastDirect,
              lastRemote / lastDirect);
  std::printf("  %-28s %12s %9.2f ms\n", "whole change, read at once", "", whole);
  std::printf(
      "  scrolling to the end: %zu pages through the server, %.2f ms per page (median), "
      "slowest %.2f ms, %.0f ms in all\n",
      pages.size(), median(pages), percentile(pages, 1.0), all);
  std::printf("  target: the first page within 2x of the same rows read directly\n");
}

}  // namespace
}  // namespace bench

int main() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("history_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  try {
    bench::measure("SQLite", (dir / "history.db").string());
    if (const char* uri = std::getenv("VND_PG_URI"); uri && *uri) {
      bench::measure("PostgreSQL", uri);
    } else {
      std::fprintf(stderr, "VND_PG_URI not set: PostgreSQL not measured\n");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "history_bench: %s\n", e.what());
    std::filesystem::remove_all(dir);
    return 1;
  }
  std::filesystem::remove_all(dir);
  return 0;
}
