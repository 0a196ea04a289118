// The product group: modes, the picked list, the range edits with their searches and checks.

#include "vnd42406/screen_test.h"

namespace screentest {
namespace {

using testsupport::FakeReply;

class ProductSelectionTest : public ScreenTest {};

TEST_F(ProductSelectionTest, ModeButtonsApplyTheEnabledRuleFromTheStart) {
  ASSERT_EQ(open(), "ok");
  const auto products = [&] {
    return state({"btnListaProd", "btnProdutoIni", "btnProdutoFim", "medProdIni", "medProdFim"});
  };
  // Right after opening "Todos" is checked, and the range is off with it: a range typed there
  // would be confirmed as all products.
  EXPECT_EQ(products(),
            "btnListaProd \"\" off\nbtnProdutoIni \"\" off\nbtnProdutoFim \"\" off\n"
            "medProdIni \"\" off\nmedProdFim \"\" off\n");
  EXPECT_EQ(type("medProdIni", "01.01.0001"), "rejected: medProdIni is disabled");
  EXPECT_EQ(calls(), "");
  ASSERT_EQ(click("rbtLista"), "ok");
  EXPECT_EQ(products(),
            "btnListaProd \"\"\nbtnProdutoIni \"\" off\nbtnProdutoFim \"\" off\n"
            "medProdIni \"\" off\nmedProdFim \"\" off\n");
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  EXPECT_EQ(products(),
            "btnListaProd \"\" off\nbtnProdutoIni \"\"\nbtnProdutoFim \"\"\n"
            "medProdIni \"\"\nmedProdFim \"\"\n");
  ASSERT_EQ(click("rbtTodos"), "ok");
  EXPECT_EQ(products(),
            "btnListaProd \"\" off\nbtnProdutoIni \"\" off\nbtnProdutoFim \"\" off\n"
            "medProdIni \"\" off\nmedProdFim \"\" off\n");
  EXPECT_EQ(state({"rbtTodos", "rbtLista", "rbtIntervalo"}),
            "rbtTodos \"Todos\" checked focus\nrbtLista \"Lista\"\nrbtIntervalo \"Intervalo\"\n");
}

TEST_F(ProductSelectionTest, TheListIsPickedFromItemsLoadedOnceForTheLifeOfTheScreen) {
  openWithHeader();
  ASSERT_EQ(click("rbtLista"), "ok");
  mark(std::vector<std::string>{"0000000001", "0000000003"});
  ASSERT_EQ(click("btnListaProd"), "ok");
  EXPECT_EQ(
      calls(),
      "GetFilial(str \"0001\", str \"\")\n"
      "GetTabePrec(str \"0001\")\n"
      "getVigencia(str \"0001\", str \"001\", date 2026-12-01, str \"\", ref \"dd/mm/yyyy\")\n"
      "GetAutItemPreco(str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(shown(),
            "list Produto [Código|Nome] 12.34.5678|Arroz Tipo 1 / 12.34.5679|Feijão Carioca / "
            "98.76.5432|Óleo de Soja -> [0000000001,0000000003]\n");
  EXPECT_EQ(form()->ListaProd(), "_0000000001_0000000003_");

  // Cancelling keeps the list; another price table still offers the items loaded first.
  ASSERT_EQ(type("medCdTabePrec", "002"), "ok");
  ASSERT_EQ(type("depDtIniVig", "01/11/2026"), "ok");
  EXPECT_EQ(click("btnListaProd"), "EAbort");  // 01/11/2026 is not a period of table 002
  EXPECT_EQ(shown(), "error: Vigência não cadastrada.\n");
  ASSERT_EQ(type("depDtIniVig", ""), "ok");  // the focus is back in the date: empty it to leave
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  ASSERT_EQ(type("depDtIniVig", "01/11/2026"), "ok");
  calls();
  mark(std::nullopt);
  ASSERT_EQ(click("btnListaProd"), "ok");
  EXPECT_EQ(calls().find("GetAutItemPreco"), std::string::npos);
  EXPECT_EQ(shown(),
            "list Produto [Código|Nome] 12.34.5678|Arroz Tipo 1 / 12.34.5679|Feijão Carioca / "
            "98.76.5432|Óleo de Soja -> cancel\n");
  EXPECT_EQ(form()->ListaProd(), "_0000000001_0000000003_");

  mark(std::vector<std::string>{});
  ASSERT_EQ(click("btnListaProd"), "ok");
  EXPECT_EQ(form()->ListaProd(), "");
}

TEST_F(ProductSelectionTest, TheListButtonNeedsTheWholeHeader) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(click("rbtLista"), "ok");
  EXPECT_EQ(click("btnListaProd"), "EAbort");
  EXPECT_EQ(shown(), "error: Tabela de preço deve ser informada.\n");
  EXPECT_FALSE(form()->cdsAutItemPreco->Active());
}

TEST_F(ProductSelectionTest, ModesKeepTheListUntilAllIsChosenOrAProductIsLeft) {
  openWithHeader();
  const auto listHint = [this] { return form()->btnListaProd->ShownHint(); };
  EXPECT_EQ(listHint(), "Pesquisar (F2)");  // nothing counted before a list is offered
  ASSERT_EQ(click("rbtLista"), "ok");
  EXPECT_EQ(listHint(), "Pesquisar (F2)\n0 marcado(s)");
  mark(std::vector<std::string>{"0000000002", "0000000003"});
  ASSERT_EQ(click("btnListaProd"), "ok");
  EXPECT_EQ(listHint(), "Pesquisar (F2)\n2 marcado(s)");
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  ASSERT_EQ(click("rbtLista"), "ok");
  EXPECT_EQ(form()->ListaProd(), "_0000000002_0000000003_");
  EXPECT_EQ(listHint(), "Pesquisar (F2)\n2 marcado(s)");
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  ASSERT_EQ(type("medProdIni", "12345678"), "ok");
  ASSERT_EQ(click("rbtLista"), "ok");  // leaving the product edit validates it
  EXPECT_EQ(form()->ListaProd(), "12345678");
  EXPECT_EQ(listHint(), "Pesquisar (F2)\n0 marcado(s)");  // a product text is no list
  ASSERT_EQ(click("rbtTodos"), "ok");
  EXPECT_EQ(form()->ListaProd(), "");
  // Mode changes never clear the range.
  EXPECT_EQ(state({"medProdIni", "edtNomeIni"}),
            "medProdIni \"12345678\" off\nedtNomeIni \"Arroz Tipo 1\" off\n");
}

TEST_F(ProductSelectionTest, ProductValidatorsCheckTheCodeAndShowTheName) {
  openWithHeader();
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  ASSERT_EQ(type("medProdIni", "12345679"), "ok");
  ASSERT_EQ(focus("medProdFim"), "ok");
  EXPECT_EQ(calls(),
            "GetProdValid(str \"0001\", str \"001\", date 2026-12-01, str \"12345679\")\n");
  EXPECT_EQ(state({"edtNomeIni"}), "edtNomeIni \"Feijão Carioca\" off\n");

  ASSERT_EQ(type("medProdFim", "11111111"), "ok");
  EXPECT_EQ(focus("medProdIni"), "EAbort");
  EXPECT_EQ(shown(), "error: Produto não cadastrado.\n");
  EXPECT_EQ(state({"medProdFim", "edtNomeFim"}),
            "medProdFim \"11111111\" focus\nedtNomeFim \"\" off\n");

  // An incomplete code is refused before the server is asked.
  calls();
  ASSERT_EQ(type("medProdFim", "1234"), "ok");
  EXPECT_EQ(focus("medProdIni"), "EAbort");
  EXPECT_EQ(shown(), "error: Código incompleto ou inválido: \"1234\".\n");
  EXPECT_EQ(calls(), "");
  EXPECT_EQ(focused(), "medProdFim");

  // Leaving an empty product edit is silent but still replaces the list.
  ASSERT_EQ(type("medProdFim", ""), "ok");
  EXPECT_EQ(focus("medProdIni"), "ok");
  EXPECT_EQ(calls(), "");
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(form()->ListaProd(), "");
}

TEST_F(ProductSelectionTest, ASearchFillsCodeAndNameAndTypingClearsTheName) {
  openWithHeader();
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  pick(1);
  ASSERT_EQ(click("btnProdutoIni"), "ok");
  EXPECT_EQ(calls(), "GetAutItemPreco(str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(shown(),
            "list Produto [Código|Nome] 12.34.5678|Arroz Tipo 1 / 12.34.5679|Feijão Carioca / "
            "98.76.5432|Óleo de Soja -> 1\n");
  EXPECT_EQ(state({"medProdIni", "edtNomeIni"}),
            "medProdIni \"12345679\"\nedtNomeIni \"Feijão Carioca\" off\n");
  pick(2);
  ASSERT_EQ(click("btnProdutoFim"), "ok");
  EXPECT_EQ(calls(), "GetAutItemPreco(str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(state({"medProdFim", "edtNomeFim"}),
            "medProdFim \"98765432\"\nedtNomeFim \"Óleo de Soja\" off\n");
  ASSERT_EQ(type("medProdIni", "12345678"), "ok");
  EXPECT_EQ(state({"edtNomeIni"}), "edtNomeIni \"\" off\n");
  // A cancelled search changes nothing.
  shown();
  pick(std::nullopt);
  ASSERT_EQ(click("btnProdutoFim"), "ok");
  EXPECT_EQ(state({"medProdFim", "edtNomeFim"}),
            "medProdFim \"98765432\"\nedtNomeFim \"Óleo de Soja\" off\n");
}

TEST_F(ProductSelectionTest, ProductSearchesSendTheHeaderAsItStands) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  calls();
  ASSERT_EQ(click("btnProdutoIni"), "ok");
  EXPECT_EQ(calls(), "GetAutItemPreco(str \"0001\", str \"   \", date 1899-12-30)\n");
  EXPECT_EQ(shown(), "list Produto [Código|Nome] -> cancel\n");
}

TEST_F(ProductSelectionTest, AFailedListLoadShowsNoListAndTheNextPressTriesAgain) {
  openWithHeader();
  ASSERT_EQ(click("rbtLista"), "ok");
  server.queue("GetAutItemPreco", FakeReply::error(500, "erro interno"));
  EXPECT_EQ(click("btnListaProd"), "ERemoteError");
  EXPECT_EQ(shown(), "error: erro interno.\n");
  EXPECT_FALSE(form()->cdsAutItemPreco->Active());
  EXPECT_EQ(form()->ListaProd(), "");
  EXPECT_EQ(busy(), 0);

  calls();
  mark(std::vector<std::string>{"0000000003"});
  ASSERT_EQ(click("btnListaProd"), "ok");
  EXPECT_NE(calls().find("GetAutItemPreco(str \"0001\", str \"001\", date 2026-12-01)"),
            std::string::npos);
  EXPECT_TRUE(form()->cdsAutItemPreco->Active());
  EXPECT_EQ(form()->ListaProd(), "_0000000003_");
}

TEST_F(ProductSelectionTest, AServerFailureInAProductCheckOrSearchKeepsWhatTheUserTyped) {
  openWithHeader();
  ASSERT_EQ(click("rbtIntervalo"), "ok");
  pick(0);
  ASSERT_EQ(click("btnProdutoIni"), "ok");
  ASSERT_EQ(type("medProdIni", "12345679"), "ok");  // typing clears the name found
  shown();
  calls();

  // The check fails on the server: the focus comes back, the name box stays as typing left
  // it, and the list holds the edit's text all the same.
  server.queue("GetProdValid", FakeReply::error(500, "erro interno"));
  EXPECT_EQ(focus("medProdFim"), "ERemoteError");
  EXPECT_EQ(shown(), "error: erro interno.\n");
  EXPECT_EQ(state({"medProdIni", "edtNomeIni"}),
            "medProdIni \"12345679\" focus\nedtNomeIni \"\" off\n");
  EXPECT_EQ(form()->ListaProd(), "12345679");
  EXPECT_EQ(busy(), 0);

  // The search's load fails: no list is offered and the edit keeps its text.
  ASSERT_EQ(focus("medProdFim"), "ok");
  shown();
  server.queue("GetAutItemPreco", FakeReply::error(500, "erro interno"));
  EXPECT_EQ(click("btnProdutoFim"), "ERemoteError");
  EXPECT_EQ(shown(), "error: erro interno.\n");
  EXPECT_EQ(state({"medProdFim", "edtNomeFim"}), "medProdFim \"\" focus\nedtNomeFim \"\" off\n");
  EXPECT_EQ(busy(), 0);
}

}  // namespace
}  // namespace screentest
