// The journal end to end, on each engine: the client's identity travelling with attach (old
// two-parameter attaches still accepted), and the journal and restore subcommands on changes
// made over the wire.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#include "demo_server.h"
#include "journal_test_support.h"
#include "remote/rpc_channel.h"
#include "rpc/server_codec.h"

namespace servertest {
namespace {

using testsupport::describe;
using testsupport::runVnd42400;

class JournalProcessTest : public ::testing::TestWithParam<Engine> {};

// Times and client ports vary from run to run: "<when>" and "<peer>" stand for them. Columns
// are cut at their gaps of two blanks or more, which become "|".
std::string normalised(const std::string& text) {
  auto digitsAt = [&](size_t at, size_t count) {
    if (at + count > text.size()) return false;
    for (size_t i = at; i < at + count; ++i)
      if (text[i] < '0' || text[i] > '9') return false;
    return true;
  };
  const std::string loopback = "127.0.0.1:";
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    // YYYY-MM-DD HH:MM:SS.mmm
    if (digitsAt(i, 4) && text.compare(i + 4, 1, "-") == 0 && digitsAt(i + 5, 2) &&
        digitsAt(i + 8, 2) && text.compare(i + 10, 1, " ") == 0 && digitsAt(i + 11, 2) &&
        digitsAt(i + 14, 2) && digitsAt(i + 17, 2) && text.compare(i + 19, 1, ".") == 0 &&
        digitsAt(i + 20, 3)) {
      out += "<when>";
      i += 23;
    } else if (text.compare(i, loopback.size(), loopback) == 0 &&
               digitsAt(i + loopback.size(), 1)) {
      out += "<peer>";
      i += loopback.size();
      while (digitsAt(i, 1)) ++i;
    } else if (text.compare(i, 2, "  ") == 0) {
      out += "|";
      while (i < text.size() && text[i] == ' ') ++i;
    } else {
      out += text[i++];
    }
  }
  return out;
}

remote::Endpoint endpoint(uint16_t port, std::string token, std::string user, std::string machine) {
  remote::Endpoint e;
  e.host = "127.0.0.1";
  e.port = port;
  e.serverName = kObjectName;
  e.token = std::move(token);
  e.user = std::move(user);
  e.machine = std::move(machine);
  return e;
}

// The answer's status and message: "0 " for success.
std::string statusOf(const rtl::Variant& answer) {
  return std::to_string(answer.asArray()[0].asInteger()) + " " + answer.asArray()[1].asString();
}

TEST(AttachEncodingTest, TheCallersMapTravelsAsTheThirdParameter) {
  rpc::OutBuffer out;
  rpc::encodeRequest(out, 7, "attach", {"Vnd42400.rdmTabePreco", rtl::Variant::Null()},
                     {{"user", "joão"}, {"host", "caixa-01"}});
  rpc::StreamDecoder decoder;
  std::copy(out.data(), out.data() + out.size(), decoder.prepare(out.size()));
  decoder.commit(out.size());
  const auto frame = decoder.next();
  ASSERT_TRUE(frame);
  const rpc::Request request = rpc::decodeRequest(*frame);
  EXPECT_EQ(request.method, "attach");
  ASSERT_EQ(request.params.size(), 3u);
  EXPECT_EQ(request.params[0].text, "Vnd42400.rdmTabePreco");
  EXPECT_EQ(request.params[1].kind, rpc::WireKind::Nil);
  ASSERT_EQ(request.params[2].kind, rpc::WireKind::StringMap);
  EXPECT_EQ(request.params[2].entries, (std::vector<std::pair<std::string, std::string>>{
                                           {"user", "joão"}, {"host", "caixa-01"}}));
}

TEST_P(JournalProcessTest, TheClientsIdentityIsJournaledAndOldAttachesStillWork) {
  testsupport::TempDir dir;
  const std::string token = "segredo-42";
  std::ofstream(dir.file("token")) << token << "\n";
  testsupport::ServerProcess::Options withToken;
  withToken.tokenFile = dir.file("token");
  DemoServer demo(GetParam(), 40, withToken);
  auto probe = std::make_unique<testsupport::RpcClient>(demo.process().port());
  ASSERT_EQ(describe(probe->attach(kObjectName, token)), "true");
  const double start = periodsOf(*probe, "0001", "001").at(1).start;

  // The channel the screen uses: [name, token, {"user", "host"}] ...
  remote::RpcChannel identified;
  identified.open(endpoint(demo.process().port(), token, "ana", "caixa-01"));
  Update all{"S", "", "", "", "T"};
  EXPECT_EQ(statusOf(identified.call("SetUpdItemPrecoAlt", updateArgs(all, start))), "0 ");
  // ... [name, token] from a session without identity ...
  remote::RpcChannel anonymous;
  anonymous.open(endpoint(demo.process().port(), token, "", ""));
  Update one{"N", "", "", listOf({"PRD0000001"}), ""};
  EXPECT_EQ(statusOf(anonymous.call("SetUpdItemPrecoAlt", updateArgs(one, start))), "0 ");
  // ... and an older client's [name, token], written by hand.
  Update two{"N", "", "", listOf({"PRD0000002"}), ""};
  EXPECT_EQ(describe(probe->call("SetUpdItemPrecoAlt", updateArgs(two, start))), "[0, '', null]");
  // [name] alone, on a second server of the same database that needs no token.
  testsupport::ServerProcess::Options open;
  open.db = demo.db().target();
  testsupport::ServerProcess openServer(open);
  testsupport::RpcClient oldest(openServer.port());
  ASSERT_EQ(describe(oldest.attach(kObjectName)), "true");
  Update three{"N", "", "", listOf({"PRD0000003"}), ""};
  EXPECT_EQ(describe(oldest.call("SetUpdItemPrecoAlt", updateArgs(three, start))), "[0, '', null]");

  const auto r = runVnd42400({"journal", "--db", demo.db().target()});
  ASSERT_EQ(r.status, 0) << r.err;
  // The first change names its caller, the other three only their address.
  const std::string table = normalised(r.out);
  EXPECT_NE(table.find("|<peer> ana@caixa-01|SetUpdItemPrecoAlt|"), std::string::npos) << table;
  EXPECT_EQ(demo.db().scalar("SELECT count(*) FROM ALTERACAOLOG WHERE DSUSUARIO IS NULL AND "
                             "DSMAQUINA IS NULL AND DSCLIENTE LIKE '127.0.0.1:%' AND "
                             "DSCLIENTE NOT LIKE '% %'"),
            "3");
  EXPECT_EQ(demo.db().scalar("SELECT DSUSUARIO || '@' || DSMAQUINA FROM ALTERACAOLOG WHERE ID = 1"),
            "ana@caixa-01");
}

TEST_P(JournalProcessTest, JournalAndRestoreCommandsWorkOnChangesMadeOverTheWire) {
  DemoServer demo(GetParam(), 40);
  TestDatabase& db = demo.db();
  auto probe = demo.client();
  const Period period = periodsOf(*probe, "0001", "001").at(1);
  const std::string inPeriod =
      " FROM ITEMPRECO WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' "
      "AND DTINIVGPREC = '" +
      period.startIso + "'";
  // "PRD0000001S,PRD0000002N,...": the flags of the period.
  const std::string flags =
      db.engine() == Engine::Sqlite
          ? "SELECT group_concat(CDPRODUTO || IDPROMOCAO, ',') FROM (SELECT CDPRODUTO, "
            "IDPROMOCAO" +
                inPeriod + " ORDER BY CDPRODUTO) AS t"
          : "SELECT string_agg(CDPRODUTO || IDPROMOCAO, ',' ORDER BY CDPRODUTO)" + inPeriod;
  auto state = [&] { return db.scalar(flags); };
  const std::string before = state();
  const std::string inPromotion = db.scalar("SELECT count(*)" + inPeriod + " AND IDPROMOCAO = 'S'");
  const std::string total = db.scalar("SELECT count(*)" + inPeriod);
  const std::string name1 =
      db.scalar("SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = 'PRD0000001'");

  remote::RpcChannel channel;
  channel.open(endpoint(demo.process().port(), "", "ana", "caixa-01"));
  Update all{"S", "", "", "", "T"};
  ASSERT_EQ(statusOf(channel.call("SetUpdItemPrecoAlt", updateArgs(all, period.start))), "0 ");
  std::string prefix = "PROMO ", empty, list = listOf({"PRD0000001", "PRD0000002"});
  ASSERT_EQ(statusOf(channel.call("SetAddPrefixo",
                                  {rtl::Variant::ByRef(prefix), rtl::Variant::ByRef(empty),
                                   rtl::Variant::ByRef(empty), rtl::Variant::ByRef(list),
                                   rtl::Variant::ByRef(empty)})),
            "0 ");
  Update again{"N", "", "", listOf({"PRD0000003"}), ""};
  ASSERT_EQ(statusOf(channel.call("SetUpdItemPrecoAlt", updateArgs(again, period.start))), "0 ");

  const std::string header = "0001/001/" + period.startIso;
  const int changed = std::stoi(total) - std::stoi(inPromotion);
  auto r = runVnd42400({"journal", "--db", db.target()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(normalised(r.out),
            "ID|WHEN (UTC)|WHO|METHOD|HEADER|CHANGED|UNCHANGED|RESTORES|SELECTION\n"
            "1|<when>|<peer> ana@caixa-01|SetUpdItemPrecoAlt|" +
                header + "|" + std::to_string(changed) + "|" + inPromotion +
                "|-|promocao=\"S\" todos=\"T\"\n"
                "2|<when>|<peer> ana@caixa-01|SetAddPrefixo|-|2|0|-|prefixo=\"PROMO \" lista=2 "
                "produtos\n"
                "3|<when>|<peer> ana@caixa-01|SetUpdItemPrecoAlt|" +
                header + "|1|0|-|promocao=\"N\" lista=1 produtos modoLista\n");

  r = runVnd42400({"journal", "--db", db.target(), "--change", "2", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(normalised(r.out),
            "{\"id\":2,\"when\":\"<when>\",\"client\":\"<peer> ana@caixa-01\",\"user\":\"ana\","
            "\"machine\":\"caixa-01\",\"method\":\"SetAddPrefixo\",\"branch\":null,\"table\":null,"
            "\"start\":null,\"selection\":{\"prefixo\":\"PROMO \",\"inicial\":\"\",\"final\":\"\","
            "\"lista\":\"_PRD0000001_PRD0000002_\",\"todos\":\"\"},\"changed\":2,\"unchanged\":0,"
            "\"column\":\"NMPRODUTO\",\"restores\":null,\"discarded\":null,\"items\":[\n"
            "{\"product\":\"PRD0000001\",\"before\":\"" +
                name1 + "\",\"after\":\"PROMO " + name1 +
                "\"},\n"
                "{\"product\":\"PRD0000002\",\"before\":\"" +
                db.scalar("SELECT substr(NMPRODUTO, 7) FROM PRODUTO WHERE CDPRODUTO = "
                          "'PRD0000002'") +
                "\",\"after\":\"" +
                db.scalar("SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = 'PRD0000002'") +
                "\"}\n]}\n");

  // Change 3 took PRD0000003 out again: restoring change 1 leaves it alone.
  r = runVnd42400({"restore", "--db", db.target(), "--change", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const int restored = changed - (before.find("PRD0000003N") != std::string::npos ? 1 : 0);
  EXPECT_EQ(r.out, "change 1 restored as change 4: " + std::to_string(restored) +
                       " rows put back, " + (restored == changed ? "0" : "1") + " left alone\n" +
                       (restored == changed ? ""
                                            : "left alone (changed since): \"PRD0000003\" is now "
                                              "\"N\"\n"));
  std::string expected = before;
  if (const size_t at = expected.find("PRD0000003S"); at != std::string::npos)
    expected[at + 10] = 'N';
  EXPECT_EQ(state(), expected);
  r = runVnd42400({"restore", "--db", db.target(), "--change", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "change 2 restored as change 5: 2 rows put back, 0 left alone\n");
  EXPECT_EQ(db.scalar("SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = 'PRD0000001'"), name1);

  r = runVnd42400({"journal", "--db", db.target(), "--since", "2000-01-01", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 7) << r.out;  // [, five changes, ]
  EXPECT_NE(normalised(r.out).find("\"method\":\"restore\",\"branch\":\"0001\",\"table\":\"001\""),
            std::string::npos)
      << r.out;
  r = runVnd42400({"journal", "--db", db.target(), "--since", "2999-12-31 23:59"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(normalised(r.out),
            "ID|WHEN (UTC)|WHO|METHOD|HEADER|CHANGED|UNCHANGED|RESTORES|SELECTION\n");
  r = runVnd42400({"restore", "--db", db.target(), "--change", "99"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "vnd42400: change 99 does not exist\n");
  r = runVnd42400({"journal", "--db", db.target(), "--change", "99"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "vnd42400: change 99 does not exist\n");

  // Pruning every change: the lines stay, the rows go, and a restore is refused.
  const std::string withRows = db.scalar("SELECT COUNT(*) FROM ALTERACAOLOG WHERE QTLINHAS > 0");
  const std::string rows = db.scalar("SELECT COUNT(*) FROM ALTERACAOITEM");
  r = runVnd42400({"prune", "--db", db.target(), "--before", "2999-01-01"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "discarded the rows of " + withRows +
                       " changes recorded before 2999-01-01 00:00:00.000 UTC: " + rows + " rows\n");
  EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM ALTERACAOITEM"), "0");
  EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM ALTERACAOLOG"), "5");
  r = runVnd42400({"journal", "--db", db.target(), "--change", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n  (its rows were discarded from the journal on "), std::string::npos)
      << r.out;
  const std::string kept = state();
  r = runVnd42400({"restore", "--db", db.target(), "--change", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("vnd42400: change 2's rows were discarded from the journal on ", 0), 0u)
      << r.err;
  EXPECT_EQ(state(), kept);
}

// A confirmation with the prefix option on, made over the wire as the screen makes it, is one
// change in the journal, and one restore puts back its names and flags. A connection closed
// between the two calls leaves its prefix change standing: the update that follows on another
// connection, refused, takes nothing back.
TEST_P(JournalProcessTest, AConfirmationWithAPrefixIsOneChangeAndOneRestore) {
  DemoServer demo(GetParam(), 40);
  TestDatabase& db = demo.db();
  auto probe = demo.client();
  const Period period = periodsOf(*probe, "0001", "001").at(1);
  const std::string codes = "('PRD0000001', 'PRD0000002')";
  const std::string flagsSql =
      "SELECT COUNT(*) FROM ITEMPRECO WHERE IDPROMOCAO = 'S' AND CDFILIAL = '0001' AND "
      "CDTABEPREC = '001' AND DTINIVGPREC = '" +
      period.startIso + "' AND CDPRODUTO IN " + codes;
  const std::string namesSql =
      "SELECT COUNT(*) FROM PRODUTO WHERE NMPRODUTO LIKE 'PROMO %' AND CDPRODUTO IN " + codes;
  const std::string inPromotion = db.scalar(flagsSql);
  ASSERT_EQ(db.scalar(namesSql), "0");

  auto prefix = [&](remote::RpcChannel& channel, std::string text, std::string list) {
    std::string empty;
    return statusOf(channel.call(
        "SetAddPrefixo",
        {rtl::Variant::ByRef(text), rtl::Variant::ByRef(empty), rtl::Variant::ByRef(empty),
         rtl::Variant::ByRef(list), rtl::Variant::ByRef(empty)}));
  };
  remote::RpcChannel channel;
  channel.open(endpoint(demo.process().port(), "", "ana", "caixa-01"));
  Update confirm{"S", "", "", listOf({"PRD0000001", "PRD0000002"}), ""};
  ASSERT_EQ(prefix(channel, "PROMO ", confirm.list), "0 ");  // 1
  ASSERT_EQ(statusOf(channel.call("SetUpdItemPrecoAlt", updateArgs(confirm, period.start))),
            "0 ");  // 2
  Update alone{"X", "", "", listOf({"PRD0000003"}), ""};
  {
    remote::RpcChannel closing;
    closing.open(endpoint(demo.process().port(), "", "ana", "caixa-01"));
    ASSERT_EQ(prefix(closing, "OUTRO ", alone.list), "0 ");  // 3
  }
  channel.close();
  channel.open(endpoint(demo.process().port(), "", "ana", "caixa-01"));
  EXPECT_EQ(statusOf(channel.call("SetUpdItemPrecoAlt", updateArgs(alone, period.start))),
            "1 Indicador de promoção inválido: deve ser \"S\" ou \"N\".");
  EXPECT_EQ(db.scalar("SELECT substr(NMPRODUTO, 1, 6) FROM PRODUTO WHERE CDPRODUTO = "
                      "'PRD0000003'"),
            "OUTRO ");

  const int unchanged = std::stoi(inPromotion);
  auto r = runVnd42400({"journal", "--db", db.target()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(normalised(r.out),
            "ID|WHEN (UTC)|WHO|METHOD|HEADER|CHANGED|UNCHANGED|RESTORES|SELECTION\n"
            "2|<when>|<peer> ana@caixa-01|SetAddPrefixo+SetUpdItemPrecoAlt|0001/001/" +
                period.startIso + "|2+" + std::to_string(2 - unchanged) + "|0+" + inPromotion +
                "|-|prefixo=\"PROMO \" lista=2 produtos promocao=\"S\" modoLista\n"
                "3|<when>|<peer> ana@caixa-01|SetAddPrefixo|-|1|0|-|prefixo=\"OUTRO \" lista=1 "
                "produtos\n");
  r = runVnd42400({"journal", "--db", db.target(), "--change", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n  NMPRODUTO (change 1):\n  \"PRD0000001\"  \""), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n  IDPROMOCAO (change 2):\n"), std::string::npos) << r.out;
  r = runVnd42400({"journal", "--db", db.target(), "--change", "2", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(",\"names\":{\"id\":1,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(",\"items\":[{\"product\":\"PRD0000001\",\"before\":"), std::string::npos)
      << r.out;

  r = runVnd42400({"restore", "--db", db.target(), "--change", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "change 2 restored as change 5: 2 names and " + std::to_string(2 - unchanged) +
                       " items put back, 0 left alone\n");
  EXPECT_EQ(db.scalar(namesSql), "0");
  EXPECT_EQ(db.scalar(flagsSql), inPromotion);
}

TEST(JournalCommandLineTest, BadUsageExitsTwoWithOneLineOnStandardError) {
  testsupport::TempDir dir;
  const std::string db = dir.file("x.db");
  const std::vector<std::vector<std::string>> cases = {
      {"journal"},
      {"journal", "--db"},
      {"journal", "--db", db, "--since", "2024-02-30"},
      {"journal", "--db", db, "--since", "ontem"},
      {"journal", "--db", db, "--since", "2024-01-01", "--change", "1"},
      {"journal", "--db", db, "--change", "0"},
      {"journal", "--db", db, "--json", "yes"},
      {"restore", "--db", db},
      {"restore", "--db", db, "--change", "x"},
      {"restore", "--db", db, "--change", "-3"},
      {"restore", "--change", "1"},
      {"restore", "--db", db, "--change", "1", "--json"},
      {"prune", "--db", db},
      {"prune", "--db", db, "--before", "2024-13-01"},
      {"prune", "--before", "2024-01-01"},
      {"serve", "--db", db, "--lock-wait", "0"},
  };
  for (const auto& args : cases) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    const auto r = runVnd42400(args);
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << line << ": " << r.err;
    EXPECT_EQ(r.err.rfind("vnd42400: ", 0), 0u) << line << ": " << r.err;
    EXPECT_EQ(r.out, "") << line;
  }
  EXPECT_FALSE(std::filesystem::exists(db));
  const auto help = runVnd42400({"--help"});
  for (const char* command : {"journal", "restore", "prune"})
    EXPECT_NE(help.out.find(command), std::string::npos) << help.out;
}

INSTANTIATE_TEST_SUITE_P(Engines, JournalProcessTest,
                         ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
