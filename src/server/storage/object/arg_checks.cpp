#include "server/storage/object/arg_checks.h"

#include <cmath>

#include "rtl/dates.h"
#include "rtl/strings.h"
#include "server/storage/object/messages.h"
#include "server/storage/object/refused.h"

namespace server {

bool isCleanText(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0) return false;
    if (byte < 0x80) {
      ++i;
      continue;
    }
    int extra;
    unsigned min;
    unsigned value;
    if ((byte & 0xE0) == 0xC0) {
      extra = 1, min = 0x80, value = byte & 0x1F;
    } else if ((byte & 0xF0) == 0xE0) {
      extra = 2, min = 0x800, value = byte & 0x0F;
    } else if ((byte & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000, value = byte & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<size_t>(extra) >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not UTF-8.
    if (value < min || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return false;
    i += static_cast<size_t>(extra) + 1;
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

bool hasWidth(std::string_view code, int width) { return rtl::Utf8Length(code) == width; }

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
