#include "toolkit/utf8_chars.h"

namespace tk {

namespace {

// Length of the sequence that starts with `lead` and is complete in `rest`; 1 when malformed.
size_t sequenceLength(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  size_t len = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4;
  }
  if (len > rest.size()) return 1;
  for (size_t i = 1; i < len; ++i)
    if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
  return len;
}

}  // namespace

std::vector<std::string_view> Utf8Chars(std::string_view s) {
  std::vector<std::string_view> out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const size_t len = sequenceLength(s.substr(i));
    out.push_back(s.substr(i, len));
    i += len;
  }
  return out;
}

std::string Utf8Prefix(std::string_view s, size_t count) {
  size_t i = 0;
  for (size_t n = 0; n < count && i < s.size(); ++n) i += sequenceLength(s.substr(i));
  return std::string(s.substr(0, i));
}

}  // namespace tk
