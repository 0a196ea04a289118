// The header's search buttons for branch, price table and validity.

#include "vnd42406/screen_test.h"

namespace screentest {
namespace {

using testsupport::FakeReply;

class LookupsTest : public ScreenTest {};

TEST_F(LookupsTest, TheBranchListOffersEveryBranchAndAPickClearsWhatDependsOnIt) {
  openWithHeader();
  ASSERT_EQ(type("medCdFilial", ""), "ok");
  pick(2);
  ASSERT_EQ(click("btnFilial"), "ok");
  EXPECT_EQ(calls(), "GetFilial(str \"\", str \"T\")\n");
  EXPECT_EQ(shown(),
            "list Filial [Código|Nome] 0001|Matriz / 0002|Filial Centro / A1B2|Loja Shopping -> 2\n");
  EXPECT_EQ(state({"medCdFilial", "edtNmFilial", "medCdTabePrec", "depDtIniVig"}),
            "medCdFilial \"A1B2\" focus\n"
            "edtNmFilial \"Loja Shopping\" off\n"
            "medCdTabePrec \"   \"\n"
            "depDtIniVig \"  /  /    \"\n");
  EXPECT_EQ(form()->cdsFilial->RecordCount(), 3);
}

TEST_F(LookupsTest, PickingTheSameBranchAgainKeepsThePriceTable) {
  openWithHeader();
  pick(0);
  ASSERT_EQ(click("btnFilial"), "ok");
  EXPECT_EQ(state({"medCdFilial", "edtNmFilial", "medCdTabePrec", "edtNmTabePrec"}),
            "medCdFilial \"0001\"\n"
            "edtNmFilial \"Matriz\" off\n"
            "medCdTabePrec \"001\"\n"
            "edtNmTabePrec \"Tabela Varejo\" off\n");
}

TEST_F(LookupsTest, ThePriceTableListNeedsARegisteredBranch) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", ""), "ok");
  EXPECT_EQ(click("btnTabePrec"), "EAbort");
  EXPECT_EQ(shown(), "error: Filial deve ser informada.\n");
  ASSERT_EQ(type("medCdFilial", "9"), "ok");
  EXPECT_EQ(click("btnTabePrec"), "EAbort");
  EXPECT_EQ(shown(), "error: Filial não cadastrada.\n");
  EXPECT_EQ(calls(), "GetFilial(str \"0009\", str \"\")\n");

  ASSERT_EQ(type("medCdFilial", "1"), "ok");
  pick(1);
  ASSERT_EQ(click("btnTabePrec"), "ok");
  EXPECT_EQ(calls(),
            "GetFilial(str \"0001\", str \"\")\n"
            "GetTabePrec(str \"0001\")\n");
  EXPECT_EQ(shown(), "list Tabela de Preço [Código|Nome] 001|Tabela Varejo / 002|Tabela Atacado -> 1\n");
  EXPECT_EQ(state({"medCdFilial", "medCdTabePrec", "edtNmTabePrec"}),
            "medCdFilial \"0001\" focus\n"
            "medCdTabePrec \"002\"\n"
            "edtNmTabePrec \"Tabela Atacado\" off\n");
}

TEST_F(LookupsTest, TheValidityListShowsEachPeriodsSituation) {
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(click("btnDtIniVig"), "EAbort");
  EXPECT_EQ(shown(), "error: Tabela de preço deve ser informada.\n");
  ASSERT_EQ(type("medCdTabePrec", "1"), "ok");
  calls();
  pick(2);
  ASSERT_EQ(click("btnDtIniVig"), "ok");
  EXPECT_EQ(calls(),
            "GetFilial(str \"0001\", str \"\")\n"
            "GetTabePrec(str \"0001\")\n"
            "getVigencia(str \"0001\", str \"001\", int 0, str \"T\", ref \"dd/mm/yyyy\")\n");
  EXPECT_EQ(shown(),
            "list Vigência [Data Inicial|Data Final|Situação] 01/11/2026|30/11/2026|Inativa / "
            "01/12/2026|31/12/2026|Ativa / 01/01/2027|30/06/2027|Inativa -> 2\n");
  EXPECT_EQ(state({"depDtIniVig", "depDtFinVig"}),
            "depDtIniVig \"01/01/2027\"\n"
            "depDtFinVig \"30/06/2027\" off\n");
}

TEST_F(LookupsTest, AnEmptyAnswerShowsTheButtonsEmptyText) {
  ASSERT_EQ(open(), "ok");
  server.queue("GetFilial", FakeReply::ok(testsupport::stringPacket(
                                {{"CDFILIAL", 4}, {"NMFILIAL", 30}, {"CDSEGMER", 5},
                                 {"SEGMENTO", 48}, {"IDPRECDIFCOM", 1}, {"CDGRPRODPDV", 10},
                                 {"GRUPOPROD", 53}, {"IDUTMODPRODFIL", 1}},
                                {})));
  ASSERT_EQ(click("btnFilial"), "ok");
  EXPECT_EQ(shown(), "error: Não há filial cadastrada.\n");
}

TEST_F(LookupsTest, AFailedFetchShowsNoListAndKeepsTheRows) {
  ASSERT_EQ(open(), "ok");
  pick(std::nullopt);
  ASSERT_EQ(click("btnFilial"), "ok");
  EXPECT_EQ(shown(),
            "list Filial [Código|Nome] 0001|Matriz / 0002|Filial Centro / A1B2|Loja Shopping -> "
            "cancel\n");
  server.queue("GetFilial", FakeReply::error(500, "erro interno"));
  EXPECT_EQ(click("btnFilial"), "ERemoteError");
  EXPECT_EQ(shown(), "error: erro interno.\n");
  EXPECT_EQ(form()->cdsFilial->RecordCount(), 3);
  EXPECT_EQ(busy(), 0);
}

TEST_F(LookupsTest, ALockedBranchLocksItsSearchButton) {
  Varnoke::Session s = session();
  s.branchLocked = true;
  setSession(s);
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(click("btnFilial"), "rejected: btnFilial is disabled");
  EXPECT_EQ(calls(), "");
}

}  // namespace
}  // namespace screentest
