#include <gtest/gtest.h>

#include "rtl/dates.h"
#include "rtl/exceptions.h"

namespace {

class DatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rtl::ResetFormatSettings();
    rtl::SetClock(&clock_);
  }
  void TearDown() override {
    rtl::SetClock(nullptr);
    rtl::ResetFormatSettings();
  }
  rtl::FixedClock clock_{rtl::EncodeDate(2025, 6, 15) + 0.5};
};

std::string convertError(std::string_view text) {
  try {
    rtl::StrToDate(text);
  } catch (const rtl::EConvertError& e) {
    return e.message();
  }
  return "no error";
}

TEST_F(DatesTest, DayCountsMatchTheRuntimeEpoch) {
  EXPECT_EQ(rtl::EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(rtl::EncodeDate(1996, 1, 1), 35065);
  EXPECT_EQ(rtl::EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(rtl::EncodeDate(2024, 2, 29), 45351);
  EXPECT_EQ(rtl::EncodeDate(2024, 12, 31), 45657);
  int y, m, d;
  rtl::DecodeDate(45351.75, y, m, d);
  EXPECT_EQ((std::vector{y, m, d}), (std::vector{2024, 2, 29}));
  EXPECT_EQ(rtl::DayOfWeek(rtl::EncodeDate(2026, 12, 8)), 3);  // a Tuesday
}

TEST_F(DatesTest, TodayComesFromTheClockAtMidnight) {
  EXPECT_EQ(rtl::Date(), rtl::EncodeDate(2025, 6, 15));
  EXPECT_DOUBLE_EQ(rtl::Now(), rtl::EncodeDate(2025, 6, 15) + 0.5);
}

TEST_F(DatesTest, DayMonthYearRoundTrips) {
  for (rtl::TDateTime t : {45657.0, 45351.0, 36526.0, 2.0}) {
    EXPECT_EQ(rtl::StrToDate(rtl::DateToStr(t)), t) << rtl::DateToStr(t);
  }
  EXPECT_EQ(rtl::DateToStr(45657), "31/12/2024");
  EXPECT_EQ(rtl::StrToDate("29/02/2024"), 45351);
  EXPECT_EQ(rtl::StrToDate(" 1/1/2000 "), 36526);
}

TEST_F(DatesTest, MonthDayShortYearRoundTrips) {
  rtl::ShortDateFormat() = "mm/dd/yy";
  EXPECT_EQ(rtl::DateToStr(45657), "12/31/24");
  EXPECT_EQ(rtl::StrToDate("12/31/24"), 45657);
  EXPECT_EQ(rtl::StrToDate("02/29/24"), 45351);
  EXPECT_EQ(rtl::FormatDateTime("d/m/yy", 45351), "29/2/24");
}

TEST_F(DatesTest, TwoDigitYearsUseTheCenturyWindow) {
  // In 2025 with the window of 50 the pivot is 1975.
  EXPECT_EQ(rtl::StrToDate("01/01/24"), rtl::EncodeDate(2024, 1, 1));
  EXPECT_EQ(rtl::StrToDate("01/01/74"), rtl::EncodeDate(2074, 1, 1));
  EXPECT_EQ(rtl::StrToDate("01/01/75"), rtl::EncodeDate(1975, 1, 1));
  EXPECT_EQ(rtl::StrToDate("01/01/0024"), rtl::EncodeDate(24, 1, 1));
  EXPECT_EQ(rtl::StrToDate("3/4"), rtl::EncodeDate(2025, 4, 3));  // current year
}

TEST_F(DatesTest, InvalidTextsNameTheText) {
  EXPECT_EQ(convertError("29/02/2025"), "'29/02/2025' não é uma data válida");
  EXPECT_EQ(convertError("32/01/2024"), "'32/01/2024' não é uma data válida");
  EXPECT_EQ(convertError("01/13/2024"), "'01/13/2024' não é uma data válida");
  EXPECT_EQ(convertError(""), "'' não é uma data válida");
  EXPECT_EQ(convertError("  /  /    "), "'  /  /    ' não é uma data válida");
  EXPECT_EQ(convertError("12"), "'12' não é uma data válida");
  EXPECT_EQ(convertError("1/2/3/4"), "'1/2/3/4' não é uma data válida");
  EXPECT_EQ(convertError("01-01-2024"), "'01-01-2024' não é uma data válida");
  EXPECT_EQ(convertError("31/12/2024 10:00"), "'31/12/2024 10:00' não é uma data válida");
}

TEST_F(DatesTest, DateTimeTextsKeepTheirTime) {
  EXPECT_DOUBLE_EQ(rtl::StrToDateTime("31/12/2024 18:00"), 45657.75);
  EXPECT_EQ(rtl::StrToDateTime("31/12/2024"), 45657);
  try {
    rtl::StrToDateTime("");
    FAIL();
  } catch (const rtl::EConvertError& e) {
    EXPECT_EQ(e.message(), "'' não é uma data e hora válida");
  }
  EXPECT_THROW(rtl::StrToDateTime("31/12/2024 25:00"), rtl::EConvertError);
}

TEST_F(DatesTest, TheSeparatorComesFromTheFormat) {
  rtl::ShortDateFormat() = "dd.mm.yyyy";
  EXPECT_EQ(rtl::DateSeparator(), '.');
  EXPECT_EQ(rtl::DateToStr(45657), "31.12.2024");
  EXPECT_EQ(rtl::FormatDateTime("dd/mm/yyyy", 45657), "31.12.2024");
  EXPECT_EQ(rtl::StrToDate("31.12.2024"), 45657);
  EXPECT_THROW(rtl::StrToDate("31/12/2024"), rtl::EConvertError);
}

TEST_F(DatesTest, AShortDateFormatThatNamesItselfWritesTheDayThere) {
  // "ddddd" stands for the short date format; inside that format it is the day, not a loop.
  rtl::ShortDateFormat() = "ddddd/mm/yyyy";
  EXPECT_EQ(rtl::DateToStr(45657), "31/12/2024");
  EXPECT_EQ(rtl::FormatDateTime("'on' ddddd", 45657), "on 31/12/2024");
  EXPECT_EQ(rtl::StrToDate("31/12/2024"), 45657);
}

TEST_F(DatesTest, NamesTimesAndTheHalfDayTokens) {
  // 45657.75 is Tuesday 31/12/2024 18:00; 45351 is Thursday 29/02/2024 at midnight.
  const rtl::TDateTime evening = 45657.75 + 5.0 / 86400 + 0.042 / 86400;
  EXPECT_EQ(rtl::FormatDateTime("ddd dddd mmm MMMM", 45657), "ter terça-feira dez dezembro");
  EXPECT_EQ(rtl::FormatDateTime("dddddd", 45351), "quinta-feira, 29 de fevereiro de 2024");
  EXPECT_EQ(rtl::FormatDateTime("hh:mm:ss.zzz z", evening), "18:00:05.042 42");
  EXPECT_EQ(rtl::FormatDateTime("t|tt", evening), "18:00|18:00:05");
  EXPECT_EQ(rtl::FormatDateTime("c", evening), "31/12/2024 18:00:05");
  EXPECT_EQ(rtl::FormatDateTime("c", 45351), "29/02/2024");  // midnight: the date alone
  EXPECT_EQ(rtl::FormatDateTime("h am/pm|hh A/P|h ampm|H:nn AM/PM", evening),
            "6 pm|06 P|6 PM|6:00 PM");
  EXPECT_EQ(rtl::FormatDateTime("h am/pm", 45351), "12 am");
  EXPECT_EQ(rtl::FormatDateTime("yyy-mm-dd", 45351), "2024-02-29");

  // A long date format that names itself, or a time token, gets no second expansion.
  rtl::LongDateFormat() = "dddddd t";
  EXPECT_EQ(rtl::FormatDateTime("dddddd", evening), "31 t");
}

TEST_F(DatesTest, IsoDatesForStorage) {
  rtl::TDateTime t;
  ASSERT_TRUE(rtl::TryParseIsoDate("2024-02-29", t));
  EXPECT_EQ(t, 45351);
  EXPECT_EQ(rtl::FormatIsoDate(45657.9), "2024-12-31");
  EXPECT_FALSE(rtl::TryParseIsoDate("2025-02-29", t));
  EXPECT_FALSE(rtl::TryParseIsoDate("2024-2-29", t));
}

}  // namespace
