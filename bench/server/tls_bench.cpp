// What TLS and logging in cost, measured side by side in one run: two vnd42400 servers in this
// process over one demo database, one plain and one speaking TLS (a self-signed certificate made
// for the run), both asking for a login. The clients are the screen's own channel
// (remote::RpcChannel), so both sides are measured by the same code:
//
// - the connection: TCP, the TLS handshake, the login, as a screen opens it;
// - one password check (Argon2id at the server's cost), in-process;
// - GetProdValid at 1 and 64 clients on each server, p50, p99 and calls per second; the target is
//   TLS within 1.3x of plain at p50.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "load_stats.h"
#include "running_server.h"
#include "remote/rpc_channel.h"
#include "rtl/dates.h"
#include "server/net/server.h"
#include "server/object/login.h"
#include "server/object/tabe_preco_object.h"
#include "server/storage/accounts.h"
#include "server/storage/demo_data.h"
#include "server/storage/passwords.h"
#include "server/storage/storage.h"

namespace bench {
namespace {

constexpr const char* kPassword = "senha-do-benchmark";

remote::Endpoint endpointOf(uint16_t port, const std::string& ca) {
  remote::Endpoint e;
  e.host = "localhost";
  e.port = port;
  e.serverName = "Vnd42400.rdmTabePreco";
  e.user = "bench";
  e.machine = "bench";
  e.password = kPassword;
  e.tls = !ca.empty();
  e.caFile = ca;
  return e;
}

void connections(uint16_t plain, uint16_t tls, const std::string& ca) {
  std::printf("\nopening a connection (TCP, TLS handshake, login), median of 30\n");
  for (const auto& [name, port, trust] :
       {std::tuple{"plain", plain, std::string()}, std::tuple{"TLS", tls, ca}}) {
    std::vector<double> ms;
    for (int i = 0; i < 30; ++i) {
      remote::RpcChannel channel;
      const auto t0 = Clock::now();
      channel.open(endpointOf(port, trust));
      ms.push_back(msSince(t0));
    }
    std::printf("  %-6s %8.2f ms\n", name, median(ms));
  }
}

void passwordCheck() {
  const std::string hash = server::hashPassword(kPassword);
  std::vector<double> ms;
  for (int i = 0; i < 10; ++i) {
    const auto t0 = Clock::now();
    if (!server::verifyPassword(hash, kPassword)) throw std::runtime_error("the check failed");
    ms.push_back(msSince(t0));
  }
  std::printf("\none password check: Argon2id, %llu passes over %zu MiB, 1 lane: %.1f ms (median "
              "of 10)\n",
              server::kPasswordPasses, server::kPasswordMemory >> 20, median(ms));
}

void smallCalls(uint16_t plain, uint16_t tls, const std::string& ca,
                const std::vector<std::string>& codes, double start) {
  std::printf("\nGetProdValid over the screen's channel\n");
  std::printf("  %-8s %34s %34s %8s\n", "clients", "plain", "TLS", "p50 TLS/plain");
  for (int clients : {1, 64}) {
    const int callsEach = std::max(100, 4000 / clients);
    LoadResult results[2];
    for (int side = 0; side < 2; ++side) {
      const remote::Endpoint endpoint = endpointOf(side ? tls : plain, side ? ca : "");
      results[side] = runLoad(clients, callsEach, [&] {
        auto channel = std::make_shared<remote::RpcChannel>();
        channel->open(endpoint);
        const auto call = [channel, &codes, start](int i) {
          channel->call("GetProdValid",
                        {"0001", "001", rtl::Variant::FromDate(start),
                         codes[static_cast<size_t>(i * 7919) % codes.size()]});
        };
        for (int i = 0; i < 20; ++i) call(i);
        return call;
      });
    }
    std::printf("  %-8d p50 %6.1f p99 %7.1f us %7.0f/s  p50 %6.1f p99 %7.1f us %7.0f/s  %6.2fx\n",
                clients, results[0].p50us, results[0].p99us, results[0].callsPerSecond,
                results[1].p50us, results[1].p99us, results[1].callsPerSecond,
                results[1].p50us / results[0].p50us);
  }
  std::printf("  target: TLS p50 within 1.30x of plain\n");
}

int run(int products, unsigned workers) {
  const auto scratch = std::filesystem::temp_directory_path() / "vnd-tls-bench";
  std::filesystem::remove_all(scratch);
  std::filesystem::create_directories(scratch);
  const std::string script = std::string(VND_SCRIPTS_DIR) + "/make-tls-cert localhost " +
                             scratch.string() + " >/dev/null";
  if (std::system(script.c_str()) != 0) throw std::runtime_error("make-tls-cert failed");
  const std::string ca = (scratch / "vnd42400.crt").string();

  auto storage = server::openStorage((scratch / "bench.db").string());
  storage->fillDemo(products);
  {
    auto c = storage->connection();
    server::Account account;
    account.access.account = "bench";
    account.access.allBranches = true;
    account.passwordHash = server::hashPassword(kPassword);
    server::addAccount(*c, account);
  }
  std::vector<std::string> codes;
  for (int n = 1; n <= products; ++n) codes.push_back(server::demoTreeCode(n));
  const double start = rtl::Date() - 30;  // the main table's period in force

  const server::TabePrecoObject object(*storage);
  server::Login login(*storage);
  server::ServerConfig config;
  config.port = 0;
  config.workers = workers;
  config.login = &login;
  Running plain(config, object);
  config.tlsCertFile = ca;
  config.tlsKeyFile = (scratch / "vnd42400.key").string();
  Running tls(config, object);
  std::printf("vnd42400 TLS and login: demo of %d products, %u workers\n", products, workers);

  passwordCheck();
  connections(plain.port, tls.port, ca);
  smallCalls(plain.port, tls.port, ca, codes, start);
  std::filesystem::remove_all(scratch);
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  CLI::App app("What TLS and logging in cost vnd42400", "tls_bench");
  int products = 20'000;
  unsigned workers = server::ServerConfig().workers;
  app.add_option("--products", products, "Demo products (default 20000)")
      ->check(CLI::Range(1, 1'000'000));
  app.add_option("--workers", workers, "Server pool threads (default 4)")->check(CLI::Range(1, 64));
  CLI11_PARSE(app, argc, argv);
  try {
    return bench::run(products, workers);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tls_bench: %s\n", e.what());
    return 1;
  }
}
