// Who may call, through a real vnd42400 on each engine: accounts made with the user commands,
// login at attach, the journal's "who", refusals that look alike, accounts disabled while
// connected, and TLS as the client library speaks it (verified certificate and name, clear
// messages when it cannot be).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "demo_server.h"
#include "remote/rpc_channel.h"
#include "rtl/exceptions.h"
#include "support/rpc_client.h"
#include "support/server_process.h"

namespace servertest {
namespace {

using testsupport::describe;
using testsupport::RpcClient;
using testsupport::TempDir;
using Clock = std::chrono::steady_clock;

constexpr const char* kPassword = "correta-123";

std::string passwordFile(const TempDir& dir) {
  const std::string file = dir.file("senha");
  std::ofstream(file) << kPassword << "\n";
  return file;
}

// ana: promotions on 0001; rui: prefixes everywhere; bia: reads 0001 only.
std::vector<std::vector<std::string>> accounts(const std::string& password) {
  return {{"user", "add", "--user", "ana", "--password-file", password, "--right", "promocao",
           "--branch", "0001"},
          {"user", "add", "--user", "rui", "--password-file", password, "--right", "prefixo",
           "--all-branches"},
          {"user", "add", "--user", "bia", "--password-file", password, "--branch", "0001"}};
}

// Makes a self-signed pair for `name` in `dir` with the project's script.
void makeCertificate(const TempDir& dir, const std::string& name) {
  const std::string command =
      std::string(VND_SCRIPTS_DIR) + "/make-tls-cert " + name + " " + dir.path().string();
  ASSERT_EQ(std::system((command + " >/dev/null").c_str()), 0) << command;
}

std::vector<rtl::Variant> updateAll(const Period& period, const std::string& branch,
                                    std::string flag) {
  static std::string all = "T", empty;
  static thread_local std::string promotion;
  promotion = std::move(flag);
  return {rtl::Variant::ByRef(promotion),
          rtl::Variant::ByRef(empty),
          rtl::Variant::ByRef(empty),
          rtl::Variant::ByRef(empty),
          rtl::Variant::ByRef(all),
          rtl::Variant::Null(),
          rtl::Variant::FromBool(false),
          branch,
          "001",
          rtl::Variant::FromDate(period.start)};
}

class AccessProcess : public ::testing::TestWithParam<Engine> {};

TEST_P(AccessProcess, EachCallerIsHeldToItsAccountWhateverItSaysOfItself) {
  TempDir dir;
  DemoServer server(GetParam(), 50, {}, accounts(passwordFile(dir)));
  TestDatabase& db = server.db();

  // No login, no object.
  auto anonymous = server.client(false);
  EXPECT_EQ(describe(anonymous->attach()), "error 407 o servidor exige usuário e senha");
  EXPECT_EQ(describe(anonymous->call("GetTabePrec", {"0001"})),
            "error 409 conexão sem servidor associado");

  // A hand-written client of a one-branch account: the server holds it to that branch.
  auto ana = server.client(false);
  const std::string welcome = describe(ana->logIn("ana", kPassword, "caixa\x1b[2J"));
  EXPECT_EQ(welcome.substr(0, welcome.find(',', welcome.find(']'))), "['ana', ['promocao']")
      << welcome;
  const std::vector<Period> periods = periodsOf(*ana, "0001", "001");
  ASSERT_FALSE(periods.empty());
  const std::string items0002 =
      "SELECT COUNT(*) FROM ITEMPRECO WHERE CDFILIAL = '0002' AND IDPROMOCAO = 'S'";
  const std::string promotedBefore = db.scalar(items0002);
  EXPECT_EQ(describe(ana->call("SetUpdItemPrecoAlt", updateAll(periods[0], "0002", "S"))),
            "[1, 'O usuário ana não tem permissão na filial 0002.', null]");
  EXPECT_EQ(db.scalar(items0002), promotedBefore);
  EXPECT_EQ(describe(ana->call("SetUpdItemPrecoAlt", updateAll(periods[0], "0001", "S"))),
            "[0, '', null]");
  // The journal says who logged in and from where; the machine is what the client said.
  EXPECT_EQ(db.scalar("SELECT DSUSUARIO || '|' || DSMAQUINA FROM ALTERACAOLOG"),
            "ana|caixa\x1b[2J");
  EXPECT_EQ(db.scalar("SELECT substr(DSCLIENTE, 1, 10) FROM ALTERACAOLOG"), "127.0.0.1:");

  // The prefix is a right of its own, whatever the branches.
  auto rui = server.client(false);
  rui->logIn("rui", kPassword);
  std::string x = "X ", empty, all = "T";
  const std::vector<rtl::Variant> prefix{rtl::Variant::ByRef(x), rtl::Variant::ByRef(empty),
                                         rtl::Variant::ByRef(empty), rtl::Variant::ByRef(empty),
                                         rtl::Variant::ByRef(all)};
  EXPECT_EQ(describe(ana->call("SetAddPrefixo", prefix)),
            "[1, 'O usuário ana não tem permissão para alterar o prefixo dos nomes dos "
            "produtos.', null]");
  EXPECT_EQ(describe(rui->call("SetAddPrefixo", prefix)), "[0, '', null]");
  EXPECT_EQ(describe(rui->call("SetUpdItemPrecoAlt", updateAll(periods[0], "0001", "N"))),
            "[1, 'O usuário rui não tem permissão para colocar ou retirar produtos de "
            "promoção.', null]");

  // An account disabled while connected is refused at its next call once its access is read
  // again, and the connection ends.
  ASSERT_EQ(
      testsupport::runVnd42400({"user", "disable", "--db", db.target(), "--user", "ana"}).status,
      0);
  const auto deadline = Clock::now() + testsupport::kDeadline;
  std::string answer;
  while (Clock::now() < deadline) {
    answer = describe(ana->call("GetTabePrec", {"0001"}));
    if (answer.rfind("error", 0) == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_EQ(answer, "error 401 acesso negado: a conta foi desativada ou removida");
  ana->expectClosed();
}

TEST_P(AccessProcess, AWrongUserAndAWrongPasswordLookAlikeAndCostTheCallerTime) {
  TempDir dir;
  DemoServer server(GetParam(), 20, {}, accounts(passwordFile(dir)));
  std::vector<std::string> answers;
  for (const auto& [user, password] : std::vector<std::pair<std::string, std::string>>{
           {"ana", "errada"}, {"ninguem", kPassword}, {"bia", ""}}) {
    auto client = server.client(false);
    const auto start = Clock::now();
    answers.push_back(describe(client->logIn(user, password)));
    if (!password.empty()) {
      // Answered no sooner than the failed-login delay, and the connection ends.
      EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(900)) << user;
      client->expectClosed();
    }
  }
  EXPECT_EQ(answers, (std::vector<std::string>{"error 401 usuário ou senha inválidos",
                                               "error 401 usuário ou senha inválidos",
                                               "error 407 o servidor exige usuário e senha"}));
  // The right password still works: two failures are within the free tries.
  EXPECT_EQ(describe(server.client(false)->logIn("ana", kPassword)).substr(0, 7), "['ana',");
}

// What the client library says for each way TLS can go wrong; none of them hangs.
std::string openWith(uint16_t port, const std::string& host, bool tls, const std::string& ca,
                     const std::string& password = kPassword) {
  remote::Endpoint endpoint;
  endpoint.host = host;
  endpoint.port = port;
  endpoint.serverName = kObjectName;
  endpoint.user = "ana";
  endpoint.machine = "caixa";
  endpoint.password = password;
  endpoint.tls = tls;
  endpoint.caFile = ca;
  remote::RpcChannel channel;
  try {
    channel.open(endpoint);
    return "attached; GetTabePrec " + describe(channel.call("GetTabePrec", {"0001"})).substr(0, 7);
  } catch (const rtl::ERemoteError& e) {
    return e.what();
  }
}

TEST_P(AccessProcess, TlsIsVerifiedAndEveryFailureSaysWhy) {
  TempDir dir, other;
  makeCertificate(dir, "localhost");
  makeCertificate(other, "localhost");
  const std::string cert = dir.file("vnd42400.crt");
  testsupport::ServerProcess::Options tls;
  tls.extraArgs = {"--tls-cert", cert, "--tls-key", dir.file("vnd42400.key")};
  DemoServer server(GetParam(), 20, tls, accounts(passwordFile(dir)));
  const uint16_t port = server.process().port();

  EXPECT_EQ(openWith(port, "localhost", true, cert), "attached; GetTabePrec [0, '',");
  EXPECT_EQ(openWith(port, "localhost", true, other.file("vnd42400.crt")),
            "O certificado do servidor de aplicação localhost:" + std::to_string(port) +
                " não foi emitido por uma autoridade em que esta estação confia (server_ca); a "
                "conexão não foi feita.");
  EXPECT_EQ(openWith(port, "127.0.0.1", true, cert),
            "O certificado do servidor de aplicação 127.0.0.1:" + std::to_string(port) +
                " não é para o nome 127.0.0.1; a conexão não foi feita.");
  EXPECT_EQ(openWith(port, "localhost", false, ""),
            "o servidor de aplicação exige conexão TLS (server_tls = true na sessão)");

  DemoServer plain(GetParam(), 20, {}, accounts(passwordFile(dir)));
  const std::string plainPort = std::to_string(plain.process().port());
  EXPECT_EQ(openWith(plain.process().port(), "localhost", true, cert),
            "O servidor de aplicação localhost:" + plainPort +
                " não respondeu em TLS (server_tls = true na sessão, mas o servidor não usa "
                "TLS?).");
  // To loopback a password may go in plain text.
  EXPECT_EQ(openWith(plain.process().port(), "localhost", false, ""),
            "attached; GetTabePrec [0, '',");
}

INSTANTIATE_TEST_SUITE_P(Engines, AccessProcess,
                         ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
