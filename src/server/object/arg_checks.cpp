#include "server/object/arg_checks.h"

#include <cmath>

#include "rtl/dates.h"
#include "rtl/strings.h"
#include "server/object/refusal_texts.h"
#include "server/object/refused.h"

namespace server {

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
