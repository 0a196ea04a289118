#include "server/storage/object/arg_checks.h"

#include <cmath>

#include "rtl/dates.h"
#include "rtl/strings.h"
#include "server/storage/object/messages.h"
#include "server/storage/object/refused.h"

namespace server {

namespace {

// The lead byte of a multi-byte UTF-8 sequence: continuation bytes that follow, smallest code
// point the length may encode, and the lead's own bits.
struct Lead {
  size_t extra;
  unsigned min;
  unsigned bits;
};

std::optional<Lead> leadOf(unsigned char byte) {
  if ((byte & 0xE0) == 0xC0) return Lead{1, 0x80, byte & 0x1Fu};
  if ((byte & 0xF0) == 0xE0) return Lead{2, 0x800, byte & 0x0Fu};
  if ((byte & 0xF8) == 0xF0) return Lead{3, 0x10000, byte & 0x07u};
  return std::nullopt;
}

}  // namespace

bool isCleanText(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0) return false;
    if (byte < 0x80) {
      ++i;
      continue;
    }
    const std::optional<Lead> lead = leadOf(byte);
    if (!lead || i + lead->extra >= text.size()) return false;
    unsigned value = lead->bits;
    for (size_t k = 1; k <= lead->extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3Fu);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not UTF-8.
    if (value < lead->min || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return false;
    i += lead->extra + 1;
  }
  return true;
}

std::optional<std::string> isoDay(double date) {
  if (!std::isfinite(date)) return std::nullopt;
  static const double first = rtl::EncodeDate(1, 1, 1);
  static const double last = rtl::EncodeDate(9999, 12, 31);
  const double day = std::floor(date);
  if (day < first || day > last) return std::nullopt;
  return rtl::FormatIsoDate(day);
}

bool hasWidth(std::string_view code, int width) {
  return rtl::Utf8Length(code) == width;
}

bool isBlank(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) > ' ') return false;
  return true;
}

AllFlag parseAllFlag(std::string_view flag) {
  if (flag.empty()) return AllFlag::None;
  if (flag == "T") return AllFlag::All;
  throw Refused(messages::kBadAllFlag);
}

}  // namespace server
