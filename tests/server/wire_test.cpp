// vnd42400 as a process, over the wire, on a demo database of each engine: attach and its
// token, every method of the server object, argument and protocol errors, the connection
// limit and the log.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "demo_server.h"

namespace servertest {
namespace {

using namespace std::string_literals;
using testsupport::answerData;
using testsupport::describe;
using testsupport::describeFields;
using testsupport::describeRow;

class WireTest : public ::testing::TestWithParam<Engine> {};

// The call lines of a log ("2024-01-15 10:00:00.123 127.0.0.1:5000 GetFilial 0.412 ms ok")
// reduced to "method status", in order.
std::vector<std::string> callLines(const std::string& log) {
  std::vector<std::string> calls;
  std::istringstream in(log);
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream words(text);
    std::string date, time, peer, method, duration, unit, status, more;
    words >> date >> time >> peer >> method >> duration >> unit >> status;
    std::getline(words, more);
    const bool isCall = date.size() == 10 && date[4] == '-' && time.size() == 12 &&
                        time[8] == '.' && peer.rfind("127.0.0.1:", 0) == 0 && unit == "ms" &&
                        duration.find('.') == duration.size() - 4;
    if (isCall) calls.push_back(method + " " + status + more);
  }
  return calls;
}

TEST_P(WireTest, AttachNeedsTheRightTokenAndTheLogNeverShowsIt) {
  testsupport::TempDir dir;
  const std::string token = "t0k3n-secreto-42";
  std::ofstream(dir.file("token")) << token << "\n";
  testsupport::ServerProcess::Options options;
  options.tokenFile = dir.file("token");
  DemoServer demo(GetParam(), 50, options);

  auto c = demo.client(false);
  EXPECT_EQ(describe(c->call("GetTabePrec", {"0001"})), "error 409 conexão sem servidor associado");
  EXPECT_EQ(describe(c->attach(kObjectName)), "error 401 acesso negado");
  EXPECT_EQ(describe(c->attach(kObjectName, "t0k3n-secreto-4")), "error 401 acesso negado");
  EXPECT_EQ(describe(c->attach("Vnd42400.Outro", token)),
            "error 404 servidor desconhecido: Vnd42400.Outro");
  EXPECT_EQ(describe(c->call("GetTabePrec", {"0001"})), "error 409 conexão sem servidor associado");
  EXPECT_EQ(describe(c->attach(kObjectName, token)), "true");
  EXPECT_EQ(answerData(c->call("GetTabePrec", {"0001"}))->rowCount(), 3u);
  c.reset();

  demo.process().signal(SIGTERM);
  EXPECT_EQ(demo.process().waitExit(), 0);
  EXPECT_EQ(demo.process().listeningLine().substr(0, 23), "listening on 127.0.0.1:");
  EXPECT_EQ(demo.process().restOfOutput(), "");  // exactly one line on standard output
  const std::string log = demo.process().log();
  EXPECT_EQ(callLines(log),
            (std::vector<std::string>{"GetTabePrec error 409", "attach error 401",
                                      "attach error 401", "attach error 404",
                                      "GetTabePrec error 409", "attach ok", "GetTabePrec ok"}))
      << log;
  EXPECT_EQ(log.find("t0k3n"), std::string::npos) << log;
}

TEST_P(WireTest, EveryMethodAnswersWithItsColumnsAndChangesTheDatabase) {
  DemoServer demo(GetParam(), 300);
  auto c = demo.client();
  TestDatabase& db = demo.db();

  const auto branches = answerData(c->call("GetFilial", {"", "T"}));
  EXPECT_EQ(describeFields(*branches),
            "CDFILIAL string 4, NMFILIAL string 30, CDSEGMER string 5, SEGMENTO string 48, "
            "IDPRECDIFCOM string 1, CDGRPRODPDV string 10, GRUPOPROD string 53, "
            "IDUTMODPRODFIL string 1");
  EXPECT_EQ(std::to_string(branches->rowCount()), db.scalar("SELECT count(*) FROM FILIAL"));
  for (size_t row = 1; row < branches->rowCount(); ++row)
    EXPECT_LT(branches->column(0).string(row - 1), branches->column(0).string(row));
  const auto one = answerData(c->call("GetFilial", {"0001", ""}));
  ASSERT_EQ(one->rowCount(), 1u);
  EXPECT_EQ(describeRow(*one, 0), describeRow(*branches, 0));
  EXPECT_EQ(answerData(c->call("GetFilial", {"9999", ""}))->rowCount(), 0u);

  const auto tables = answerData(c->call("GetTabePrec", {"0001"}));
  EXPECT_EQ(describeFields(*tables),
            "CDFILIAL string 4, CDTABEPREC string 3, NMTABEPREC string 20");
  EXPECT_EQ(tables->column(1).string(0), "001");

  std::string format = "dd/mm/yyyy";
  const auto periodsText = answerData(
      c->call("getVigencia", {"0001", "001", int32_t{0}, "T", rtl::Variant::ByRef(format)}));
  EXPECT_EQ(describeFields(*periodsText), "DTINIVGPREC string 30, DTFINVGPREC string 30");
  const std::vector<Period> periods = periodsOf(*c, "0001", "001");
  ASSERT_GE(periods.size(), 3u);
  ASSERT_EQ(periodsText->rowCount(), periods.size());
  const Period& period = periods[1];
  const std::string iso = period.startIso;
  EXPECT_EQ(periodsText->column(0).string(1),
            iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4));
  const auto single =
      answerData(c->call("getVigencia", {"0001", "001", rtl::Variant::FromDate(period.start), "",
                                         rtl::Variant::ByRef(format)}));
  ASSERT_EQ(single->rowCount(), 1u);
  EXPECT_EQ(describeRow(*single, 0), describeRow(*periodsText, 1));

  const rtl::Variant start = rtl::Variant::FromDate(period.start);
  const auto items = answerData(c->call("GetAutItemPreco", {"0001", "001", start}));
  EXPECT_EQ(describeFields(*items),
            "IDMARCADO string 1, CDPRODUTO string 10, CDARVPROD string 20, NMPRODUTO string 50");
  const std::string inPeriod =
      "FROM ITEMPRECO WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' AND DTINIVGPREC = '" + iso +
      "'";
  EXPECT_EQ(std::to_string(items->rowCount()), db.scalar("SELECT count(*) " + inPeriod));
  EXPECT_TRUE(items->column(0).isNull(0));

  // A tree code as the product edit shows it, with mask literals, finds its product.
  const std::string tree(items->column(2).string(0));
  const std::string masked = tree.substr(0, 2) + "." + tree.substr(2, 3) + "-" + tree.substr(5);
  const auto valid = answerData(c->call("GetProdValid", {"0001", "001", start, masked}));
  EXPECT_EQ(describeFields(*valid),
            "CDPRODUTO string 10, CDARVPROD string 20, NMPRODUTO string 50");
  ASSERT_EQ(valid->rowCount(), 1u);
  EXPECT_EQ(valid->column(0).string(0), items->column(1).string(0));
  EXPECT_EQ(answerData(c->call("GetProdValid", {"0001", "001", start, "99999999"}))->rowCount(),
            0u);

  // The change methods, each checked in the database.
  const std::string code(items->column(1).string(0));
  const std::string name =
      db.scalar("SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = '" + code + "'");
  std::string prefix = "ZZ ", first, last, list = "_" + code + "_", all, flag = "S";
  auto selection = [&] {
    return std::vector<rtl::Variant>{rtl::Variant::ByRef(prefix), rtl::Variant::ByRef(first),
                                     rtl::Variant::ByRef(last), rtl::Variant::ByRef(list),
                                     rtl::Variant::ByRef(all)};
  };
  const std::string nameNow = "SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = '" + code + "'";
  EXPECT_EQ(describe(c->call("SetAddPrefixo", selection())), "[0, '', null]");
  EXPECT_EQ(db.scalar(nameNow), "ZZ " + name);
  EXPECT_EQ(describe(c->call("SetDelPrefixo", selection())), "[0, '', null]");
  EXPECT_EQ(db.scalar(nameNow), name);

  auto update = [&](bool listMode) {
    std::vector<rtl::Variant> params{rtl::Variant::ByRef(flag),
                                     rtl::Variant::ByRef(first),
                                     rtl::Variant::ByRef(last),
                                     rtl::Variant::ByRef(list),
                                     rtl::Variant::ByRef(all),
                                     rtl::Variant::Null(),
                                     rtl::Variant::FromBool(listMode),
                                     "0001",
                                     "001",
                                     start};
    return describe(c->call("SetUpdItemPrecoAlt", params));
  };
  const std::string promoted = "SELECT count(*) " + inPeriod + " AND IDPROMOCAO = 'S'";
  db.scalar("UPDATE ITEMPRECO SET IDPROMOCAO = 'N'");
  EXPECT_EQ(update(true), "[0, '', null]");
  EXPECT_EQ(db.scalar(promoted), "1");
  list.clear();
  first = std::string(items->column(2).string(10));
  last = std::string(items->column(2).string(19));
  EXPECT_EQ(update(false), "[0, '', null]");
  EXPECT_EQ(db.scalar(promoted), "11");  // the ten of the range and the listed one
  flag = "X";
  const std::string refusal = update(false);
  EXPECT_EQ(refusal.substr(0, 4), "[1, ") << refusal;
  EXPECT_EQ(db.scalar(promoted), "11");
  EXPECT_EQ(db.scalar("SELECT count(*) FROM ALTERACAOLOG"), "4");
}

TEST_P(WireTest, ArgumentErrorsNameTheMethodAndPosition) {
  DemoServer demo(GetParam(), 20);
  auto c = demo.client();
  std::string text = "x";
  const rtl::Variant ref = rtl::Variant::ByRef(text);
  EXPECT_EQ(describe(c->call("GetTabelas", {"0001"})), "error 405 método desconhecido: GetTabelas");
  EXPECT_EQ(describe(c->call("GetFilial", {"0001"})), "error 400 GetFilial: argumento 2 inválido");
  EXPECT_EQ(describe(c->call("GetFilial", {"0001", "", ""})),
            "error 400 GetFilial: argumento 3 inválido");
  EXPECT_EQ(describe(c->call("GetTabePrec", {int32_t{1}})),
            "error 400 GetTabePrec: argumento 1 inválido");
  EXPECT_EQ(describe(c->call("getVigencia", {"0001", "001", "2024-01-01", "", ref})),
            "error 400 getVigencia: argumento 3 inválido");
  EXPECT_EQ(describe(c->call("SetAddPrefixo", {"P", ref, ref, ref, ref})),
            "error 400 SetAddPrefixo: argumento 1 inválido");
  EXPECT_EQ(describe(c->call("GetAutItemPreco", {"0001", "001", rtl::Variant::FromBool(true)})),
            "error 400 GetAutItemPreco: argumento 3 inválido");
  // The connection goes on serving after every error.
  EXPECT_EQ(answerData(c->call("GetTabePrec", {"0001"}))->rowCount(), 3u);
}

TEST_P(WireTest, ProtocolViolationsCloseOnlyTheOffendingConnection) {
  DemoServer demo(GetParam(), 20);
  auto good = demo.client();
  const std::vector<std::pair<std::string, std::string>> violations = {
      {"never-used byte",
       "\x94\x00\x01\xa6"
       "attach\x91\xc1"s},
      {"garbage after the method",
       "\x94\x00\x01\xa3"
       "att\xc1"s},
      {"string header one byte over 64 MiB",
       "\x94\x00\x01\xa6"
       "attach\x91\xdb\x04\x00\x00\x01"s},
      {"array header of 4 billion values",
       "\x94\x00\x01\xa6"
       "attach\xdd\xff\xff\xff\xff"s},
      {"33 levels deep",
       "\x94\x00\x01\xa6"
       "attach" +
           std::string(32, '\x91') + "\xc0"s},
      {"a response sent to the server", "\x94\x01\x01\xc0\xc0"s},
  };
  for (const auto& [what, bytes] : violations) {
    auto bad = demo.client(false);
    bad->sendRaw(bytes);
    EXPECT_NO_THROW(bad->expectClosed()) << what;
    EXPECT_EQ(answerData(good->call("GetTabePrec", {"0001"}))->rowCount(), 3u) << what;
  }
  EXPECT_EQ(answerData(demo.client()->call("GetTabePrec", {"0001"}))->rowCount(), 3u);
  EXPECT_TRUE(demo.process().running());
}

TEST_P(WireTest, ConnectionsOverTheLimitAreClosedAndServedAgainWhenOneLeaves) {
  testsupport::ServerProcess::Options options;
  options.maxConnections = 2;
  DemoServer demo(GetParam(), 20, options);
  auto first = demo.client();
  auto second = demo.client();
  auto third = demo.client(false);
  EXPECT_NO_THROW(third->expectClosed());
  EXPECT_EQ(answerData(second->call("GetTabePrec", {"0001"}))->rowCount(), 3u);

  first.reset();
  std::unique_ptr<testsupport::RpcClient> again;
  for (int attempt = 0; attempt < 1000 && !again; ++attempt) {
    try {
      again = demo.client();
    } catch (const std::exception&) {
      // refused: the server has not yet seen the first connection go
    }
  }
  ASSERT_TRUE(again);
  EXPECT_EQ(answerData(again->call("GetTabePrec", {"0001"}))->rowCount(), 3u);
  EXPECT_NE(demo.process().log().find("refused: 2 connections already open"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Engines, WireTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
