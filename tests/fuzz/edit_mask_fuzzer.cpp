// Fuzz target: the edit-mask engine, which every masked edit runs on what the user types and
// the program assigns.
//
// Input: one byte giving the caret, then "mask \n value \n keys". Every operation of the
// engine runs on them, and what its contract promises is checked: an edit text always has
// one character per position, normalizing and conforming are idempotent, and a text is
// complete exactly when it has no invalid position.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "toolkit/edit_mask.h"
#include "toolkit/utf8_chars.h"

namespace {

std::string_view cutLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

void expectPositions(const tk::EditMask& mask, const std::string& editText) {
  if (mask.empty()) return;  // a plain edit has no positions to fill
  if (tk::Utf8Chars(editText).size() != static_cast<size_t>(mask.length())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int caretSeed = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string_view maskText = cutLine(rest);
  const std::string_view value = cutLine(rest);
  const std::string_view keys = rest;

  const tk::EditMask mask(maskText);
  const int caret = caretSeed % (mask.length() + 1);
  for (int i = -1; i <= mask.length(); ++i) (void)mask.isLiteral(i);

  expectPositions(mask, mask.blankTemplate());

  const std::string normalized = mask.normalize(value);
  expectPositions(mask, normalized);
  if (mask.normalize(normalized) != normalized) std::abort();

  const std::string assigned = mask.editTextFromText(value);
  expectPositions(mask, assigned);
  (void)mask.textFromEditText(assigned);
  (void)mask.textFromEditText(value);

  const std::string typed = mask.typeInto(normalized, caret, keys);
  expectPositions(mask, typed);

  const std::string conformed = mask.conform(value);
  expectPositions(mask, conformed);
  if (!mask.empty() && mask.conform(conformed) != conformed) std::abort();

  for (const std::string& text : {normalized, assigned, typed, conformed}) {
    if (mask.isComplete(text) != (mask.firstInvalidPosition(text) == -1)) std::abort();
  }
  (void)tk::FormatMaskText(maskText, value);
  return 0;
}
