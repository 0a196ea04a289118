// Fuzz target: the session reader, which takes the host's INI file and its --set overrides.
//
// Input: the text of a session file. It is read as a file, and each of its lines is also
// given as an override. The only failure allowed is host::SessionError; and a session that is
// accepted must be usable: its short date format must write and read a date, its product
// mask must lay out a code, as the screen will make them do.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "host/session_settings.h"
#include "rtl/dates.h"
#include "toolkit/edit_mask.h"

namespace {

void use(const Varnoke::Session& session) {
  rtl::ShortDateFormat() = session.shortDateFormat;
  const std::string today = rtl::DateToStr(rtl::EncodeDate(2026, 12, 8));
  rtl::TDateTime read = 0;
  (void)rtl::TryStrToDate(today, read);
  (void)tk::FormatMaskText(session.productMask, "12345678");
  (void)tk::EditMask(session.productMask).blankTemplate();
  rtl::ResetFormatSettings();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Varnoke::Session session;
  try {
    host::ApplySessionText(session, text, "fuzz.ini");
    use(session);
  } catch (const host::SessionError&) {
  }

  std::istringstream lines(text);
  std::string line;
  Varnoke::Session overridden;
  while (std::getline(lines, line)) {
    try {
      host::ApplySessionOverride(overridden, line);
      use(overridden);
    } catch (const host::SessionError&) {
    }
  }
  return 0;
}
