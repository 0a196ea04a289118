// The "Situação" of a validity period: active from its start day to its end day, by the date
// of the moment the row is computed.

#include "vnd42406/screen_test.h"

namespace screentest {
namespace {

using testsupport::FakeReply;

class ValiditySituationTest : public ScreenTest {
 protected:
  // Offers the periods through the validity search and returns the list shown.
  std::string situations(const std::vector<std::vector<std::optional<std::string>>>& periods) {
    server.queue("getVigencia", FakeReply::ok(testsupport::stringPacket(
                                    {{"DTINIVGPREC", 30}, {"DTFINVGPREC", 30}}, periods)));
    pick(std::nullopt);
    const std::string outcome = click("btnDtIniVig");
    return outcome + "\n" + shown();
  }
};

TEST_F(ValiditySituationTest, APeriodIsActiveFromItsStartDayToItsEndDay) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  // Today is 08/12/2026.
  EXPECT_EQ(situations({{"08/12/2026", "31/12/2026"},
                        {"01/12/2026", "08/12/2026"},
                        {"01/12/2026", "07/12/2026"},
                        {"09/12/2026", "31/12/2026"},
                        {"10/12/2026", "01/12/2026"},
                        {"08/12/2026 10:00", "31/12/2026"},
                        {"01/12/2026", "08/12/2026 23:59"},
                        {"09/12/2026", "ilegível"}}),
            "ok\n"
            "list Vigência [Data Inicial|Data Final|Situação] "
            "08/12/2026|31/12/2026|Ativa / "
            "01/12/2026|08/12/2026|Ativa / "
            "01/12/2026|07/12/2026|Inativa / "
            "09/12/2026|31/12/2026|Inativa / "
            "10/12/2026|01/12/2026|Inativa / "
            "08/12/2026 10:00|31/12/2026|Inativa / "
            "01/12/2026|08/12/2026 23:59|Ativa / "
            "09/12/2026|ilegível|Inativa -> cancel\n");
}

TEST_F(ValiditySituationTest, RowsAreComputedWithTheDateOfTheirComputation) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  const std::vector<std::vector<std::optional<std::string>>> period{{"01/12/2026", "31/12/2026"}};
  EXPECT_EQ(situations(period),
            "ok\nlist Vigência [Data Inicial|Data Final|Situação] 01/12/2026|31/12/2026|Ativa -> "
            "cancel\n");
  clock.Set(rtl::EncodeDate(2027, 1, 1));
  EXPECT_EQ(situations(period),
            "ok\nlist Vigência [Data Inicial|Data Final|Situação] 01/12/2026|31/12/2026|Inativa "
            "-> cancel\n");
}

TEST_F(ValiditySituationTest, AnUnreadableDateEndsTheLoadThatNeedsIt) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  EXPECT_EQ(situations({{"01/12/2026", "31/02/2027"}}),
            "EConvertError\nerror: '31/02/2027' não é uma data e hora válida.\n");
  EXPECT_EQ(busy(), 0);
}

TEST_F(ValiditySituationTest, APickedPeriodWithAnUnreadableEndWritesOnlyItsStart) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  server.queue("getVigencia", FakeReply::ok(testsupport::stringPacket(
                                  {{"DTINIVGPREC", 30}, {"DTFINVGPREC", 30}},
                                  {{"09/12/2026", "sem data"}})));
  pick(0);
  EXPECT_EQ(click("btnDtIniVig"), "EConvertError");
  EXPECT_EQ(state({"depDtIniVig", "depDtFinVig"}),
            "depDtIniVig \"09/12/2026\"\n"
            "depDtFinVig \"  /  /    \" off\n");
}

}  // namespace
}  // namespace screentest
