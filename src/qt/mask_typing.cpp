#include "qt/mask_typing.h"

#include <algorithm>
#include <vector>

#include "toolkit/utf8_chars.h"

namespace qtviews {

namespace {

// One string per mask position.
std::vector<std::string> cellsOf(const tk::EditMask& mask, std::string_view editText) {
  const std::string normalized = mask.normalize(editText);
  std::vector<std::string> out;
  for (std::string_view c : tk::Utf8Chars(normalized)) out.emplace_back(c);
  return out;
}

std::string join(const std::vector<std::string>& cells) {
  std::string out;
  for (const std::string& c : cells) out += c;
  return out;
}

// Blanks every input position in [from, to).
void clearRange(const tk::EditMask& mask, std::vector<std::string>& cells, int from, int to) {
  const std::vector<std::string> blank = cellsOf(mask, mask.blankTemplate());
  const int n = static_cast<int>(cells.size());
  for (int i = std::max(from, 0); i < std::min(to, n); ++i)
    if (!mask.isLiteral(i)) cells[i] = blank[i];
}

int clampCaret(int caret, int n) {
  return std::clamp(caret, 0, n);
}

// Where the caret lands after typing `key` (one character) at `caret`. The engine is asked to
// type into a probe whose open positions hold a character no class accepts, so the one it
// writes shows where the key went; a key that wrote nothing may still have stepped over a
// literal, which the template tells.
int caretAfterKey(const tk::EditMask& mask, const std::vector<std::string>& cells, int caret,
                  std::string_view key) {
  const int n = static_cast<int>(cells.size());
  std::vector<std::string> probe = cells;
  for (int i = caret; i < n; ++i)
    if (!mask.isLiteral(i)) probe[i] = "\x01";
  const std::vector<std::string> typed = cellsOf(mask, mask.typeInto(join(probe), caret, key));
  for (int i = caret; i < n; ++i)
    if (typed[i] != probe[i]) return i + 1;
  // Nothing written: the key was a literal to step over, or a rejected key that is the next
  // literal (finishing a stretch early), or simply rejected.
  const std::vector<std::string> tmpl = cellsOf(mask, mask.blankTemplate());
  int pos = caret;
  while (pos < n && mask.isLiteral(pos) && tmpl[pos] != key) ++pos;
  if (pos < n && mask.isLiteral(pos)) return pos + 1;
  int lit = pos;
  while (lit < n && !mask.isLiteral(lit)) ++lit;
  if (lit < n && tmpl[lit] == key) return lit + 1;
  return caret;
}

// The cells of an edit about to lose characters, and its selection [from, to) kept inside them.
struct Erasure {
  std::vector<std::string> cells;
  int from = 0;
  int to = 0;
};

Erasure erasureOf(const tk::EditMask& mask, std::string_view editText, int selStart, int selEnd) {
  Erasure e{cellsOf(mask, editText)};
  const int n = static_cast<int>(e.cells.size());
  e.from = clampCaret(std::min(selStart, selEnd), n);
  e.to = clampCaret(std::max(selStart, selEnd), n);
  return e;
}

// Backspace and Delete on a selection both blank it and leave the caret at its start.
MaskEdit clearSelection(const tk::EditMask& mask, Erasure& e) {
  clearRange(mask, e.cells, e.from, e.to);
  return {join(e.cells), e.from};
}

}  // namespace

MaskEdit TypeKeys(const tk::EditMask& mask, std::string_view editText, int selStart, int selEnd,
                  std::string_view keys) {
  std::vector<std::string> cells = cellsOf(mask, editText);
  const int n = static_cast<int>(cells.size());
  int caret = clampCaret(std::min(selStart, selEnd), n);
  clearRange(mask, cells, caret, clampCaret(std::max(selStart, selEnd), n));
  for (std::string_view key : tk::Utf8Chars(keys)) {
    const int next = caretAfterKey(mask, cells, caret, key);
    cells = cellsOf(mask, mask.typeInto(join(cells), caret, key));
    caret = next;
  }
  return {join(cells), caret};
}

MaskEdit Backspace(const tk::EditMask& mask, std::string_view editText, int selStart, int selEnd) {
  Erasure e = erasureOf(mask, editText, selStart, selEnd);
  if (e.from != e.to) return clearSelection(mask, e);
  int pos = e.from - 1;
  while (pos >= 0 && mask.isLiteral(pos)) --pos;
  if (pos < 0) return {join(e.cells), e.from};
  clearRange(mask, e.cells, pos, pos + 1);
  return {join(e.cells), pos};
}

MaskEdit DeleteForward(const tk::EditMask& mask, std::string_view editText, int selStart,
                       int selEnd) {
  Erasure e = erasureOf(mask, editText, selStart, selEnd);
  if (e.from != e.to) return clearSelection(mask, e);
  const int n = static_cast<int>(e.cells.size());
  int pos = e.from;
  while (pos < n && mask.isLiteral(pos)) ++pos;
  if (pos < n) clearRange(mask, e.cells, pos, pos + 1);
  return {join(e.cells), e.from};
}

}  // namespace qtviews
