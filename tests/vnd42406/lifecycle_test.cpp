// Opening, activation, closing and destruction of the screen.

#include <asio.hpp>

#include "vnd42406/screen_test.h"

namespace screentest {
namespace {

class LifecycleTest : public ScreenTest {};

TEST_F(LifecycleTest, OpeningTwiceKeepsOneInstanceAndWhatTheUserTyped) {
  ASSERT_EQ(open(), "ok");
  vnd42406::TfrmCadAutPromocao* first = form();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(boStCriado);
  EXPECT_FALSE(boPrimVez);
  EXPECT_EQ(type("edtPrefixo", "x"), "rejected: edtPrefixo is disabled");
  ASSERT_EQ(type("medCdTabePrec", "2"), "ok");
  first->SetWindowState(tk::TWindowState::wsMinimized);

  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(form(), first);
  EXPECT_EQ(server.attachCount(), 1);  // created (and connected) once
  EXPECT_EQ(form()->WindowState(), tk::TWindowState::wsNormal);
  EXPECT_EQ(state({"medCdFilial", "medCdTabePrec"}),
            "medCdFilial \"0001\"\n"
            "medCdTabePrec \"2  \" focus\n");
  EXPECT_EQ(tk::Screen().Cursor(), tk::crDefault);
}

TEST_F(LifecycleTest, ReopeningAfterCloseBuildsAFreshInstance) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdFilial", "0002"), "ok");
  ASSERT_EQ(close(), "ok");
  EXPECT_FALSE(boStCriado);
  EXPECT_EQ(form(), nullptr);  // the closed instance was released

  ASSERT_EQ(open(), "ok");
  ASSERT_NE(form(), nullptr);
  EXPECT_EQ(server.attachCount(), 2);
  EXPECT_EQ(state({"medCdFilial", "edtNmFilial"}),
            "medCdFilial \"0001\" focus\n"
            "edtNmFilial \"Matriz\" off\n");
}

TEST_F(LifecycleTest, FirstActivationTakesTheBranchFromTheSession) {
  Varnoke::Session s = session();
  s.branch = "A1B2";
  s.branchName = "Loja Shopping";
  setSession(s);
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(state({"medCdFilial", "btnFilial", "edtNmFilial"}),
            "medCdFilial \"A1B2\" focus\n"
            "btnFilial \"\"\n"
            "edtNmFilial \"Loja Shopping\" off\n");
  EXPECT_EQ(calls(), "");  // the branch is not checked until it is left
}

TEST_F(LifecycleTest, ALockedBranchDisablesTheFieldAndStartsInThePriceTable) {
  Varnoke::Session s = session();
  s.branchLocked = true;
  setSession(s);
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(state({"medCdFilial", "btnFilial", "edtNmFilial", "medCdTabePrec"}),
            "medCdFilial \"0001\" off\n"
            "btnFilial \"\" off\n"
            "edtNmFilial \"Matriz\" off\n"
            "medCdTabePrec \"   \" focus\n");
}

TEST_F(LifecycleTest, EveryActivationAppliesTheSessionsProductMask) {
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(form()->medProdIni->EditMask(), "99.99.9999;0;_");
  EXPECT_EQ(form()->medProdFim->EditMask(), "99.99.9999;0;_");
  EXPECT_EQ(form()->cdsAutItemPrecoCDARVPROD->EditMask(), "99.99.9999;0;_");
  EXPECT_EQ(form()->cdsAuxCDARVPROD->EditMask(), "99.99.9999;0;_");

  Varnoke::Session s = session();
  s.productMask = "999.999.99;1;_";
  setSession(s);
  ASSERT_EQ(type("medCdTabePrec", "9"), "ok");
  ASSERT_EQ(activate(), "ok");
  EXPECT_EQ(form()->medProdIni->EditMask(), "999.999.99;1;_");
  EXPECT_EQ(form()->medProdFim->EditMask(), "999.999.99;1;_");
  EXPECT_EQ(form()->cdsAutItemPrecoCDARVPROD->EditMask(), "999.999.99;1;_");
  EXPECT_EQ(form()->cdsAuxCDARVPROD->EditMask(), "999.999.99;1;_");
  // Nothing else changes on a later activation.
  EXPECT_EQ(state({"medCdFilial", "medCdTabePrec"}),
            "medCdFilial \"0001\"\n"
            "medCdTabePrec \"9  \" focus\n");
}

TEST_F(LifecycleTest, TheScreenStartsAsDefined) {
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(form()->Caption(), "Alteração Automática");
  EXPECT_EQ(form()->FormStyle(), tk::TFormStyle::fsMDIChild);
  EXPECT_EQ(form()->ClientWidth(), 490);
  EXPECT_EQ(form()->ClientHeight(), 430);
  EXPECT_EQ(
      state({"lblCodTela",    "lblFilial",     "medCdFilial",   "btnFilial",     "edtNmFilial",
             "lblTabePrec",   "medCdTabePrec", "btnTabePrec",   "edtNmTabePrec", "lblDtIniVig",
             "depDtIniVig",   "lblDtFinVig",   "depDtFinVig",   "btnDtIniVig",   "grbProduto",
             "rbtTodos",      "rbtLista",      "btnListaProd",  "rbtIntervalo",  "medProdIni",
             "btnProdutoIni", "edtNomeIni",    "medProdFim",    "btnProdutoFim", "edtNomeFim",
             "chbPrefixo",    "rbtAddPrefixo", "rbtDelPrefixo", "lblPrefixo",    "edtPrefixo"}),
      "lblCodTela \"VND42406\"\n"
      "lblFilial \"Filial\"\n"
      "medCdFilial \"0001\" focus\n"
      "btnFilial \"\"\n"
      "edtNmFilial \"Matriz\" off\n"
      "lblTabePrec \"Tabela Preço\"\n"
      "medCdTabePrec \"   \"\n"
      "btnTabePrec \"\"\n"
      "edtNmTabePrec \"\" off\n"
      "lblDtIniVig \"Vigência\"\n"
      "depDtIniVig \"  /  /    \"\n"
      "lblDtFinVig \"a\"\n"
      "depDtFinVig \"  /  /    \" off\n"
      "btnDtIniVig \"\"\n"
      "grbProduto \"Produto\"\n"
      "rbtTodos \"Todos\" checked\n"
      "rbtLista \"Lista\"\n"
      "btnListaProd \"\" off\n"
      "rbtIntervalo \"Intervalo\"\n"
      "medProdIni \"\" off\n"
      "btnProdutoIni \"\" off\n"
      "edtNomeIni \"\" off\n"
      "medProdFim \"\" off\n"
      "btnProdutoFim \"\" off\n"
      "edtNomeFim \"\" off\n"
      "chbPrefixo \"Adicionar ou Limpar prefixo.\"\n"
      "rbtAddPrefixo \"Adicionar o prefixo ao nome dos produtos promocionais.\" off "
      "checked\n"
      "rbtDelPrefixo \"Limpar o prefixo do nome dos produtos promocionais.\" off\n"
      "lblPrefixo \"Prefixo\" off\n"
      "edtPrefixo \"\" off\n");
  EXPECT_EQ(form()->rdgPromocao->ItemIndex(), 0);
  EXPECT_EQ(form()->rdgPromocao->Items(),
            (std::vector<std::string>{"Colocar os produtos selecionados na promoção.",
                                      "Retirar os produtos selecionados da promoção."}));
  EXPECT_EQ(form()->medCdFilial->Color(), tk::colors::clInfoBk);
  EXPECT_EQ(form()->edtNmFilial->Color(), tk::colors::clBtnFace);
  EXPECT_FALSE(form()->edtNmFilial->TabStop());
  EXPECT_FALSE(form()->depDtFinVig->TabStop());
  EXPECT_TRUE(form()->lblFilial->EffectiveFont().Bold());
  EXPECT_FALSE(form()->medProdIni->EffectiveFont().Bold());
  EXPECT_TRUE(form()->rbtLista->EffectiveFont().Bold());  // from the bold product box
  for (const char* name : {"cdsAutItemPreco", "cdsProdValid", "cdsAux", "cdsProduto", "cdsFilial",
                           "cdsTabePrec", "cdsTabeVend"})
    EXPECT_FALSE(dynamic_cast<data::TDataSet&>(*form()->FindComponent(name)).Active()) << name;
  EXPECT_EQ(form()->ListaProd(), "");
}

TEST_F(LifecycleTest, TheMessageCatalogueHoldsTheScreensTexts) {
  ASSERT_EQ(open(), "ok");
  const shared::TMessages& m = *form()->msgPadrao;
  EXPECT_EQ(m.Messages().size(), 17u);
  const std::vector<std::pair<const char*, const char*>> expected{
      {"ProdIni_inf", "Produto inicial deve ser informado."},
      {"ProdFim_inf", "Produto final deve ser informado."},
      {"Produto", "Produto"},
      {"Prod_N_Cad", "Produto não cadastrado."},
      {"Lista_Vazia", "Produto deve ser informado."},
      {"Confimar", "Confirma alteração dos produtos selecionados?"},
      {"ProdIniDev", "Produto inicial deve ser menor ou igual que produto final."},
      {"AlteracaoOk", "Alteração realizada com sucesso."},
      {"Prefixo_Inf", "Prefixo deve ser informado."},
      {"Fili_Inf", "Filial deve ser informada."},
      {"Fili_N_Cad", "Filial não cadastrada."},
      {"TabePrec_Inf", "Tabela de preço deve ser informada."},
      {"TabePrec_N_Cad", "Tabela de preço não cadastrada."},
      {"Vig_Inf", "Vigência deve ser informada."},
      {"Vig_N_Cad", "Vigência não cadastrada."},
      {"Ativa", "Ativa"},
      {"Inativa", "Inativa"}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(m.Messages()[i], std::string(expected[i].first) + "|" + expected[i].second);
    EXPECT_EQ(m.Msg(expected[i].first), expected[i].second);
  }
  EXPECT_EQ(m.Msg("ativa"), "Ativa");
  EXPECT_EQ(m.Msg("inativa"), "Inativa");
}

TEST_F(LifecycleTest, AServerThatIsDownFailsTheOpeningCleanly) {
  uint16_t closed;
  {
    asio::io_context io;
    asio::ip::tcp::acceptor a(io, {asio::ip::make_address("127.0.0.1"), 0});
    closed = a.local_endpoint().port();
  }
  Varnoke::Session s = session();
  s.serverPort = closed;
  setSession(s);
  EXPECT_EQ(open(), "ERemoteError");
  const std::string boxes = shown();
  EXPECT_NE(boxes.find("error: Não foi possível conectar ao servidor de aplicação 127.0.0.1:"),
            std::string::npos)
      << boxes;
  EXPECT_EQ(form(), nullptr);
  EXPECT_FALSE(boStCriado);
  EXPECT_EQ(tk::Screen().Cursor(), tk::crDefault);
  EXPECT_EQ(app.ComponentCount(), 1u);  // only the main form: no half-made screen stays

  s.serverPort = server.port();
  setSession(s);
  EXPECT_EQ(open(), "ok");
  EXPECT_NE(form(), nullptr);
}

TEST_F(LifecycleTest, DestroyingTheScreenClosesItsConnection) {
  ASSERT_EQ(open(), "ok");
  remote::TSocketConnection* net = form()->netTabePreco;
  EXPECT_TRUE(net->Connected());
  // What the destruction handler leaves, seen before the form and its components are freed.
  std::optional<bool> connectedAfterDestroy;
  tk::TNotifyEvent destroy = form()->OnDestroy;
  form()->OnDestroy = [&, destroy](tk::TComponent* sender) {
    destroy(sender);
    connectedAfterDestroy = net->Connected();
  };
  ASSERT_EQ(close(), "ok");
  EXPECT_EQ(form(), nullptr);
  EXPECT_EQ(connectedAfterDestroy, std::optional<bool>(false));
  EXPECT_EQ(server.attachCount(), 1);
}

}  // namespace
}  // namespace screentest
