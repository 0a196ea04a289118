#pragma once
// The edit-mask engine: the three-part mask syntax "mask;save;blank" and the rules by which a
// masked edit turns keystrokes and assigned values into its edit text (what is shown, always
// one character per position) and its text (what is read: literals kept or dropped by the
// save flag, blank positions as spaces, trimmed when literals are dropped).
//
// Texts are UTF-8. A position holds one character, which may be a multibyte sequence (an
// accented letter typed into a "C" position, a literal such as "º"); lengths and positions
// count characters, never bytes. Letters of the L/l/A/a classes are ASCII letters. A byte that
// is not UTF-8, in a mask or a text, is taken as the character U+FFFD.
//
// Decisions where the references leave room:
// - The two trailing fields are split off at unescaped ";": "m;s;b" gives all three, "m;s"
//   gives the save flag only. An empty or non-ASCII blank field keeps the default "_".
// - With "!" an assigned value is poured in from the right: when it is longer than the
//   positions it fills, its leading characters are the ones dropped.
// - A space typed into an optional position clears it; required positions reject it
//   ("C" excepted: it takes any character).
// - A typed literal character that the current input position rejects jumps past the next
//   literal position showing that character ("1/12/2026" into "99/99/0000" fills "1_/12/2026").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

class EditMask {
 public:
  // An empty mask text gives a plain edit (no positions, no rules).
  explicit EditMask(std::string_view maskText = {});

  bool empty() const;
  const std::string& maskText() const;
  // Number of positions (input and literal) N; the edit text always has N characters.
  int length() const;
  bool saveLiterals() const;
  char blank() const;
  // True when the mask starts its value at the right ("!").
  bool rightAligned() const { return rightAligned_; }
  // True when position `index` (0-based) shows a literal.
  bool isLiteral(int index) const;

  // The edit text with nothing filled in: blanks in input positions, literals in place.
  std::string blankTemplate() const;
  // The text a reader of Text gets for this edit text.
  std::string textFromEditText(std::string_view editText) const;
  // The edit text after assigning `text` to Text (no validation, no case conversion).
  std::string editTextFromText(std::string_view text) const;
  // The edit text after the user types `keys` into an edit showing `editText`, from position
  // `caret` (0-based): each key lands in the next input position that accepts it (case
  // converted), literal positions are skipped, typing a literal character moves past it,
  // rejected keys are ignored.
  std::string typeInto(std::string_view editText, int caret, std::string_view keys) const;
  // An edit text of any length brought to exactly N characters: cut, or padded with the
  // template. What a view's edit hands back goes through here.
  std::string normalize(std::string_view editText) const;
  // An edit text handed over by a view after a keystroke, made to fit: N characters, literals
  // in place, each input position keeping its character only when its class accepts it (case
  // converted), otherwise blank.
  std::string conform(std::string_view editText) const;
  // True when every required position is filled with a character of its class.
  bool isComplete(std::string_view editText) const;
  // Index of the first position that is required but unfilled or holds a wrong character;
  // -1 when there is none.
  int firstInvalidPosition(std::string_view editText) const;

 private:
  enum class Class : uint8_t { Literal, Letter, LetterOrDigit, Any, Digit, DigitOrSign };
  enum class Case : uint8_t { Keep, Upper, Lower };
  struct Position {
    Class cls = Class::Literal;
    bool required = false;
    Case caseMode = Case::Keep;
    std::string literal;  // Literal: the character shown (one UTF-8 character)
  };

  void parse(std::string_view mask);
  std::vector<std::string> cells(std::string_view editText) const;
  bool accepts(const Position& p, std::string_view ch) const;
  bool isBlankCell(const std::string& cell) const;
  std::string join(const std::vector<std::string>& cells) const;
  void fillSaved(std::vector<std::string>& out, std::string_view text) const;
  void fillRaw(std::vector<std::string>& out, std::string_view text) const;

  std::string maskText_;
  std::vector<Position> positions_;
  bool save_ = true;
  char blank_ = '_';
  bool rightAligned_ = false;

  friend std::string FormatMaskText(std::string_view maskText, std::string_view value);
};

// The value laid out by the mask, literals always included, unfilled positions as spaces.
// The mask's save field says how `value` is read: "0" means raw characters (the literals are
// inserted); "1" or no save field means the literals are expected in `value` and matched.
std::string FormatMaskText(std::string_view maskText, std::string_view value);

}  // namespace tk
