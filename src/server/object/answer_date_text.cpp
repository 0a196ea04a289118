#include "server/object/answer_date_text.h"

#include "rtl/strings.h"

namespace server {

namespace {

bool startsWithToken(std::string_view rest, std::string_view token) {
  if (rest.size() < token.size()) return false;
  for (size_t i = 0; i < token.size(); ++i)
    if ((rest[i] | 0x20) != token[i]) return false;
  return true;
}

std::string padded(int value, int digits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits)
    text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
  return text;
}

}  // namespace

std::optional<std::string> formatShortDate(std::string_view format, int year, int month, int day,
                                           int maxChars) {
  if (format.empty()) return std::nullopt;
  std::string out;
  size_t i = 0;
  while (i < format.size()) {
    const std::string_view rest = format.substr(i);
    if (startsWithToken(rest, "yyyy")) {
      out += padded(year, 4);
      i += 4;
    } else if (startsWithToken(rest, "yy")) {
      out += padded(year % 100, 2);
      i += 2;
    } else if (startsWithToken(rest, "dd")) {
      out += padded(day, 2);
      i += 2;
    } else if (startsWithToken(rest, "d")) {
      out += std::to_string(day);
      i += 1;
    } else if (startsWithToken(rest, "mm")) {
      out += padded(month, 2);
      i += 2;
    } else if (startsWithToken(rest, "m")) {
      out += std::to_string(month);
      i += 1;
    } else {
      out += format[i];
      i += 1;
    }
    // Checked as it grows, so that a huge format costs no more than the column is wide.
    if (out.size() > static_cast<size_t>(maxChars) * 4) return std::nullopt;
  }
  if (rtl::Utf8Length(out) > maxChars) return std::nullopt;
  return out;
}

}  // namespace server
