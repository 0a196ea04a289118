// Keystrokes in a masked edit: the edit text the model is handed and where the caret goes.

#include <gtest/gtest.h>

#include "qt/mask_typing.h"

namespace qtviews {
namespace {

std::string show(const MaskEdit& e) {
  std::string out = e.editText;
  out.insert(static_cast<size_t>(e.caret), "|");  // ASCII cases only
  return out;
}

TEST(MaskTypingTest, KeysLandInTheNextPositionThatAcceptsThem) {
  const tk::EditMask branch(">aaaa;0; ");
  EXPECT_EQ(show(TypeKeys(branch, "    ", 0, 0, "a")), "A|   ");
  EXPECT_EQ(show(TypeKeys(branch, "A   ", 1, 1, "b-2")), "AB2| ");  // "-" is no letter or digit
  EXPECT_EQ(show(TypeKeys(branch, "AB2C", 4, 4, "x")), "AB2C|");    // full: the key is lost
  EXPECT_EQ(show(TypeKeys(branch, "0001", 0, 4, "9")), "9|   ");    // typing over a selection

  const tk::EditMask date("!99/99/0000;1;_");
  EXPECT_EQ(show(TypeKeys(date, "__/__/____", 0, 0, "01")), "01|/__/____");
  EXPECT_EQ(show(TypeKeys(date, "01/__/____", 2, 2, "1")), "01/1|_/____");   // steps over "/"
  EXPECT_EQ(show(TypeKeys(date, "__/__/____", 0, 0, "1/")), "1_/|__/____");  // "/" ends the day
  EXPECT_EQ(show(TypeKeys(date, "__/__/____", 0, 0, "01/12/2026")), "01/12/2026|");
  EXPECT_EQ(show(TypeKeys(date, "__/__/____", 0, 0, "x")), "|__/__/____");  // rejected
  EXPECT_EQ(show(TypeKeys(date, "01/12/2026", 3, 5, "0")), "01/0|_/2026");

  // Accented letters are one position each.
  const tk::EditMask any("cccc;1;_");
  const MaskEdit accented = TypeKeys(any, "____", 0, 0, "ção");
  EXPECT_EQ(accented.editText, "ção_");
  EXPECT_EQ(accented.caret, 3);
}

TEST(MaskTypingTest, BackspaceAndDeleteBlankPositionsAndSkipLiterals) {
  const tk::EditMask date("!99/99/0000;1;_");
  EXPECT_EQ(show(Backspace(date, "01/12/2026", 3, 3)), "0|_/12/2026");
  EXPECT_EQ(show(Backspace(date, "01/12/2026", 0, 0)), "|01/12/2026");
  EXPECT_EQ(show(Backspace(date, "01/12/2026", 1, 7)), "0|_/__/_026");
  EXPECT_EQ(show(DeleteForward(date, "01/12/2026", 2, 2)), "01|/_2/2026");  // the "/" is skipped
  EXPECT_EQ(show(DeleteForward(date, "01/12/2026", 10, 10)), "01/12/2026|");
  const tk::EditMask table("999;1; ");
  EXPECT_EQ(show(Backspace(table, "001", 3, 3)), "00| ");
}

}  // namespace
}  // namespace qtviews
