#pragma once
// Small text helpers shared by the date reader and the date formatter (internal to rtl).

#include <string>

namespace rtl::date_text {

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
// `value` in decimal, with zeros in front up to `width` digits.
inline std::string ZeroPadded(int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

}  // namespace rtl::date_text
