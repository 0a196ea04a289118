// The journal at the desk through a real vnd42400 on each engine: the history object lists the
// changes each account may see, pages through their products, says what undoing one would do,
// undoes it as its caller, and turns down what rights, branches and arguments do not allow.

#include <gtest/gtest.h>

#include <fstream>

#include "demo_server.h"
#include "support/rpc_client.h"
#include "support/server_process.h"

namespace servertest {
namespace {

using testsupport::describe;
using testsupport::RpcClient;
using testsupport::TempDir;

constexpr const char* kPassword = "correta-123";
constexpr const char* kHistory = "Vnd42400.rdmHistorico";

// ana: promotions on 0001, reads and undoes there; bia: reads 0001; rui: everything everywhere.
std::vector<std::vector<std::string>> accounts(const std::string& password) {
  const auto add = [&](const char* user, std::vector<std::string> grants) {
    std::vector<std::string> command{"user", "add", "--user", user, "--password-file", password};
    command.insert(command.end(), grants.begin(), grants.end());
    return command;
  };
  return {add("ana", {"--right", "promocao", "--right", "diario", "--right", "restaurar",
                      "--branch", "0001"}),
          add("bia", {"--right", "diario", "--branch", "0001"}),
          add("rui", {"--right", "promocao", "--right", "prefixo", "--right", "diario", "--right",
                      "restaurar", "--all-branches"})};
}

std::vector<rtl::Variant> update(const Period& period, const std::string& branch,
                                 const std::string& flag, const std::string& list = "") {
  static thread_local std::string promotion, empty, all, listed;
  promotion = flag;
  listed = list;
  all = list.empty() ? "T" : "";
  return {rtl::Variant::ByRef(promotion),
          rtl::Variant::ByRef(empty),
          rtl::Variant::ByRef(empty),
          rtl::Variant::ByRef(listed),
          rtl::Variant::ByRef(all),
          rtl::Variant::Null(),
          rtl::Variant::FromBool(!list.empty()),
          branch,
          "001",
          rtl::Variant::FromDate(period.start)};
}

std::vector<rtl::Variant> prefix(const std::string& text) {
  static thread_local std::string value, empty, all = "T";
  value = text;
  return {rtl::Variant::ByRef(value), rtl::Variant::ByRef(empty), rtl::Variant::ByRef(empty),
          rtl::Variant::ByRef(empty), rtl::Variant::ByRef(all)};
}

struct Filter {
  std::string branch = {}, user = {}, since = {}, method = {};
  int before = 0;
  int count = 50;
};

// Every listed change on a line, its time left out: "ID|user|machine|address|method|branch|
// table|start|request|changed|unchanged|names|names unchanged|column|restores|discarded|undo".
std::string listed(RpcClient& client, const Filter& f = {}) {
  const rpc::Response response =
      client.call("GetAlteracoes", {f.branch, "", int32_t{0}, f.user, f.since, "", f.method,
                                    int32_t{f.before}, int32_t{f.count}});
  if (response.error || describe(response).rfind("[0,", 0) != 0) return describe(response);
  const auto data = testsupport::answerData(response);
  std::string out;
  for (size_t row = 0; row < data->rowCount(); ++row) {
    std::string line = testsupport::describeRow(*data, row);
    const size_t when = line.find('|');
    out += line.erase(when, line.find('|', when + 1) - when) + "\n";
  }
  return out;
}

std::string start(const Period& period) {
  return period.startIso;
}

class HistoryProcess : public ::testing::TestWithParam<Engine> {};

TEST_P(HistoryProcess, EachAccountSeesAndUndoesWhatItsRightsAndBranchesReach) {
  TempDir dir;
  const std::string password = dir.file("senha");
  std::ofstream(password) << kPassword << "\n";
  DemoServer server(GetParam(), 40, {}, accounts(password));
  TestDatabase& db = server.db();
  const auto login = [&](const char* user, const char* object) {
    auto client = server.client(false);
    const std::string welcome = describe(client->logIn(user, kPassword, "caixa1", object));
    EXPECT_EQ(welcome.rfind(std::string("['") + user, 0), 0u) << welcome;
    return client;
  };
  auto ana = login("ana", "Vnd42400.rdmTabePreco");
  auto rui = login("rui", "Vnd42400.rdmTabePreco");
  const Period p1 = periodsOf(*ana, "0001", "001").front();
  const Period p2 = periodsOf(*rui, "0002", "001").front();
  const std::string items1 =
      "FROM ITEMPRECO WHERE CDFILIAL = '0001' AND CDTABEPREC = '001' AND "
      "DTINIVGPREC = '" +
      p1.startIso + "'";
  const std::string promotedBefore =
      db.scalar("SELECT COUNT(*) " + items1 + " AND IDPROMOCAO = 'S'");
  const std::string putIn = db.scalar("SELECT COUNT(*) " + items1 + " AND IDPROMOCAO <> 'S'");
  const std::string total2 = db.scalar(
      "SELECT COUNT(*) FROM ITEMPRECO WHERE CDFILIAL = '0002' AND CDTABEPREC = '001' AND "
      "DTINIVGPREC = '" +
      p2.startIso + "'");
  const std::string products = db.scalar("SELECT COUNT(*) FROM PRODUTO");

  // 1: ana on 0001; 2: rui on 0002; 3+4: rui's prefix and update on 0002, one confirmation.
  ASSERT_EQ(describe(ana->call("SetUpdItemPrecoAlt", update(p1, "0001", "S"))), "[0, '', null]");
  ASSERT_EQ(describe(rui->call("SetUpdItemPrecoAlt", update(p2, "0002", "S"))), "[0, '', null]");
  ASSERT_EQ(describe(rui->call("SetAddPrefixo", prefix("X "))), "[0, '', null]");
  ASSERT_EQ(describe(rui->call("SetUpdItemPrecoAlt", update(p2, "0002", "N"))), "[0, '', null]");

  auto anaH = login("ana", kHistory);
  auto biaH = login("bia", kHistory);
  auto ruiH = login("rui", kHistory);

  // rui undoes the confirmation whole, names and flags (5+6), then adds a prefix alone (7).
  EXPECT_EQ(
      describe(ruiH->call("GetPreviaRestauracao", {int32_t{4}, rtl::Variant::FromBool(false)})),
      "[0, '', packet 2 rows]");
  const auto undone = testsupport::answerData(
      ruiH->call("SetRestauraAlteracao", {int32_t{3}, rtl::Variant::FromBool(false)}));
  EXPECT_EQ(testsupport::describeRow(*undone, 0), "NMPRODUTO|5|" + products + "|0|||");
  EXPECT_EQ(testsupport::describeRow(*undone, 1), "IDPROMOCAO|6|" + total2 + "|0|||");
  EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM PRODUTO WHERE NMPRODUTO LIKE 'X %'"), "0");
  ASSERT_EQ(describe(rui->call("SetAddPrefixo", prefix("Z "))), "[0, '', null]");

  // ana and bia see 0001 only, and no change of names alone; bia may not undo.
  const std::string one = "SetUpdItemPrecoAlt|0001|001|" + start(p1) +
                          "|Colocar na promoção: todos os produtos|" + putIn + "|" +
                          promotedBefore + "|null|null|IDPROMOCAO|null|null|";
  EXPECT_EQ(listed(*anaH), "1|ana|caixa1|127.0.0.1|" + one + "S\n");
  EXPECT_EQ(listed(*biaH), "1|ana|caixa1|127.0.0.1|" + one + "N\n");
  EXPECT_EQ(
      describe(biaH->call("SetRestauraAlteracao", {int32_t{1}, rtl::Variant::FromBool(false)})),
      "[1, 'O usuário bia não tem permissão para desfazer alterações.', null]");
  EXPECT_EQ(describe(anaH->call("GetItensAlteracao", {int32_t{4}, int32_t{0}, int32_t{10}})),
            "[1, 'O usuário ana não tem permissão na filial 0002.', null]");
  EXPECT_EQ(describe(anaH->call("GetItensAlteracao", {int32_t{7}, int32_t{0}, int32_t{10}})),
            "[1, 'Os nomes dos produtos valem para todas as filiais: o usuário ana só vê ou "
            "desfaz alterações de nomes com todas as filiais ou com permissão para alterar o "
            "prefixo.', null]");
  EXPECT_EQ(listed(*anaH, {.branch = "0002"}),
            "[1, 'O usuário ana não tem permissão na filial 0002.', null]");

  // rui sees everything, newest first, a page at a time, and filters.
  const std::string all = listed(*ruiH);
  EXPECT_EQ(all.substr(0, all.find('\n')),
            "7|rui|caixa1|127.0.0.1|SetAddPrefixo|null|null|null|Adicionar o prefixo \"Z \": todos "
            "os produtos|" +
                products + "|0|null|null|NMPRODUTO|null|null|S");
  EXPECT_EQ(all.substr(all.find("\n6|"), all.find("\n4|") - all.find("\n6|")),
            "\n6|rui|caixa1|127.0.0.1|restore|0002|001|" + start(p2) + "|Desfazer a alteração 4|" +
                total2 + "|0|" + products + "|0|IDPROMOCAO|4|null|S");
  const auto ids = [&](const Filter& filter) {
    std::string text = listed(*ruiH, filter), out;
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1)
      out += text.substr(at, text.find('|', at) - at) + " ";
    return out;
  };
  EXPECT_EQ(ids({}), "7 6 4 2 1 ");
  EXPECT_EQ(ids({.count = 2}), "7 6 ");
  EXPECT_EQ(ids({.before = 6, .count = 2}), "4 2 ");
  EXPECT_EQ(ids({.method = "SetAddPrefixo"}), "7 4 ");
  EXPECT_EQ(ids({.branch = "0002"}), "6 4 2 ");
  EXPECT_EQ(ids({.user = "ana"}), "1 ");
  EXPECT_EQ(ids({.since = "2999-01-01"}), "");
  // A change in two parts: its names first, then its flags, each by product code.
  const auto both = testsupport::answerData(
      ruiH->call("GetItensAlteracao", {int32_t{4}, int32_t{std::stoi(products) - 1}, int32_t{2}}));
  ASSERT_EQ(both->rowCount(), 2u);
  EXPECT_EQ(std::string(both->column(3).string(0)) + "/" + std::string(both->column(3).string(1)),
            "NMPRODUTO/IDPROMOCAO");

  // ana's products, a page at a time.
  const auto page = testsupport::answerData(
      anaH->call("GetItensAlteracao", {int32_t{1}, int32_t{0}, int32_t{2}}));
  ASSERT_EQ(page->rowCount(), 2u);
  const std::string first(page->column(0).string(0));
  EXPECT_LT(first, std::string(page->column(0).string(1)));
  EXPECT_EQ(testsupport::describeRow(*page, 0).substr(first.size()),
            "|" + db.scalar("SELECT CDARVPROD FROM PRODUTO WHERE CDPRODUTO = '" + first + "'") +
                "|" + db.scalar("SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = '" + first + "'") +
                "|IDPROMOCAO|N|S");
  EXPECT_EQ(describe(anaH->call("GetItensAlteracao",
                                {int32_t{1}, int32_t{std::stoi(putIn) - 1}, int32_t{10}})),
            "[0, '', packet 1 rows]");

  // rui takes the first product out again (8): ana's undo leaves it alone and says so.
  ASSERT_EQ(describe(rui->call("SetUpdItemPrecoAlt", update(p1, "0001", "N", "_" + first + "_"))),
            "[0, '', null]");
  const std::string back = std::to_string(std::stoi(putIn) - 1);
  EXPECT_EQ(testsupport::describeInFull(
                anaH->call("GetPreviaRestauracao", {int32_t{1}, rtl::Variant::FromBool(false)})),
            "[0, '', packet 1 rows]\nIDPROMOCAO|" + back + "|1");
  EXPECT_EQ(
      describe(anaH->call("SetRestauraAlteracao", {int32_t{1}, rtl::Variant::FromBool(true)})),
      "[1, 'Desfazer também as alterações posteriores dos mesmos produtos ainda não é "
      "possível neste servidor; nada foi desfeito.', null]");
  EXPECT_EQ(testsupport::describeInFull(
                anaH->call("SetRestauraAlteracao", {int32_t{1}, rtl::Variant::FromBool(false)})),
            "[0, '', packet 2 rows]\nIDPROMOCAO|9|" + back + "|1|||\nIDPROMOCAO|9|" + back + "|1|" +
                first + "|N|S");
  EXPECT_EQ(db.scalar("SELECT COUNT(*) " + items1 + " AND IDPROMOCAO = 'S'"), promotedBefore);
  EXPECT_EQ(db.scalar("SELECT DSUSUARIO || '|' || DSMAQUINA || '|' || DSMETODO || '|' || "
                      "IDRESTAURADA FROM ALTERACAOLOG WHERE ID = 9"),
            "ana|caixa1|restore|1");
  EXPECT_EQ(ids({.count = 2}), "9 8 ");

  // Arguments the server checks itself.
  EXPECT_EQ(listed(*anaH, {.count = 0}),
            "[1, 'Quantidade de linhas por página inválida: informe de 1 a 500.', null]");
  EXPECT_EQ(listed(*anaH, {.since = "2026-02-30"}),
            "[1, 'Data inicial do período inválida: informe AAAA-MM-DD, AAAA-MM-DD HH:MM ou "
            "AAAA-MM-DD HH:MM:SS (UTC).', null]");
  EXPECT_EQ(listed(*anaH, {.method = "DROP"}),
            "[1, 'Método inválido: informe SetUpdItemPrecoAlt, SetAddPrefixo, SetDelPrefixo ou "
            "restore, ou deixe vazio.', null]");
  EXPECT_EQ(describe(anaH->call("GetItensAlteracao", {int32_t{1}, int32_t{-1}, int32_t{10}})),
            "[1, 'Posição inicial inválida: informe zero ou mais.', null]");
  EXPECT_EQ(describe(anaH->call("GetItensAlteracao", {int32_t{1}, int32_t{0}, int32_t{1001}})),
            "[1, 'Quantidade de linhas por página inválida: informe de 1 a 1000.', null]");
  EXPECT_EQ(describe(anaH->call("GetItensAlteracao", {int32_t{999}, int32_t{0}, int32_t{10}})),
            "[1, 'Alteração 999 não encontrada.', null]");
}

INSTANTIATE_TEST_SUITE_P(Engines, HistoryProcess,
                         ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return std::string(engineName(info.param)); });

}  // namespace
}  // namespace servertest
