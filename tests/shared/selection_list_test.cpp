// The selection list the multi-selection search reads and writes: "_" and a key of a fixed
// number of characters per entry, closed by "_".

#include <gtest/gtest.h>

#include "shared/pesqlista.h"

namespace {

using Keys = std::vector<std::string>;

TEST(SelectionListTest, KeysGoInAndComeOutAtTheirWidthInCharacters) {
  const std::string list = Pesqlista::MakeSelectionList({"0001", "PÃO", "ABCDEFG"}, 5);
  EXPECT_EQ(list, "_0001 _PÃO  _ABCDE_");
  EXPECT_EQ(Pesqlista::SelectionListKeys(list, 5), (Keys{"0001 ", "PÃO  ", "ABCDE"}));
  EXPECT_EQ(Pesqlista::MakeSelectionList({}, 5), "");
  EXPECT_EQ(Pesqlista::SelectionListKeys("", 5), Keys{});
}

TEST(SelectionListTest, TextOutOfFormatGivesTheKeysBeforeTheFault) {
  EXPECT_EQ(Pesqlista::SelectionListKeys("_AAA_BB_", 3), Keys{"AAA"});  // short key
  EXPECT_EQ(Pesqlista::SelectionListKeys("_AAA_BBB", 3), Keys{"AAA"});  // not closed
  EXPECT_EQ(Pesqlista::SelectionListKeys("_AAAA_BBB_", 3), Keys{});     // long key
  EXPECT_EQ(Pesqlista::SelectionListKeys("12345678", 3), Keys{});       // a typed code
  EXPECT_EQ(Pesqlista::SelectionListKeys("_ÇÇÇ_", 3), Keys{"ÇÇÇ"});
  EXPECT_EQ(Pesqlista::SelectionListKeys("_ÇÇ_", 3), Keys{});  // four bytes, two characters
}

}  // namespace
