// Branch, price table and validity start: checked when left, normalised, names filled, and
// everything below a changed field cleared.

#include "vnd42406/screen_test.h"

namespace screentest {
namespace {

using testsupport::FakeReply;

class HeaderValidationTest : public ScreenTest {};

TEST_F(HeaderValidationTest, LeavingEmptyFieldsIsSilentAndCallsNothing) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", ""), "ok");
  EXPECT_EQ(focus("medCdTabePrec"), "ok");  // empty branch left
  EXPECT_EQ(focus("depDtIniVig"), "ok");    // three blanks left
  EXPECT_EQ(focus("rbtTodos"), "ok");     // no date left
  EXPECT_EQ(calls(), "");
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(focused(), "rbtTodos");
}

TEST_F(HeaderValidationTest, MandatoryMessagesComeInOrderBranchPriceTableValidity) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", ""), "ok");
  ASSERT_EQ(focus("rbtTodos"), "ok");
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Filial deve ser informada.\n");
  EXPECT_EQ(calls(), "");
  EXPECT_EQ(focused(), "medCdFilial");

  ASSERT_EQ(type("medCdFilial", "1"), "ok");
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Tabela de preço deve ser informada.\n");
  // Putting the focus back in the price table leaves the branch field: its exit validator
  // runs once more on the way.
  EXPECT_EQ(calls(),
            "GetFilial(str \"0001\", str \"\")\n"
            "GetFilial(str \"0001\", str \"\")\n");
  EXPECT_EQ(focused(), "medCdTabePrec");

  ASSERT_EQ(type("medCdTabePrec", "1"), "ok");
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Vigência deve ser informada.\n");
  EXPECT_EQ(calls(),
            "GetFilial(str \"0001\", str \"\")\n"
            "GetTabePrec(str \"0001\")\n"
            "GetTabePrec(str \"0001\")\n");
  EXPECT_EQ(focused(), "depDtIniVig");
  EXPECT_EQ(state({"medCdFilial", "edtNmFilial", "medCdTabePrec", "edtNmTabePrec"}),
            "medCdFilial \"0001\"\n"
            "edtNmFilial \"Matriz\" off\n"
            "medCdTabePrec \"001\"\n"
            "edtNmTabePrec \"Tabela Varejo\" off\n");
}

TEST_F(HeaderValidationTest, CodesAreNormalisedAndNamesFilledWhenLeft) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", "a1b2"), "ok");  // the mask turns typed letters to upper case
  ASSERT_EQ(focus("medCdTabePrec"), "ok");
  EXPECT_EQ(calls(), "GetFilial(str \"A1B2\", str \"\")\n");
  ASSERT_EQ(type("medCdFilial", "2"), "ok");
  ASSERT_EQ(type("medCdTabePrec", "3"), "ok");
  ASSERT_EQ(type("depDtIniVig", ""), "ok");
  EXPECT_EQ(calls(),
            "GetFilial(str \"0002\", str \"\")\n"
            "GetTabePrec(str \"0002\")\n");
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(state({"medCdFilial", "edtNmFilial", "medCdTabePrec", "edtNmTabePrec"}),
            "medCdFilial \"0002\"\n"
            "edtNmFilial \"Filial Centro\" off\n"
            "medCdTabePrec \"003\"\n"
            "edtNmTabePrec \"Tabela Centro\" off\n");
}

TEST_F(HeaderValidationTest, ValidatingAgainAsksTheServerAgain) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(focus("medCdTabePrec"), "ok");
  ASSERT_EQ(focus("medCdFilial"), "ok");
  ASSERT_EQ(focus("medCdTabePrec"), "ok");
  EXPECT_EQ(calls(),
            "GetFilial(str \"0001\", str \"\")\n"
            "GetFilial(str \"0001\", str \"\")\n");
}

TEST_F(HeaderValidationTest, CodesThatAreNotRegisteredKeepTheUserInTheField) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", "9"), "ok");
  EXPECT_EQ(focus("medCdTabePrec"), "EAbort");
  EXPECT_EQ(shown(), "error: Filial não cadastrada.\n");
  EXPECT_EQ(state({"medCdFilial", "edtNmFilial"}),
            "medCdFilial \"0009\" focus\n"
            "edtNmFilial \"\" off\n");

  // A price table of another branch is not one of this branch's.
  ASSERT_EQ(type("medCdFilial", "0002"), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  calls();
  EXPECT_EQ(focus("depDtIniVig"), "EAbort");
  EXPECT_EQ(shown(), "error: Tabela de preço não cadastrada.\n");
  EXPECT_EQ(calls(), "GetTabePrec(str \"0002\")\n");
  EXPECT_EQ(state({"medCdTabePrec", "edtNmTabePrec"}),
            "medCdTabePrec \"001\" focus\n"
            "edtNmTabePrec \"\" off\n");
}

TEST_F(HeaderValidationTest, ThePriceTableIsCheckedAgainstTheBranchFieldAsItStands) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", ""), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  EXPECT_EQ(focus("depDtIniVig"), "EAbort");
  EXPECT_EQ(calls(), "GetTabePrec(str \"\")\n");
  EXPECT_EQ(shown(), "error: Tabela de preço não cadastrada.\n");
}

TEST_F(HeaderValidationTest, AValidityStartFillsItsEndFromTheServer) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  ASSERT_EQ(type("depDtIniVig", "01/12/2026"), "ok");
  calls();
  ASSERT_EQ(focus("rbtTodos"), "ok");
  EXPECT_EQ(calls(),
            "getVigencia(str \"0001\", str \"001\", date 2026-12-01, str \"\", ref \"dd/mm/yyyy\")\n");
  EXPECT_EQ(state({"depDtIniVig", "depDtFinVig"}),
            "depDtIniVig \"01/12/2026\"\n"
            "depDtFinVig \"31/12/2026\" off\n");

  ASSERT_EQ(type("depDtIniVig", "02/12/2026"), "ok");
  EXPECT_EQ(state({"depDtFinVig"}), "depDtFinVig \"  /  /    \" off\n");
  EXPECT_EQ(focus("rbtTodos"), "EAbort");
  EXPECT_EQ(shown(), "error: Vigência não cadastrada.\n");
  EXPECT_EQ(state({"depDtIniVig", "depDtFinVig"}),
            "depDtIniVig \"02/12/2026\" focus\n"
            "depDtFinVig \"  /  /    \" off\n");
}

TEST_F(HeaderValidationTest, TheValidityTextsFollowTheUsersDateFormat) {
  rtl::ShortDateFormat() = "mm/dd/yyyy";
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  ASSERT_EQ(type("depDtIniVig", "12/01/2026"), "ok");
  calls();
  ASSERT_EQ(focus("rbtTodos"), "ok");
  EXPECT_EQ(calls(),
            "getVigencia(str \"0001\", str \"001\", date 2026-12-01, str \"\", ref \"mm/dd/yyyy\")\n");
  EXPECT_EQ(state({"depDtFinVig"}), "depDtFinVig \"12/31/2026\" off\n");
}

TEST_F(HeaderValidationTest, AServerFailureInAValidatorPutsTheFocusBackAndWritesNoName) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", "0002"), "ok");
  server.queue("GetFilial", FakeReply::error(500, "erro interno: banco indisponível"));
  EXPECT_EQ(focus("medCdTabePrec"), "ERemoteError");
  EXPECT_EQ(shown(), "error: erro interno: banco indisponível.\n");
  EXPECT_EQ(busy(), 0);
  EXPECT_EQ(state({"medCdFilial", "edtNmFilial"}),
            "medCdFilial \"0002\" focus\n"
            "edtNmFilial \"\" off\n");

  // A refusal in the answer is the server's message, shown once.
  server.queue("GetFilial", FakeReply::refuse("Filial bloqueada para alteração."));
  EXPECT_EQ(focus("medCdTabePrec"), "EAbort");
  EXPECT_EQ(shown(), "error: Filial bloqueada para alteração.\n");
  EXPECT_EQ(focused(), "medCdFilial");
}

TEST_F(HeaderValidationTest, ATargetThatFailsToLoadKeepsItsPreviousRows) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  ASSERT_EQ(focus("depDtIniVig"), "ok");
  EXPECT_EQ(form()->cdsTabePrec->RecordCount(), 2);
  server.queue("GetTabePrec", FakeReply::error(500, "falhou"));
  ASSERT_EQ(type("medCdTabePrec", "002"), "ok");
  EXPECT_EQ(focus("depDtIniVig"), "ERemoteError");
  EXPECT_EQ(form()->cdsTabePrec->RecordCount(), 2);
  EXPECT_EQ(state({"medCdTabePrec", "edtNmTabePrec"}),
            "medCdTabePrec \"002\" focus\n"
            "edtNmTabePrec \"\" off\n");
}

TEST_F(HeaderValidationTest, ChangingAFieldClearsWhatDependsOnItAndNothingElse) {
  openWithHeader();
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  ASSERT_EQ(type("medProdIni", "12345678"), "ok");
  ASSERT_EQ(focus("medProdFim"), "ok");
  const std::string products = state({"medProdIni", "edtNomeIni"});
  EXPECT_EQ(products, "medProdIni \"12345678\"\nedtNomeIni \"Arroz Tipo 1\" off\n");

  ASSERT_EQ(type("depDtIniVig", "01/11/2026"), "ok");
  EXPECT_EQ(state({"depDtFinVig", "edtNmTabePrec"}),
            "depDtFinVig \"  /  /    \" off\n"
            "edtNmTabePrec \"Tabela Varejo\" off\n");
  ASSERT_EQ(type("medCdTabePrec", "002"), "ok");
  EXPECT_EQ(state({"edtNmTabePrec", "depDtIniVig", "depDtFinVig", "edtNmFilial"}),
            "edtNmTabePrec \"\" off\n"
            "depDtIniVig \"  /  /    \"\n"
            "depDtFinVig \"  /  /    \" off\n"
            "edtNmFilial \"Matriz\" off\n");
  ASSERT_EQ(type("medCdFilial", "0002"), "ok");
  EXPECT_EQ(state({"edtNmFilial", "medCdTabePrec", "edtNmTabePrec"}),
            "edtNmFilial \"\" off\n"
            "medCdTabePrec \"   \"\n"
            "edtNmTabePrec \"\" off\n");
  EXPECT_EQ(state({"medProdIni", "edtNomeIni"}), products);
}

TEST_F(HeaderValidationTest, NormalisingTheBranchOnConfirmationClearsThePriceTable) {
  Varnoke::Session s = session();
  s.branch = "1";
  s.branchLocked = true;
  setSession(s);
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");  // still in the field: not validated yet
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Tabela de preço deve ser informada.\n");
  EXPECT_EQ(state({"medCdFilial", "medCdTabePrec"}),
            "medCdFilial \"0001\" off\n"
            "medCdTabePrec \"   \" focus\n");
}

TEST_F(HeaderValidationTest, ALockedBranchThatFailsShowsExactlyOneMessage) {
  Varnoke::Session s = session();
  s.branch = "9999";
  s.branchLocked = true;
  setSession(s);
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Filial não cadastrada.\n");
  EXPECT_EQ(focused(), "medCdTabePrec");
  EXPECT_EQ(busy(), 0);
}

}  // namespace
}  // namespace screentest
