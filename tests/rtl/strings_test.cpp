#include <gtest/gtest.h>

#include "rtl/strings.h"

namespace {

TEST(StringsTest, PositionsCountFromOne) {
  EXPECT_EQ(rtl::Pos('_', "_0000000001_"), 1);
  EXPECT_EQ(rtl::Pos("01", "_0000000001_"), 10);
  EXPECT_EQ(rtl::Pos('x', "abc"), 0);
  EXPECT_EQ(rtl::Pos("", "abc"), 0);
}

TEST(StringsTest, CopyTolerantOfRangesPastTheEnd) {
  EXPECT_EQ(rtl::Copy("1234567", 4, 8), "4567");
  EXPECT_EQ(rtl::Copy("abc", 4, 1), "");
  EXPECT_EQ(rtl::Copy("abc", 0, 2), "ab");
  EXPECT_EQ(rtl::Copy("abc", 2, 0), "");
  EXPECT_EQ(rtl::Copy("abc", 2, -1), "");
}

TEST(StringsTest, OrdinalComparisonByUnsignedBytes) {
  EXPECT_LT(rtl::CompareStr("STEVE", "STEVe"), 0);
  EXPECT_LT(rtl::CompareStr("Z", "a"), 0);
  EXPECT_LT(rtl::CompareStr("10", "9"), 0);
  EXPECT_LT(rtl::CompareStr("ab", "abc"), 0);
  EXPECT_LT(rtl::CompareStr("", "a"), 0);
  EXPECT_GT(rtl::CompareStr("\xC3\xA9", "z"), 0);  // bytes above 0x7F sort after ASCII
  EXPECT_EQ(rtl::CompareStr("01.02", "01.02"), 0);
}

TEST(StringsTest, TrimAndCase) {
  EXPECT_EQ(rtl::Trim("\t a b \n"), "a b");
  EXPECT_EQ(rtl::TrimRight("ab  "), "ab");
  EXPECT_EQ(rtl::TrimLeft("  ab "), "ab ");
  EXPECT_EQ(rtl::UpperCase("abç1"), "ABç1");
  EXPECT_TRUE(rtl::SameText("ativa", "Ativa"));
  EXPECT_FALSE(rtl::SameText("ativa", "Ativas"));
}

TEST(StringsTest, Utf8CountsCharacters) {
  EXPECT_EQ(rtl::Utf8Length("Situação"), 8);
  EXPECT_EQ(rtl::Utf8Left("Situação", 6), "Situaç");
  EXPECT_EQ(rtl::Utf8Left("abc", 10), "abc");
}

}  // namespace
