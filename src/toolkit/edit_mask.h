#pragma once
// The edit-mask engine: the three-part mask syntax "mask;save;blank" and the rules by which a
// masked edit turns keystrokes and assigned values into its edit text (what is shown, always
// one character per position) and its text (what is read: literals kept or dropped by the
// save flag, blank positions as spaces, trimmed when literals are dropped).

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
  // True when every required position is filled with a character of its class.
  bool isComplete(std::string_view editText) const;
  // Index of the first position that is required but unfilled or holds a wrong character;
  // -1 when there is none.
  int firstInvalidPosition(std::string_view editText) const;

 private:
  struct Position;
  std::string maskText_;
  std::vector<Position> positions_;
  bool save_ = true;
  char blank_ = '_';
  bool rightAligned_ = false;
  friend struct MaskParser;
};

// The value laid out by the mask, literals always included, unfilled positions as spaces.
std::string FormatMaskText(std::string_view maskText, std::string_view value);

}  // namespace tk
