// FormatDateTime: a date and time written through a format of tokens (dates.h lists them).

#include <array>
#include <string>
#include <string_view>

#include "rtl/date_text.h"
#include "rtl/dates.h"

namespace rtl {
namespace {

constexpr std::array<std::string_view, 7> kShortDayNames = {"dom", "seg", "ter", "qua",
                                                            "qui", "sex", "sáb"};
constexpr std::array<std::string_view, 7> kLongDayNames = {
    "domingo",      "segunda-feira", "terça-feira", "quarta-feira",
    "quinta-feira", "sexta-feira",   "sábado"};
constexpr std::array<std::string_view, 12> kShortMonthNames = {
    "jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"};
constexpr std::array<std::string_view, 12> kLongMonthNames = {
    "janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
    "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};
constexpr std::string_view kShortTimeFormat = "hh:nn";
constexpr std::string_view kLongTimeFormat = "hh:nn:ss";

using date_text::IsLetter;
using date_text::ZeroPadded;

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The 12-hour tokens, longest first; each is matched without regard to case.
constexpr std::array<std::string_view, 3> kHalfDayTokens = {"am/pm", "ampm", "a/p"};

// The half-day token starting at `at`, or an empty view.
std::string_view halfDayTokenAt(std::string_view format, size_t at) {
  for (std::string_view token : kHalfDayTokens) {
    if (format.size() - at < token.size()) continue;
    bool same = true;
    for (size_t k = 0; k < token.size() && same; ++k)
      same = upper(format[at + k]) == upper(token[k]);
    if (same) return format.substr(at, token.size());
  }
  return {};
}

// Writes one format. Formats that name other formats (ddddd, dddddd, t, tt, c) are written
// one level deep: inside them those tokens give the day or are copied, so that a setting that
// names itself cannot recurse without end.
class Writer {
 public:
  explicit Writer(TDateTime t) {
    DecodeDate(t, year_, month_, day_);
    DecodeTime(t, hour_, minute_, second_, ms_);
    weekDay_ = DayOfWeek(t);
  }

  std::string write(std::string_view format, bool nested) {
    std::string out;
    bool lastWasHour = false;
    size_t i = 0;
    while (i < format.size()) {
      const char c = format[i];
      if (c == '"' || c == '\'') {
        const size_t end = format.find(c, i + 1);
        const size_t stop = end == std::string_view::npos ? format.size() : end;
        out.append(format.substr(i + 1, stop - i - 1));
        i = stop == format.size() ? stop : stop + 1;
        continue;
      }
      if (const std::string_view token = halfDayTokenAt(format, i); !token.empty()) {
        out += halfDay(token);
        i += token.size();
        continue;
      }
      const char u = upper(c);
      size_t run = 1;
      while (IsLetter(c) && i + run < format.size() && upper(format[i + run]) == u) ++run;
      out += token(u, run, format, i, nested, lastWasHour);
      // "m" means minutes right after an hour, separators between them allowed.
      if (u == 'H') lastWasHour = true;
      if (u == 'D' || u == 'M' || u == 'Y' || u == 'N' || u == 'S') lastWasHour = false;
      i += run;
    }
    return out;
  }

 private:
  std::string token(char u, size_t run, std::string_view format, size_t at, bool nested,
                    bool lastWasHour) {
    switch (u) {
      case 'D':
        if (run == 3) return std::string(kShortDayNames[static_cast<size_t>(weekDay_ - 1)]);
        if (run == 4) return std::string(kLongDayNames[static_cast<size_t>(weekDay_ - 1)]);
        if (run >= 5 && !nested)
          return write(run == 5 ? ShortDateFormat() : LongDateFormat(), true);
        return run == 1 ? std::to_string(day_) : ZeroPadded(day_, 2);
      case 'M':
        if (lastWasHour) return run == 1 ? std::to_string(minute_) : ZeroPadded(minute_, 2);
        if (run == 3) return std::string(kShortMonthNames[static_cast<size_t>(month_ - 1)]);
        if (run >= 4) return std::string(kLongMonthNames[static_cast<size_t>(month_ - 1)]);
        return run == 1 ? std::to_string(month_) : ZeroPadded(month_, 2);
      case 'Y':
        return run <= 2 ? ZeroPadded(year_ % 100, 2) : ZeroPadded(year_, 4);
      case 'H': {
        int h = hour_;
        if (twelveHourAfter(format, at)) h = h % 12 == 0 ? 12 : h % 12;
        return run == 1 ? std::to_string(h) : ZeroPadded(h, 2);
      }
      case 'N':
        return run == 1 ? std::to_string(minute_) : ZeroPadded(minute_, 2);
      case 'S':
        return run == 1 ? std::to_string(second_) : ZeroPadded(second_, 2);
      case 'Z':
        return run >= 3 ? ZeroPadded(ms_, 3) : std::to_string(ms_);
      case 'T':
        if (nested) break;
        return write(run == 1 ? kShortTimeFormat : kLongTimeFormat, true);
      case 'C':
        if (nested) break;
        return write(ShortDateFormat(), true) +
               (hour_ || minute_ || second_ || ms_ ? " " + write(kLongTimeFormat, true) : "");
      case '/':
        return std::string(1, DateSeparator());
      default:
        break;
    }
    return std::string(format.substr(at, run));
  }

  // An hour is written on the 12-hour clock when a half-day token follows it.
  static bool twelveHourAfter(std::string_view format, size_t from) {
    for (size_t k = from; k < format.size(); ++k)
      if (!halfDayTokenAt(format, k).empty()) return true;
    return false;
  }

  std::string halfDay(std::string_view token) const {
    const bool pm = hour_ >= 12;
    if (token.size() == 4) return pm ? "PM" : "AM";                          // ampm
    if (token.size() == 3) return std::string(1, pm ? token[2] : token[0]);  // a/p, as written
    return std::string(pm ? token.substr(3, 2) : token.substr(0, 2));        // am/pm
  }

  int year_, month_, day_, hour_, minute_, second_, ms_, weekDay_;
};

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime t) {
  return Writer(t).write(format, false);
}

std::string DateToStr(TDateTime t) {
  return FormatDateTime("ddddd", t);
}

}  // namespace rtl
