#pragma once
// Keystrokes in a masked edit, worked out with the toolkit's mask engine: what the edit text
// becomes and where the caret goes. The engine says what a typed key does to the text; this
// adds the caret, which the engine leaves to the view. Positions and carets count characters
// (one per mask position), never bytes. A selection [start, end) is cleared to blanks first,
// as typing over it, deleting it or pasting over it would.

#include <string>
#include <string_view>

#include "toolkit/edit_mask.h"

namespace qtviews {

struct MaskEdit {
  std::string editText;
  int caret = 0;
  bool operator==(const MaskEdit&) const = default;
};

// Typing `keys` (one or more characters, or a pasted text) at the selection.
MaskEdit TypeKeys(const tk::EditMask& mask, std::string_view editText, int selStart, int selEnd,
                  std::string_view keys);
// Backspace: clears the selection, or the input position before the caret (literals skipped).
MaskEdit Backspace(const tk::EditMask& mask, std::string_view editText, int selStart, int selEnd);
// Delete: clears the selection, or the input position at the caret (literals skipped).
MaskEdit DeleteForward(const tk::EditMask& mask, std::string_view editText, int selStart,
                       int selEnd);

}  // namespace qtviews
