#include "server/cli/command_line.h"

#include <CLI/CLI.hpp>
#include <asio/ip/address.hpp>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

#include "server/cli/account_commands.h"
#include "server/cli/config_file.h"
#include "server/cli/journal_command.h"
#include "server/net/call_log.h"
#include "server/net/listen_address.h"
#include "server/net/server.h"
#include "server/object/history_object.h"
#include "server/object/tabe_preco_object.h"
#include "server/storage/backup.h"
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
  std::string config;
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
  const HistoryObject history(*storage);
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
  Server server(config, {&object, &history});
  const std::string bound = server.listen();
  std::cout << "listening on " << bound << std::endl;
  logInfo("listening on " + bound + (config.tlsCertFile.empty() ? "" : " (TLS)") +
          (config.token.empty() ? "" : " (attach needs a token)") +
          (login.required() ? " (attach logs in)" : ""));
  server.run();
  logInfo("stopped");
  return 0;
}

// What serve would run with, one "key = value" per line, as its configuration file writes it;
// the password of a postgresql:// URI is not printed.
std::string effectiveSettings(const CLI::App& serve) {
  std::string text;
  for (const CLI::Option* option : serve.get_options()) {
    if (!option->get_configurable() || option->get_lnames().empty()) continue;
    const std::string name = option->get_lnames().front();
    if (name == "help" || name == "config") continue;
    std::string value = option->count() > 0 ? option->as<std::string>() : option->get_default_str();
    if (option->get_items_expected_max() == 0) value = option->count() > 0 ? "true" : "false";
    if (name == "db") {
      const size_t scheme = value.find("://"), at = value.find('@');
      const size_t colon = value.find(':', scheme == std::string::npos ? 0 : scheme + 3);
      if (scheme != std::string::npos && at != std::string::npos && colon < at)
        value = value.substr(0, colon + 1) + "****" + value.substr(at);
    }
    text += name + " = " + value + "\n";
  }
  return text;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
  CLI::App app("The application server of the price table screen.", "vnd42400");
  app.require_subcommand(1);
  // Given last, the command line's own options win over the configuration file's (an option
  // takes the last value given).
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.option_defaults()->always_capture_default();  // for --check-config
  Options options;

  CLI::App* init = app.add_subcommand("init", "Create the schema (nothing happens if it exists).");
  init->add_option("--db", options.db, "SQLite file or postgresql:// URI")->required();
  init->add_option("--config", options.config, "Take --db from serve's configuration file");

  CLI::App* demo = app.add_subcommand(
      "demo", "Create the schema and replace its data with demo data (demo databases only).");
  demo->add_option("--db", options.db, "SQLite file or postgresql:// URI")->required();
  demo->add_option("--products", options.products, "Number of products (default 2000)")
      ->check(CLI::Range(1, kMaxDemoProducts));

  CLI::App* serveCommand = app.add_subcommand("serve", "Serve until SIGINT or SIGTERM.");
  serveCommand->add_option("--config", options.config,
                           "Read options from this file (key = value, keys named as the long "
                           "options; config_file.h); the command line wins");
  bool checkConfig = false;
  serveCommand->add_flag("--check-config", checkConfig,
                         "Print the settings serve would run with, and exit")
      ->configurable(false);
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

  std::string backupTo;
  CLI::App* backup = app.add_subcommand(
      "backup", "Copy a SQLite database while it is served: one consistent snapshot.");
  backup->add_option("--db", options.db, "The SQLite file")->required();
  backup->add_option("--to", backupTo, "The copy; a file that does not exist yet")->required();

  JournalCommands journal;
  addJournalCommands(app, journal);
  AccountCommands accounts;
  addAccountCommands(app, accounts);

  try {
    std::vector<std::string> args = withConfigFile(argc, argv);
    std::reverse(args.begin(), args.end());  // CLI11 takes them last first
    app.parse(args);
  } catch (const ConfigFileError& e) {
    std::cerr << "vnd42400: " << oneLine(e.what()) << std::endl;
    return kUsage;
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
    if (*serveCommand && checkConfig) {
      std::cout << effectiveSettings(*serveCommand);
      return 0;
    }
    if (*backup) {
      const BackupOutcome copied = backupSqlite(options.db, backupTo);
      std::cout << "copied " << options.db << " to " << backupTo << ": " << copied.pages
                << " pages, " << copied.bytes << " bytes\n";
      return 0;
    }
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
