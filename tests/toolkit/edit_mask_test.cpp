#include <gtest/gtest.h>

#include "rtl/dates.h"
#include "toolkit/edit_mask.h"

namespace {

using tk::EditMask;

// The whole observable state of a masked value: what is shown and what is read.
std::string state(const EditMask& m, const std::string& editText) {
  return "[" + editText + "] -> [" + m.textFromEditText(editText) + "]";
}
std::string afterTyping(const EditMask& m, const std::string& keys) {
  return state(m, m.typeInto(m.blankTemplate(), 0, keys));
}
std::string afterAssigning(const EditMask& m, const std::string& text) {
  return state(m, m.editTextFromText(text));
}

TEST(EditMaskSyntax, TrailingFieldsGiveSaveFlagAndBlank) {
  const EditMask code(">aaaa;0; ");
  EXPECT_EQ(code.length(), 4);
  EXPECT_FALSE(code.saveLiterals());
  EXPECT_EQ(code.blank(), ' ');
  EXPECT_EQ(code.blankTemplate(), "    ");

  const EditMask table("999;1; ");
  EXPECT_TRUE(table.saveLiterals());
  EXPECT_EQ(table.length(), 3);

  const EditMask defaults("99/99");  // no fields: literals saved, "_" shown
  EXPECT_TRUE(defaults.saveLiterals());
  EXPECT_EQ(defaults.blank(), '_');
  EXPECT_EQ(defaults.blankTemplate(), "__/__");

  const EditMask saveOnly("000;0");
  EXPECT_FALSE(saveOnly.saveLiterals());
  EXPECT_EQ(saveOnly.blank(), '_');

  // An escaped ";" is a literal of the mask, not a separator.
  const EditMask escaped("0\\;0;1;*");
  EXPECT_EQ(escaped.blankTemplate(), "*;*");
  EXPECT_TRUE(escaped.isLiteral(1));

  // Case switches, "!" and "\" take no position; "<>" is one switch, not two.
  const EditMask switches("!>l<l<>l\\L;1;_");
  EXPECT_EQ(switches.length(), 4);
  EXPECT_TRUE(switches.rightAligned());
  EXPECT_EQ(switches.blankTemplate(), "___L");

  EXPECT_TRUE(EditMask("").empty());
  EXPECT_EQ(EditMask("").length(), 0);
}

TEST(EditMaskSyntax, DateAndTimeSeparatorsFollowTheRuntimeSettings) {
  rtl::ShortDateFormat() = "dd.mm.yyyy";
  const EditMask date("99/99/0000;1;_");
  const EditMask time("99:99;1;_");
  rtl::ResetFormatSettings();
  EXPECT_EQ(date.blankTemplate(), "__.__.____");
  EXPECT_EQ(time.blankTemplate(), "__:__");
}

// The reference table: edit text as shown, and the text a reader gets.
TEST(EditMaskText, ReadingFollowsTheSaveFlag) {
  const EditMask code(">aaaa;0; ");
  EXPECT_EQ(state(code, "    "), "[    ] -> []");
  EXPECT_EQ(state(code, "AB  "), "[AB  ] -> [AB]");
  EXPECT_EQ(state(code, "A B "), "[A B ] -> [A B]");

  const EditMask saved("999;1; ");
  EXPECT_EQ(state(saved, "   "), "[   ] -> [   ]");
  EXPECT_EQ(state(saved, "1  "), "[1  ] -> [1  ]");

  EXPECT_EQ(state(EditMask("999;0; "), " 1 "), "[ 1 ] -> [ 1]");
  EXPECT_EQ(state(EditMask("!999;0;_"), "__7"), "[__7] -> [7]");
  EXPECT_EQ(state(EditMask("99/99/0000;1;_"), "__/__/____"), "[__/__/____] -> [  /  /    ]");
  EXPECT_EQ(state(EditMask("99/99/0000;0;_"), "31/12/2024"), "[31/12/2024] -> [31122024]");
  // Blanks between filled positions stay as spaces with the literals dropped.
  EXPECT_EQ(state(EditMask("99.99.9999;0;_"), "01._2.____"), "[01._2.____] -> [01 2]");
}

TEST(EditMaskText, AssigningFillsPositionsWithoutConversion) {
  const EditMask code(">aaaa;0; ");
  EXPECT_EQ(afterAssigning(code, "0001"), "[0001] -> [0001]");
  EXPECT_EQ(afterAssigning(code, "ab"), "[ab  ] -> [ab]");         // no case conversion
  EXPECT_EQ(afterAssigning(code, "abcdefg"), "[abcd] -> [abcd]");  // surplus dropped
  EXPECT_EQ(afterAssigning(code, ""), "[    ] -> []");

  EXPECT_EQ(afterAssigning(EditMask("999;0; "), "7"), "[7  ] -> [7]");
  EXPECT_EQ(afterAssigning(EditMask("!999;0;_"), "7"), "[__7] -> [7]");
  EXPECT_EQ(afterAssigning(EditMask("!999;0;_"), "12345"), "[345] -> [345]");

  const EditMask table("999;1; ");
  EXPECT_EQ(afterAssigning(table, "12"), "[12 ] -> [12 ]");
  EXPECT_EQ(afterAssigning(table, ""), "[   ] -> [   ]");
  EXPECT_EQ(afterAssigning(table, "   "), "[   ] -> [   ]");

  // With literals saved the value's literals are matched stretch by stretch.
  EXPECT_EQ(afterAssigning(EditMask("99/99/00;1;_"), "23/1/2009"), "[23/1_/20] -> [23/1 /20]");
  EXPECT_EQ(afterAssigning(EditMask("99/99/0000;1;_"), "  /  /    "),
            "[__/__/____] -> [  /  /    ]");
  EXPECT_EQ(afterAssigning(EditMask("!99/99;1;_"), "1/2"), "[_1/_2] -> [ 1/ 2]");
  // Without literals saved they are positions of their own and get inserted.
  EXPECT_EQ(afterAssigning(EditMask("99.99.9999;0;_"), "01020304"), "[01.02.0304] -> [01020304]");
}

TEST(EditMaskTyping, KeysAreConvertedCheckedAndLimited) {
  const EditMask code(">aaaa;0; ");
  EXPECT_EQ(afterTyping(code, "ab"), "[AB  ] -> [AB]");
  EXPECT_EQ(afterTyping(code, "x1y2z3"), "[X1Y2] -> [X1Y2]");  // four positions only
  EXPECT_EQ(afterTyping(code, "a-b"), "[AB  ] -> [AB]");       // "-" is rejected

  const EditMask lower("<llll;0;_");
  EXPECT_EQ(afterTyping(lower, "AbC"), "[abc_] -> [abc]");
  const EditMask mixed(">l<>l;1;_");
  EXPECT_EQ(afterTyping(mixed, "ab"), "[Ab] -> [Ab]");

  const EditMask table("999;1; ");
  EXPECT_EQ(afterTyping(table, "12a3"), "[123] -> [123]");
  EXPECT_EQ(afterTyping(table, "a"), "[   ] -> [   ]");

  // Literal positions are skipped; typing the literal itself steps over it.
  const EditMask product("99.99.9999;0;_");
  EXPECT_EQ(afterTyping(product, "01020304"), "[01.02.0304] -> [01020304]");
  EXPECT_EQ(afterTyping(product, "01.02.0304"), "[01.02.0304] -> [01020304]");
  const EditMask date("99/99/0000;1;_");
  EXPECT_EQ(afterTyping(date, "01/12/2026"), "[01/12/2026] -> [01/12/2026]");
  EXPECT_EQ(afterTyping(date, "1/12/2026"), "[1_/12/2026] -> [1 /12/2026]");

  // Typing from a caret keeps what is before it.
  EXPECT_EQ(state(date, date.typeInto("01/12/2026", 3, "05")), "[01/05/2026] -> [01/05/2026]");

  // "#" takes digits and signs; "L" letters only; "0" digits only.
  EXPECT_EQ(afterTyping(EditMask("###;1;_"), "+-5x"), "[+-5] -> [+-5]");
  EXPECT_EQ(afterTyping(EditMask("LL;1;_"), "1a2B"), "[aB] -> [aB]");
  EXPECT_EQ(afterTyping(EditMask("00;1;_"), "a7"), "[7_] -> [7 ]");

  // Plain edit: keys are inserted at the caret.
  const EditMask plain("");
  EXPECT_EQ(plain.typeInto("abef", 2, "cd"), "abcdef");
}

TEST(EditMaskTyping, MultibyteCharactersTakeOnePosition) {
  const EditMask any("cccc;1;_");
  const std::string typed = any.typeInto(any.blankTemplate(), 0, "aç€");
  EXPECT_EQ(typed, "aç€_");
  EXPECT_EQ(any.textFromEditText(typed), "aç€ ");
  // A letter position takes ASCII letters only.
  EXPECT_EQ(afterTyping(EditMask("llll;0;_"), "çab"), "[ab__] -> [ab]");
  // A multibyte literal is one position.
  const EditMask degrees("99º;1;_");
  EXPECT_EQ(degrees.length(), 3);
  EXPECT_EQ(afterTyping(degrees, "45"), "[45º] -> [45º]");
  EXPECT_EQ(afterAssigning(EditMask("cc;0;_"), "ãõx"), "[ãõ] -> [ãõ]");
}

TEST(EditMaskTyping, BytesThatAreNotUtf8TakeOnePositionEach) {
  // A lead byte in the mask followed by stray continuation bytes of the value would make one
  // three-byte character of three positions; each byte is shown as U+FFFD instead.
  const EditMask mask("c\xE6" "cc;0;_");
  EXPECT_EQ(mask.length(), 4);
  EXPECT_EQ(afterAssigning(mask, "\x93\x93\x93"), "[����] -> [���]");
  EXPECT_EQ(afterTyping(mask, "\x93" "a\x93"), "[��a�] -> [�a�]");
  EXPECT_EQ(mask.normalize("\x93"), "��__");
  EXPECT_EQ(tk::FormatMaskText("c\xE6" "cc;0;_", "\x93\x93\x93"), "����");
}

TEST(EditMaskCompleteness, RequiredPositionsMustBeFilledWithTheirClass) {
  const EditMask date("99/99/0000;1;_");
  EXPECT_TRUE(date.isComplete("__/__/2024"));  // the 9s may stay empty
  EXPECT_EQ(date.firstInvalidPosition("__/__/202_"), 9);
  EXPECT_FALSE(date.isComplete("__/__/202_"));
  EXPECT_EQ(date.firstInvalidPosition("1x/__/2024"), 1);  // a filled optional of the wrong class

  EXPECT_TRUE(EditMask(">aaaa;0; ").isComplete("    "));  // only optional positions
  EXPECT_TRUE(EditMask("999;1; ").isComplete("   "));
  const EditMask code("LA0C;1;_");
  EXPECT_EQ(code.firstInvalidPosition("____"), 0);
  EXPECT_EQ(code.firstInvalidPosition("x_7_"), 1);
  EXPECT_EQ(code.firstInvalidPosition("xy7_"), 3);
  EXPECT_TRUE(code.isComplete("xy7 "));  // "C" takes a space
  EXPECT_TRUE(code.isComplete("xy7é"));
}

TEST(EditMaskNormalize, EditTextIsAlwaysOfMaskLength) {
  const EditMask date("99/99/0000;1;_");
  EXPECT_EQ(date.normalize("31/1"), "31/1_/____");
  EXPECT_EQ(date.normalize("31/12/2024999"), "31/12/2024");
  EXPECT_EQ(EditMask("").normalize("free text"), "free text");
}

TEST(FormatMaskText, LiteralsAlwaysIncludedUnfilledAsSpaces) {
  EXPECT_EQ(tk::FormatMaskText("(999)000-0000;0;_", "5551234567"), "(555)123-4567");
  EXPECT_EQ(tk::FormatMaskText("99/99/0000;0;_", "3112"), "31/12/    ");
  EXPECT_EQ(tk::FormatMaskText("999;0; ", "7"), "7  ");
  EXPECT_EQ(tk::FormatMaskText("!999;0; ", "7"), "  7");
  EXPECT_EQ(tk::FormatMaskText("99.99.9999;0;_", "0102030405"), "01.02.0304");
  // Save field 1 (and no save field) expect the literals in the value.
  EXPECT_EQ(tk::FormatMaskText("99.99.9999;1;_", "01.02.0304"), "01.02.0304");
  EXPECT_EQ(tk::FormatMaskText("99.99.9999", "1.2.3"), "1 .2 .3   ");
  EXPECT_NE(tk::FormatMaskText("(999)000-0000;1;_", "5551234567"), "(555)123-4567");
  EXPECT_EQ(tk::FormatMaskText("", "as is"), "as is");
  // Formatting never converts case.
  EXPECT_EQ(tk::FormatMaskText(">aaaa;0; ", "ab"), "ab  ");
}

}  // namespace
