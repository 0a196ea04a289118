// The family's shared checks: empty texts, code normalisation and the reading of a server's
// answer, which is where a wrong-shaped answer must turn into one clear error.

#include <gtest/gtest.h>

#include "rtl/dates.h"
#include "rtl/exceptions.h"
#include "shared/consiste.h"
#include "toolkit/application.h"

namespace {

using rtl::Variant;

TEST(ConsisteTest, EmptyMeansBlanksOnlyOrADateEditWithoutADate) {
  rtl::ResetFormatSettings();
  EXPECT_TRUE(Consiste::EmptyString(""));
  EXPECT_TRUE(Consiste::EmptyString("   "));         // the price-table edit left untouched
  EXPECT_TRUE(Consiste::EmptyString("  /  /    "));  // a date edit with no date
  EXPECT_FALSE(Consiste::EmptyString("  /  /2026"));
  EXPECT_FALSE(Consiste::EmptyString(" 1 "));
  EXPECT_FALSE(Consiste::EmptyString("_"));  // a product list with no code is not empty

  // The separator is the user's, not a fixed "/".
  rtl::ShortDateFormat() = "dd.mm.yyyy";
  EXPECT_TRUE(Consiste::EmptyString("  .  .    "));
  EXPECT_FALSE(Consiste::EmptyString("  /  /    "));
  rtl::ResetFormatSettings();
}

TEST(ConsisteTest, AjustaTrimsAndPadsACodeToItsWidth) {
  EXPECT_EQ(Consiste::Ajusta("1", 4), "0001");
  EXPECT_EQ(Consiste::Ajusta(" 12 ", 3), "012");
  EXPECT_EQ(Consiste::Ajusta("A1 ", 4), "00A1");
  EXPECT_EQ(Consiste::Ajusta("0001", 4), "0001");
  EXPECT_EQ(Consiste::Ajusta("12345", 4), "1234");  // too long: the first characters
  EXPECT_EQ(Consiste::Ajusta("", 3), "000");
}

class CheckResultServTest : public ::testing::Test {
 protected:
  static Variant answer(Variant status, Variant message, Variant data) {
    return Variant::FromArray({std::move(status), std::move(message), std::move(data)});
  }
  // The message of the ERemoteError that `bad` raises, or what happened instead.
  static std::string refusal(const Variant& bad) {
    try {
      Consiste::CheckResultServ(bad, true, 0);
      return "accepted";
    } catch (const rtl::ERemoteError& e) {
      return e.what();
    }
  }
  tk::TApplication app;
};

TEST_F(CheckResultServTest, StatusZeroGivesTheDataAndAnyOtherShowsTheMessageAndAborts) {
  EXPECT_EQ(Consiste::CheckResultServ(answer(0, "", Variant::Null()), true, 0).kind(),
            rtl::VarKind::Null);
  EXPECT_TRUE(app.Headless().TakeShown().messages.empty());

  EXPECT_THROW(Consiste::CheckResultServ(answer(1, "Filial bloqueada.", Variant::Null()), true, 0),
               rtl::EAbort);
  const auto shown = app.Headless().TakeShown().messages;
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], (tk::ShownMessage{"error", "Filial bloqueada.", ""}));
}

TEST_F(CheckResultServTest, AnswersOfAnotherShapeAreOneClearErrorAndShowNothing) {
  const std::string prefix = "Resposta inválida do servidor de aplicação: ";
  EXPECT_EQ(refusal(Variant("ok")), prefix + "não é uma lista [situação, mensagem, dados].");
  EXPECT_EQ(refusal(Variant::FromArray({0, ""})), prefix + "esperados 3 elementos, recebidos 2.");
  EXPECT_EQ(refusal(answer("0", "", Variant::Null())),
            prefix + "a situação não é um número inteiro.");
  EXPECT_EQ(refusal(answer(0, 5, Variant::Null())), prefix + "a mensagem não é um texto.");
  EXPECT_EQ(refusal(answer(0, "", "dados")), prefix + "os dados não são um pacote de dados.");
  // A failure status with a malformed message is still a malformed answer, not a refusal.
  EXPECT_EQ(refusal(answer(1, Variant::Null(), Variant::Null())),
            prefix + "a mensagem não é um texto.");
  EXPECT_TRUE(app.Headless().TakeShown().messages.empty());
}

}  // namespace
