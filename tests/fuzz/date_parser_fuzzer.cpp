// Fuzz target: reading and writing dates in the user's short date format, as the date edits
// and the session's format make the runtime do.
//
// Input: one byte choosing the short date format and the century window, then
// "format \n text". The format line is the short date format when the byte's high bit is set
// (any text a session could hold); otherwise one of the usual formats is taken, for which a
// date read must be written back and read again to the same day. Also checked: the throwing
// and the non-throwing readers agree, an ISO date read is written back as the same text, and
// the only failure is rtl::EConvertError.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "rtl/dates.h"
#include "rtl/exceptions.h"

namespace {

constexpr const char* kFormats[] = {"dd/mm/yyyy", "d/m/yyyy", "mm/dd/yyyy", "yyyy-mm-dd",
                                    "dd.mm.yy",   "yyyy/m/d", "d-mmm-yy"};

std::string_view cutLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // Two-part dates take the current year: a fixed day keeps every run the same.
  static const rtl::FixedClock clock(rtl::EncodeDate(2026, 12, 8) + 0.5);
  rtl::SetClock(&clock);
  const uint8_t choice = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string_view formatLine = cutLine(rest);
  const std::string_view text = rest;

  rtl::ResetFormatSettings();
  const bool anyFormat = (choice & 0x80) != 0;
  rtl::ShortDateFormat() =
      anyFormat ? std::string(formatLine) : kFormats[choice % std::size(kFormats)];
  rtl::TwoDigitYearCenturyWindow() = (choice >> 3) % 4 == 0 ? 0 : 50;

  rtl::TDateTime parsed = 0;
  const bool ok = rtl::TryStrToDate(text, parsed);
  try {
    const rtl::TDateTime thrown = rtl::StrToDate(text);
    if (!ok || thrown != parsed) std::abort();
  } catch (const rtl::EConvertError&) {
    if (ok) std::abort();
  }
  try {
    (void)rtl::StrToDateTime(text);
  } catch (const rtl::EConvertError&) {
  }

  if (ok) {
    const std::string written = rtl::DateToStr(parsed);
    const std::string& format = rtl::ShortDateFormat();
    const bool fullYear = format.find("yyyy") != std::string::npos;
    if (!anyFormat && fullYear && rtl::StrToDate(written) != parsed) std::abort();
    (void)rtl::FormatDateTime(formatLine, parsed);
  }

  rtl::TDateTime iso = 0;
  if (rtl::TryParseIsoDate(text, iso) && rtl::FormatIsoDate(iso) != text) std::abort();
  return 0;
}
