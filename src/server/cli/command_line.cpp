#include "server/cli/command_line.h"

#include <CLI/CLI.hpp>
#include <asio/ip/address.hpp>

#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

#include "server/cli/account_commands.h"
#include "server/cli/journal_command.h"
#include "server/net/call_log.h"
#include "server/net/listen_address.h"
#include "server/net/server.h"
#include "server/object/tabe_preco_object.h"
#include "server/storage/demo_data.h"
#include "server/storage/storage.h"

namespace server {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The token is the file's content without trailing blanks and line ends; an empty one is a
// mistake rather than a wish to serve without a token.
std::string readToken(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read token file " + path);
  std::ostringstream content;
  content << in.rdbuf();
  std::string token = content.str();
  while (!token.empty() && static_cast<unsigned char>(token.back()) <= ' ') token.pop_back();
  if (token.empty()) throw std::runtime_error("token file " + path + " is empty");
  return token;
}

struct Options {
  std::string db;
  int products = 2000;
  std::string listen = "127.0.0.1:2110";
  std::string tokenFile;
  size_t maxConnections = 256;
  size_t maxReceivingMiB = ServerConfig().maxReceivingBytes >> 20;
  size_t maxSendingMiB = ServerConfig().maxSendingBytes >> 20;
  double lockWaitSeconds = 30;
  unsigned workers = ServerConfig().workers;
  std::string tlsCert;
  std::string tlsKey;
  bool insecure = false;
};

// Whether `host` names this machine only.
bool isLoopback(const std::string& host) {
  if (host == "localhost") return true;
  std::error_code ec;
  const auto address = asio::ip::make_address(host, ec);
  return !ec && address.is_loopback();
}

// What a server reachable from the network lacks to be safe there, or "" when nothing.
std::string exposure(const Options& options, bool accounts) {
  std::string missing;
  if (options.tlsCert.empty()) missing = "TLS (--tls-cert, --tls-key)";
  if (!accounts)
    missing += std::string(missing.empty() ? "" : " and ") + "accounts (vnd42400 user add)";
  return missing;
}

int serve(const Options& options) {
  const auto address = parseListenAddress(options.listen);  // checked by the parser
  ServerConfig config;
  config.host = address->host;
  config.port = address->port;
  config.maxConnections = options.maxConnections;
  config.workers = options.workers;
  config.maxReceivingBytes = options.maxReceivingMiB << 20;
  config.maxSendingBytes = options.maxSendingMiB << 20;
  if (!options.tokenFile.empty()) config.token = readToken(options.tokenFile);

  // A log reader that goes away must not take the server with it.
  std::signal(SIGPIPE, SIG_IGN);
  initCallLog();
  StorageOptions storageOptions;
  storageOptions.lockWait =
      std::chrono::milliseconds(static_cast<int64_t>(options.lockWaitSeconds * 1000));
  // A connection for every thread that runs calls, so that changes waiting for a lock, each
  // holding its connection, never leave the lookups waiting for one.
  storageOptions.connections = 2 * size_t{config.workers};
  const auto storage = openExistingStorage(options.db, storageOptions);
  const TabePrecoObject object(*storage);
  Login login(*storage);
  config.login = &login;
  config.tlsCertFile = options.tlsCert;
  config.tlsKeyFile = options.tlsKey;
  // Like a database server that only listens on loopback until it is told how callers prove who
  // they are: anyone on the network could otherwise read passwords and change every price.
  if (!isLoopback(address->host) && !options.insecure) {
    if (const std::string missing = exposure(options, login.required()); !missing.empty())
      throw std::runtime_error("serving on " + address->host + " (not loopback) needs " + missing +
                               "; --insecure-allow-plaintext-and-anonymous serves it without");
  }
  Server server(config, {&object});
  const std::string bound = server.listen();
  std::cout << "listening on " << bound << std::endl;
  logInfo("listening on " + bound + (config.tlsCertFile.empty() ? "" : " (TLS)") +
          (config.token.empty() ? "" : " (attach needs a token)") +
          (login.required() ? " (attach logs in)" : ""));
  server.run();
  logInfo("stopped");
  return 0;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
  CLI::App app("The application server of the price table screen.", "vnd42400");
  app.require_subcommand(1);
  Options options;

  CLI::App* init = app.add_subcommand("init", "Create the schema (nothing happens if it exists).");
  init->add_option("--db", options.db, "SQLite file or postgresql:// URI")->required();

  CLI::App* demo = app.add_subcommand(
      "demo", "Create the schema and replace its data with demo data (demo databases only).");
  demo->add_option("--db", options.db, "SQLite file or postgresql:// URI")->required();
  demo->add_option("--products", options.products, "Number of products (default 2000)")
      ->check(CLI::Range(1, kMaxDemoProducts));

  CLI::App* serveCommand = app.add_subcommand("serve", "Serve until SIGINT or SIGTERM.");
  serveCommand->add_option("--db", options.db, "SQLite file or postgresql:// URI")->required();
  serveCommand
      ->add_option("--listen", options.listen, "HOST:PORT to listen on (default 127.0.0.1:2110)")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return parseListenAddress(text) ? std::string() : "expected HOST:PORT, got " + text;
          },
          "HOST:PORT"));
  serveCommand->add_option("--token-file", options.tokenFile,
                           "File holding the access token attach must present");
  serveCommand
      ->add_option("--max-connections", options.maxConnections,
                   "Connections served at once; more are closed at once (default 256, 0: no limit)")
      ->check(CLI::Range(size_t{0}, size_t{1'000'000}));
  // The memory budgets shared by all connections (byte_budget.h).
  const auto addBudget = [&](const char* name, size_t& mib, const std::string& what) {
    serveCommand
        ->add_option(name, mib,
                     "MiB all connections together may hold in " + what +
                         "; a connection that would pass it is closed (default 1024, 0: no "
                         "limit)")
        ->check(CLI::Range(size_t{0}, size_t{1} << 20));
  };
  addBudget("--max-receiving-mb", options.maxReceivingMiB, "messages still arriving");
  addBudget("--max-sending-mb", options.maxSendingMiB, "answers their clients have not read yet");
  serveCommand
      ->add_option("--lock-wait", options.lockWaitSeconds,
                   "Seconds a change waits for another change of the same data before it is "
                   "refused (default 30)")
      ->check(CLI::Range(0.001, 3600.0));

  CLI::Option* cert =
      serveCommand->add_option("--tls-cert", options.tlsCert,
                               "PEM file of the server's certificate chain: every connection "
                               "speaks TLS");
  CLI::Option* key =
      serveCommand->add_option("--tls-key", options.tlsKey, "PEM file of the certificate's key");
  cert->needs(key);
  key->needs(cert);
  serveCommand->add_flag("--insecure-allow-plaintext-and-anonymous", options.insecure,
                         "Serve an address other than loopback without TLS or without accounts: "
                         "anyone on the network may read and change everything");
  serveCommand
      ->add_option("--workers", options.workers,
                   "Calls run at once (default 4), and as many changes apart from them")
      ->check(CLI::Range(1u, 256u));

  JournalCommands journal;
  addJournalCommands(app, journal);
  AccountCommands accounts;
  addAccountCommands(app, accounts);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "vnd42400: " << oneLine(e.what()) << std::endl;
    return kUsage;
  }

  try {
    if (const auto status = runJournalCommands(journal)) return *status;
    if (const auto status = runAccountCommands(accounts)) return *status;
    if (*init) {
      openStorage(options.db)->createSchema();
    } else if (*demo) {
      openStorage(options.db)->fillDemo(options.products);
    } else {
      return serve(options);
    }
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "vnd42400: " << oneLine(e.what()) << std::endl;
    return kFailure;
  }
}

}  // namespace server
