// The confirm action in all three modes, with and without the name prefix.

#include "vnd42406/screen_test.h"

namespace screentest {
namespace {

using testsupport::FakeReply;

class ConfirmationTest : public ScreenTest {
 protected:
  // The calls a confirmation makes before the changes: the header checks.
  static constexpr const char* kHeaderChecks =
      "GetFilial(str \"0001\", str \"\")\n"
      "GetTabePrec(str \"0001\")\n"
      "getVigencia(str \"0001\", str \"001\", date 2026-12-01, str \"\", ref \"dd/mm/yyyy\")\n";
  static constexpr const char* kAsked =
      "confirm(yes): Confirma alteração dos produtos selecionados?\n";
  static constexpr const char* kDone = "info: Alteração realizada com sucesso.\n";

  void pickList(std::vector<std::string> codes) {
    ASSERT_EQ(click("rbtLista"), "ok");
    mark(std::move(codes));
    ASSERT_EQ(click("btnListaProd"), "ok");
    shown();
    calls();
  }
  void range(const std::string& first, const std::string& last) {
    ASSERT_EQ(click("rbtIntervalo"), "ok");
    ASSERT_EQ(type("medProdIni", first), "ok");
    ASSERT_EQ(type("medProdFim", last), "ok");
    shown();
    calls();
  }
  void prefix(const std::string& text, bool add = true) {
    ASSERT_EQ(click("chbPrefixo"), "ok");
    ASSERT_EQ(click(add ? "rbtAddPrefixo" : "rbtDelPrefixo"), "ok");
    ASSERT_EQ(type("edtPrefixo", text), "ok");
  }
};

TEST_F(ConfirmationTest, AllProductsWithoutPrefixIsOneUpdateThenTheScreenCloses) {
  openWithHeader();
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(calls(),
            std::string(kHeaderChecks) +
                "SetUpdItemPrecoAlt(ref \"S\", ref \"\", ref \"\", ref \"\", ref \"T\", nil, "
                "bool false, str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(shown(), std::string(kAsked) + kDone);
  EXPECT_EQ(form(), nullptr);
  EXPECT_FALSE(boStCriado);
}

TEST_F(ConfirmationTest, EachModeSendsItsSelectionWithAndWithoutThePrefix) {
  // All products, clearing a prefix.
  openWithHeader();
  prefix("OFERTA ", false);
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(calls(),
            std::string(kHeaderChecks) +
                "SetDelPrefixo(ref \"OFERTA \", ref \"\", ref \"\", ref \"\", ref \"T\")\n"
                "SetUpdItemPrecoAlt(ref \"S\", ref \"\", ref \"\", ref \"\", ref \"T\", nil, "
                "bool false, str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(shown(), std::string(kAsked) + kDone);

  // A list, no prefix.
  openWithHeader();
  pickList({"0000000002"});
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(calls(), std::string(kHeaderChecks) +
                         "SetUpdItemPrecoAlt(ref \"S\", ref \"\", ref \"\", ref \"_0000000002_\", "
                         "ref \"\", packet{CDPRODUTO=0000000002}, bool true, str \"0001\", "
                         "str \"001\", date 2026-12-01)\n");

  // A range, no prefix, taken out of the promotion.
  openWithHeader();
  range("12345679", "98765432");
  ASSERT_EQ(choose("rdgPromocao", 1), "ok");
  calls();
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(calls(),
            std::string(kHeaderChecks) +
                "GetProdValid(str \"0001\", str \"001\", date 2026-12-01, str \"12345679\")\n"
                "GetProdValid(str \"0001\", str \"001\", date 2026-12-01, str \"98765432\")\n"
                "SetUpdItemPrecoAlt(ref \"N\", ref \"12345679\", ref \"98765432\", ref \"\", "
                "ref \"\", nil, bool false, str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(form(), nullptr);
}

TEST_F(ConfirmationTest, AnsweringNoChangesNothing) {
  openWithHeader();
  ASSERT_EQ(choose("rdgPromocao", 1), "ok");
  answer(false);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(calls(), kHeaderChecks);
  EXPECT_EQ(shown(), "confirm(no): Confirma alteração dos produtos selecionados?\n");
  ASSERT_NE(form(), nullptr);
  EXPECT_EQ(form()->rdgPromocao->ItemIndex(), 1);
}

TEST_F(ConfirmationTest, ARangeWithAnAddedPrefixCallsThePrefixThenTheUpdate) {
  openWithHeader();
  range("12345678", "98765432");
  prefix("PROMO ");
  ASSERT_EQ(choose("rdgPromocao", 1), "ok");
  calls();  // leaving the last product edit checked it
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(
      calls(),
      std::string(kHeaderChecks) +
          "GetProdValid(str \"0001\", str \"001\", date 2026-12-01, str \"12345678\")\n"
          "GetProdValid(str \"0001\", str \"001\", date 2026-12-01, str \"98765432\")\n"
          "SetAddPrefixo(ref \"PROMO \", ref \"12345678\", ref \"98765432\", ref \"\", ref \"\")\n"
          "SetUpdItemPrecoAlt(ref \"N\", ref \"12345678\", ref \"98765432\", ref \"\", ref \"\", "
          "nil, bool false, str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(shown(), std::string(kAsked) + kDone);
}

TEST_F(ConfirmationTest, ClearingThePrefixOfAnEqualRange) {
  openWithHeader();
  range("12345678", "12345678");
  prefix("   ", false);  // blanks are a prefix
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  const std::string log = calls();
  EXPECT_NE(
      log.find(
          "SetDelPrefixo(ref \"   \", ref \"12345678\", ref \"12345678\", ref \"\", ref \"\")\n"
          "SetUpdItemPrecoAlt(ref \"S\", ref \"12345678\", ref \"12345678\""),
      std::string::npos)
      << log;
  EXPECT_EQ(log.find("SetAddPrefixo"), std::string::npos);
}

TEST_F(ConfirmationTest, AReversedRangeIsRefusedAfterTheQuestionAndBeforeAnyChange) {
  openWithHeader();
  range("98765432", "12345678");
  prefix("X");
  answer(true);
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), std::string(kAsked) +
                         "error: Produto inicial deve ser menor ou igual que produto final.\n");
  const std::string log = calls();
  EXPECT_EQ(log.find("Set"), std::string::npos) << log;
  ASSERT_NE(form(), nullptr);

  // Without the prefix the same check comes at the update.
  ASSERT_EQ(click("chbPrefixo"), "ok");
  answer(true);
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), std::string(kAsked) +
                         "error: Produto inicial deve ser menor ou igual que produto final.\n");
  EXPECT_EQ(calls().find("Set"), std::string::npos);
}

TEST_F(ConfirmationTest, AnEmptyPrefixIsRefusedAfterTheQuestion) {
  openWithHeader();
  prefix("");
  answer(true);
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), std::string(kAsked) + "error: Prefixo deve ser informado.\n");
  EXPECT_EQ(calls(), kHeaderChecks);
}

TEST_F(ConfirmationTest, APrefixTypedWithTheOptionOffIsIgnored) {
  openWithHeader();
  prefix("IGNORADO ");
  ASSERT_EQ(click("chbPrefixo"), "ok");  // off again; the text and the choice stay
  EXPECT_EQ(state({"chbPrefixo", "rbtAddPrefixo", "edtPrefixo"}),
            "chbPrefixo \"Adicionar ou Limpar prefixo.\" focus\n"
            "rbtAddPrefixo \"Adicionar o prefixo ao nome dos produtos promocionais.\" off checked\n"
            "edtPrefixo \"IGNORADO \" off\n");
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(calls().find("Prefixo"), std::string::npos);
}

TEST_F(ConfirmationTest, AListOfThreeIsSentAsTheListAndAsOneRowPerProduct) {
  openWithHeader();
  pickList({"0000000001", "0000000002", "0000000003"});
  prefix("PROMO ");
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  EXPECT_EQ(calls(), std::string(kHeaderChecks) +
                         "SetAddPrefixo(ref \"PROMO \", ref \"\", ref \"\", "
                         "ref \"_0000000001_0000000002_0000000003_\", ref \"\")\n"
                         "SetUpdItemPrecoAlt(ref \"S\", ref \"\", ref \"\", "
                         "ref \"_0000000001_0000000002_0000000003_\", ref \"\", "
                         "packet{CDPRODUTO=0000000003;CDPRODUTO=0000000002;CDPRODUTO=0000000001}, "
                         "bool true, str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(shown(), std::string(kAsked) + kDone);
}

TEST_F(ConfirmationTest, ListModeWithoutAListIsRefused) {
  openWithHeader();
  ASSERT_EQ(click("rbtLista"), "ok");
  answer(true);
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Produto deve ser informado.\n");
  EXPECT_EQ(focused(), "rbtLista");
  EXPECT_EQ(calls(), kHeaderChecks);
}

TEST_F(ConfirmationTest, AFailingPrefixCallStopsBeforeTheUpdate) {
  openWithHeader();
  pickList({"0000000002"});
  prefix("LONGO DEMAIS ");
  server.queue("SetAddPrefixo",
               FakeReply::refuse("O nome do produto 0000000002 passaria de 50 caracteres."));
  answer(true);
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), std::string(kAsked) +
                         "error: O nome do produto 0000000002 passaria de 50 caracteres.\n");
  EXPECT_EQ(calls().find("SetUpdItemPrecoAlt"), std::string::npos);
  EXPECT_EQ(form()->ListaProd(), "_0000000002_");  // not consumed
  EXPECT_FALSE(form()->cdsProduto->Active());
  EXPECT_EQ(busy(), 0);
}

TEST_F(ConfirmationTest, AFailingUpdateKeepsTheScreenOpenWithTheListConsumed) {
  openWithHeader();
  pickList({"0000000001", "0000000003"});
  server.queue("SetUpdItemPrecoAlt", FakeReply::error(500, "erro interno"));
  answer(true);
  EXPECT_EQ(click("sbtConfirma"), "ERemoteError");
  EXPECT_EQ(shown(), std::string(kAsked) + "error: erro interno.\n");
  ASSERT_NE(form(), nullptr);
  EXPECT_EQ(form()->ListaProd(), "_");
  EXPECT_EQ(form()->cdsProduto->RecordCount(), 2);
  EXPECT_EQ(busy(), 0);

  // A new run sends what is left of the list ("_", no row of its own) and the old rows.
  calls();
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  const std::string log = calls();
  EXPECT_NE(log.find("SetUpdItemPrecoAlt(ref \"S\", ref \"\", ref \"\", ref \"_\", ref \"\", "
                     "packet{CDPRODUTO=0000000003;CDPRODUTO=0000000001}, bool true"),
            std::string::npos)
      << log;
}

TEST_F(ConfirmationTest, AProductTextLeftInTheListIsSentWithNoRows) {
  openWithHeader();
  range("12345678", "98765432");
  ASSERT_EQ(click("rbtLista"), "ok");  // leaving the last edit left its text in the list
  answer(true);
  ASSERT_EQ(click("sbtConfirma"), "ok");
  const std::string log = calls();
  EXPECT_NE(
      log.find("SetUpdItemPrecoAlt(ref \"S\", ref \"\", ref \"\", ref \"98765432\", ref \"\", "
               "packet{}, bool true"),
      std::string::npos)
      << log;
}

TEST_F(ConfirmationTest, ARangeNeedsBothProductsBeforeTheQuestion) {
  openWithHeader();
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Produto inicial deve ser informado.\n");
  EXPECT_EQ(focused(), "medProdIni");
  EXPECT_EQ(calls(), kHeaderChecks);

  // The first product is checked before the last one is asked for; putting the focus on the
  // last one leaves the first, whose exit checks it again.
  ASSERT_EQ(type("medProdIni", "12345678"), "ok");
  EXPECT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Produto final deve ser informado.\n");
  EXPECT_EQ(focused(), "medProdFim");
  const std::string check =
      "GetProdValid(str \"0001\", str \"001\", date 2026-12-01, str \"12345678\")\n";
  EXPECT_EQ(calls(), kHeaderChecks + check + check);
  ASSERT_NE(form(), nullptr);
}

}  // namespace
}  // namespace screentest
