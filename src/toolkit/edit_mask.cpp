#include "toolkit/edit_mask.h"

#include <algorithm>

#include "rtl/dates.h"
#include "toolkit/utf8_chars.h"

namespace tk {

namespace {

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

char toUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char toLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The characters of a mask or a text, each one position's worth. A byte that is not UTF-8
// becomes U+FFFD: kept as it is, it could join the bytes of the next position into one
// character, and the edit text would no longer have one character per position.
std::vector<std::string_view> characters(std::string_view text) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::vector<std::string_view> chars = Utf8Chars(text);
  for (std::string_view& ch : chars)
    if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) >= 0x80) ch = kReplacement;
  return chars;
}

}  // namespace

EditMask::EditMask(std::string_view maskText) : maskText_(maskText) {
  parse(maskText);
}

bool EditMask::empty() const {
  return positions_.empty();
}
const std::string& EditMask::maskText() const {
  return maskText_;
}
int EditMask::length() const {
  return static_cast<int>(positions_.size());
}
bool EditMask::saveLiterals() const {
  return save_;
}
char EditMask::blank() const {
  return blank_;
}

bool EditMask::isLiteral(int index) const {
  return index >= 0 && index < length() && positions_[index].cls == Class::Literal;
}

void EditMask::parse(std::string_view text) {
  // The save and blank fields are found from the end, at separators not escaped by "\".
  std::vector<size_t> separators;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == ';') {
      separators.push_back(i);
    }
  }
  std::string_view mask = text;
  std::string_view saveField;
  std::string_view blankField;
  if (separators.size() >= 2) {
    const size_t a = separators[separators.size() - 2];
    const size_t b = separators.back();
    mask = text.substr(0, a);
    saveField = text.substr(a + 1, b - a - 1);
    blankField = text.substr(b + 1);
  } else if (separators.size() == 1) {
    mask = text.substr(0, separators[0]);
    saveField = text.substr(separators[0] + 1);
  }
  save_ = saveField.empty() || saveField[0] != '0';
  if (!blankField.empty()) {
    const auto c = static_cast<unsigned char>(blankField[0]);
    if (c >= 0x20 && c < 0x7F) blank_ = static_cast<char>(c);
  }

  const std::vector<std::string_view> chars = characters(mask);
  Case caseMode = Case::Keep;
  auto input = [&](Class cls, bool required) {
    positions_.push_back(Position{cls, required, caseMode, {}});
  };
  auto literal = [&](std::string_view shown) {
    positions_.push_back(Position{Class::Literal, false, Case::Keep, std::string(shown)});
  };
  for (size_t i = 0; i < chars.size(); ++i) {
    const std::string_view ch = chars[i];
    if (ch.size() != 1) {
      literal(ch);
      continue;
    }
    switch (ch[0]) {
      case '!':
        rightAligned_ = true;
        break;
      case '>':
        caseMode = Case::Upper;
        break;
      case '<':
        if (i + 1 < chars.size() && chars[i + 1] == ">") {
          caseMode = Case::Keep;
          ++i;
        } else {
          caseMode = Case::Lower;
        }
        break;
      case '\\':
        if (i + 1 < chars.size()) literal(chars[++i]);
        break;
      case 'L':
        input(Class::Letter, true);
        break;
      case 'l':
        input(Class::Letter, false);
        break;
      case 'A':
        input(Class::LetterOrDigit, true);
        break;
      case 'a':
        input(Class::LetterOrDigit, false);
        break;
      case 'C':
        input(Class::Any, true);
        break;
      case 'c':
        input(Class::Any, false);
        break;
      case '0':
        input(Class::Digit, true);
        break;
      case '9':
        input(Class::Digit, false);
        break;
      case '#':
        input(Class::DigitOrSign, false);
        break;
      case ':':
        literal(":");
        break;
      case '/':
        literal(std::string(1, rtl::DateSeparator()));
        break;
      default:
        literal(ch);
        break;
    }
  }
}

bool EditMask::accepts(const Position& p, std::string_view ch) const {
  if (p.cls == Class::Literal || ch.empty()) return false;
  if (ch.size() > 1) return p.cls == Class::Any;  // non-ASCII: only "any character"
  const char c = ch[0];
  if (c == ' ') return !p.required || p.cls == Class::Any || p.cls == Class::DigitOrSign;
  switch (p.cls) {
    case Class::Letter:
      return isAsciiLetter(c);
    case Class::LetterOrDigit:
      return isAsciiLetter(c) || isAsciiDigit(c);
    case Class::Any:
      return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F;
    case Class::Digit:
      return isAsciiDigit(c);
    case Class::DigitOrSign:
      return isAsciiDigit(c) || c == '+' || c == '-';
    case Class::Literal:
      break;
  }
  return false;
}

bool EditMask::isBlankCell(const std::string& cell) const {
  return cell.size() == 1 && cell[0] == blank_;
}

std::vector<std::string> EditMask::cells(std::string_view editText) const {
  const std::vector<std::string_view> chars = characters(editText);
  std::vector<std::string> out;
  out.reserve(positions_.size());
  for (size_t i = 0; i < positions_.size(); ++i) {
    if (i < chars.size()) {
      out.emplace_back(chars[i]);
    } else if (positions_[i].cls == Class::Literal) {
      out.push_back(positions_[i].literal);
    } else {
      out.emplace_back(1, blank_);
    }
  }
  return out;
}

std::string EditMask::join(const std::vector<std::string>& cells) const {
  std::string out;
  for (const std::string& c : cells) out += c;
  return out;
}

std::string EditMask::blankTemplate() const {
  return join(cells({}));
}

std::string EditMask::normalize(std::string_view editText) const {
  if (empty()) return std::string(editText);
  return join(cells(editText));
}

std::string EditMask::conform(std::string_view editText) const {
  if (empty()) return std::string(editText);
  std::vector<std::string> c = cells(editText);
  for (size_t i = 0; i < positions_.size(); ++i) {
    const Position& p = positions_[i];
    if (p.cls == Class::Literal) {
      c[i] = p.literal;
    } else if (isBlankCell(c[i]) || !accepts(p, c[i]) || (c[i] == " " && p.cls != Class::Any)) {
      c[i] = std::string(1, blank_);
    } else if (c[i].size() == 1 && p.caseMode == Case::Upper) {
      c[i][0] = toUpper(c[i][0]);
    } else if (c[i].size() == 1 && p.caseMode == Case::Lower) {
      c[i][0] = toLower(c[i][0]);
    }
  }
  return join(c);
}

std::string EditMask::textFromEditText(std::string_view editText) const {
  if (empty()) return std::string(editText);
  const std::vector<std::string> c = cells(editText);
  std::string out;
  for (size_t i = 0; i < positions_.size(); ++i) {
    if (positions_[i].cls == Class::Literal) {
      if (save_) out += c[i];
    } else {
      out += isBlankCell(c[i]) ? std::string(" ") : c[i];
    }
  }
  if (save_) return out;
  if (rightAligned_) {
    const size_t first = out.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : out.substr(first);
  }
  const size_t last = out.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : out.substr(0, last + 1);
}

// Raw characters fill the input positions in order (from the right with "!"); a space in the
// value leaves its position blank.
void EditMask::fillRaw(std::vector<std::string>& out, std::string_view text) const {
  std::vector<size_t> inputs;
  for (size_t i = 0; i < positions_.size(); ++i)
    if (positions_[i].cls != Class::Literal) inputs.push_back(i);
  const std::vector<std::string_view> chars = characters(text);
  const size_t n = std::min(chars.size(), inputs.size());
  for (size_t k = 0; k < n; ++k) {
    const size_t slot = rightAligned_ ? inputs[inputs.size() - n + k] : inputs[k];
    const std::string_view ch = rightAligned_ ? chars[chars.size() - n + k] : chars[k];
    out[slot] = ch == " " ? std::string(1, blank_) : std::string(ch);
  }
}

// The value carries the literals: each stretch of input positions takes the value's characters
// up to the next occurrence of the literal that ends the stretch, aligned to the stretch's left
// (right with "!") and cut to fit. A literal missing from the value ends the matching: the
// rest of the value goes to the stretch before it.
void EditMask::fillSaved(std::vector<std::string>& out, std::string_view text) const {
  const std::vector<std::string_view> chars = characters(text);
  size_t cur = 0;
  size_t i = 0;
  while (i < positions_.size()) {
    size_t j = i;
    while (j < positions_.size() && positions_[j].cls != Class::Literal) ++j;
    size_t segEnd = chars.size();
    size_t next = chars.size();
    if (j < positions_.size()) {
      size_t k = cur;
      while (k < chars.size() && chars[k] != positions_[j].literal) ++k;
      if (k < chars.size()) {
        segEnd = k;
        next = k + 1;
      } else if (i == j) {
        segEnd = next = cur;  // nothing to place here: keep the value for later stretches
      }
    }
    const size_t width = j - i;
    const size_t segLen = segEnd - cur;
    const size_t n = std::min(width, segLen);
    for (size_t k = 0; k < n; ++k) {
      const size_t slot = rightAligned_ ? j - n + k : i + k;
      const std::string_view ch = rightAligned_ ? chars[segEnd - n + k] : chars[cur + k];
      out[slot] = ch == " " ? std::string(1, blank_) : std::string(ch);
    }
    cur = next;
    i = j + 1;
  }
}

std::string EditMask::editTextFromText(std::string_view text) const {
  if (empty()) return std::string(text);
  std::vector<std::string> out = cells({});
  if (save_) {
    fillSaved(out, text);
  } else {
    fillRaw(out, text);
  }
  return join(out);
}

std::string EditMask::typeInto(std::string_view editText, int caret, std::string_view keys) const {
  if (empty()) {
    const std::vector<std::string_view> chars = Utf8Chars(editText);
    const size_t at = std::min(static_cast<size_t>(std::max(caret, 0)), chars.size());
    std::string out;
    for (size_t i = 0; i < at; ++i) out += chars[i];
    out += keys;
    for (size_t i = at; i < chars.size(); ++i) out += chars[i];
    return out;
  }
  std::vector<std::string> c = cells(editText);
  const size_t n = positions_.size();
  size_t pos = std::min(static_cast<size_t>(std::max(caret, 0)), n);
  for (const std::string_view key : characters(keys)) {
    while (pos < n && positions_[pos].cls == Class::Literal && positions_[pos].literal != key)
      ++pos;
    if (pos >= n) break;  // the edit is full: further keys are lost
    const Position& p = positions_[pos];
    if (p.cls == Class::Literal) {  // the key is this literal: step over it
      ++pos;
      continue;
    }
    if (accepts(p, key)) {
      std::string stored(key);
      if (key == " " && p.cls != Class::Any) {
        stored = std::string(1, blank_);
      } else if (key.size() == 1 && p.caseMode == Case::Upper) {
        stored[0] = toUpper(key[0]);
      } else if (key.size() == 1 && p.caseMode == Case::Lower) {
        stored[0] = toLower(key[0]);
      }
      c[pos++] = std::move(stored);
      continue;
    }
    // A rejected key that is the next literal finishes the current stretch early.
    size_t lit = pos;
    while (lit < n && positions_[lit].cls != Class::Literal) ++lit;
    if (lit < n && positions_[lit].literal == key) pos = lit + 1;
  }
  return join(c);
}

int EditMask::firstInvalidPosition(std::string_view editText) const {
  const std::vector<std::string> c = cells(editText);
  for (size_t i = 0; i < positions_.size(); ++i) {
    const Position& p = positions_[i];
    if (p.cls == Class::Literal) continue;
    const bool unfilled = isBlankCell(c[i]) || (c[i] == " " && p.cls != Class::Any);
    if (unfilled) {
      if (p.required) return static_cast<int>(i);
    } else if (!accepts(p, c[i])) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool EditMask::isComplete(std::string_view editText) const {
  return firstInvalidPosition(editText) < 0;
}

std::string FormatMaskText(std::string_view maskText, std::string_view value) {
  const EditMask mask(maskText);
  if (mask.empty()) return std::string(value);
  std::vector<std::string> out = mask.cells({});
  if (mask.save_) {
    mask.fillSaved(out, value);
  } else {
    mask.fillRaw(out, value);
  }
  for (size_t i = 0; i < out.size(); ++i)
    if (mask.positions_[i].cls != EditMask::Class::Literal && mask.isBlankCell(out[i]))
      out[i].assign(1, ' ');
  return mask.join(out);
}

}  // namespace tk
