#include <gtest/gtest.h>

#include "shared/messages.h"

namespace {

tk::PropValue list(std::vector<std::string> texts) {
  tk::PropValue v;
  v.kind = tk::PropValue::Kind::List;
  for (auto& t : texts) v.items.push_back(tk::PropValue::Str(std::move(t)));
  return v;
}

TEST(MessagesTest, KeysMatchWithoutRegardToCaseAndTheTextIsEverythingAfterTheFirstBar) {
  shared::TMessages msg;
  msg.SetProperty("Messages",
                  list({"Produto|Produto", "Lista_Vazia|Produto deve ser informado.",
                        "Confimar|Confirma alteração dos produtos selecionados?", "Ativa|Ativa",
                        "Inativa|Inativa", "Pipe|a|b| ", "Vazio|", "SemBarra"}));
  EXPECT_EQ(msg.Msg("ativa"), "Ativa");
  EXPECT_EQ(msg.Msg("INATIVA"), "Inativa");
  EXPECT_EQ(msg.Msg("Inativa"), "Inativa");
  EXPECT_EQ(msg.Msg("Produto"), "Produto");
  EXPECT_EQ(msg.Msg("Lista_Vazia"), "Produto deve ser informado.");
  EXPECT_EQ(msg.Msg("Confimar"), "Confirma alteração dos produtos selecionados?");
  EXPECT_EQ(msg.Msg("pipe"), "a|b| ");  // later bars and trailing blanks are text
  EXPECT_EQ(msg.Msg("Vazio"), "");
  EXPECT_EQ(msg.Msg("SemBarra"), "");
  // A key must match whole: no prefixes, and not the text part.
  EXPECT_EQ(msg.Msg("Ativ"), "");
  EXPECT_EQ(msg.Msg("Produto deve ser informado."), "");
  EXPECT_EQ(msg.Msg("Missing"), "");
  EXPECT_EQ(msg.Msg(""), "");
}

TEST(MessagesTest, ADefinitionReplacesTheWholeCatalogueAndTheFirstMatchWins) {
  shared::TMessages msg;
  msg.SetProperty("Messages", list({"Erro|Erro"}));
  msg.SetProperty("Messages.Strings",
                  list({"Fili_Inf|Filial deve ser informada.", "fili_inf|segunda"}));
  EXPECT_EQ(msg.Messages().size(), 2u);
  EXPECT_EQ(msg.Msg("Erro"), "");
  EXPECT_EQ(msg.Msg("FILI_INF"), "Filial deve ser informada.");
  EXPECT_THROW(msg.SetProperty("Messages", tk::PropValue::Str("x")), tk::EDefinitionError);
  EXPECT_THROW(msg.SetProperty("Lines", list({})), tk::EDefinitionError);
}

}  // namespace
