#include "rtl/dates.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

#include "rtl/date_text.h"
#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"
#include "rtl/strings.h"

namespace rtl {
namespace {

// Days from 1970-01-01 to y-m-d in the proleptic Gregorian calendar.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const long long kEpochOffset = daysFromCivil(1899, 12, 30);  // day 0 of TDateTime

class SystemClock : public Clock {
 public:
  TDateTime Now() const override {
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&secs, &local);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
  }
};

const SystemClock systemClock;
const Clock* currentClock = &systemClock;

std::string& shortDateFormatStorage() {
  static std::string format = "dd/mm/yyyy";
  return format;
}

int& centuryWindowStorage() {
  static int window = 50;
  return window;
}

using date_text::IsDigit;
using date_text::IsLetter;
using date_text::ZeroPadded;

int daysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int expandYear(int year, int digits) {
  if (digits > 2) return year;
  int thisYear, m, d;
  DecodeDate(Date(), thisYear, m, d);
  const int window = TwoDigitYearCenturyWindow();
  if (window <= 0) return thisYear / 100 * 100 + year;
  const int pivot = thisYear - window;
  int full = pivot / 100 * 100 + year;
  if (full < pivot) full += 100;
  return full;
}

// The order of day, month and year in the short date format, e.g. "DMY".
std::string fieldOrder() {
  std::string order;
  for (char c : ShortDateFormat()) {
    const char u = static_cast<char>(c & ~0x20);
    if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos) order += u;
  }
  return order.size() == 3 ? order : std::string("DMY");
}

struct Number {
  int value = 0;
  int digits = 0;
};

// Splits a date text into its numbers; false on any character that is neither a digit nor
// the separator, on empty parts and on numbers too long to be a date part.
bool splitDate(std::string_view text, std::vector<Number>& parts) {
  const char sep = DateSeparator();
  Number current;
  for (char c : text) {
    if (IsDigit(c)) {
      if (++current.digits > 4) return false;
      current.value = current.value * 10 + (c - '0');
    } else if (c == sep) {
      if (current.digits == 0) return false;
      parts.push_back(current);
      current = {};
    } else {
      return false;
    }
  }
  if (current.digits == 0) return false;
  parts.push_back(current);
  return true;
}

bool parseDate(std::string_view raw, TDateTime& out) {
  const std::string text = Trim(raw);
  if (text.empty()) return false;
  std::vector<Number> parts;
  if (!splitDate(text, parts)) return false;
  const std::string order = fieldOrder();
  int year = 0, month = 0, day = 0;
  if (parts.size() == 3) {
    for (size_t i = 0; i < 3; ++i) {
      const Number& n = parts[i];
      switch (order[i]) {
        case 'D':
          day = n.value;
          if (n.digits > 2) return false;
          break;
        case 'M':
          month = n.value;
          if (n.digits > 2) return false;
          break;
        default:
          year = expandYear(n.value, n.digits);
          break;
      }
    }
  } else if (parts.size() == 2) {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    year = y;
    size_t k = 0;
    for (char f : order) {
      if (f == 'Y') continue;
      const Number& n = parts[k++];
      if (n.digits > 2) return false;
      (f == 'D' ? day : month) = n.value;
    }
  } else {
    return false;
  }
  return TryEncodeDate(year, month, day, out);
}

bool parseTime(std::string_view text, TDateTime& out) {
  int values[3] = {0, 0, 0};
  int count = 0, digits = 0;
  for (char c : text) {
    if (IsDigit(c)) {
      if (++digits > 2) return false;
      values[count] = values[count] * 10 + (c - '0');
    } else if (c == ':' && digits > 0 && count < 2) {
      ++count;
      digits = 0;
    } else {
      return false;
    }
  }
  if (digits == 0 || count < 1) return false;
  if (values[0] > 23 || values[1] > 59 || values[2] > 59) return false;
  out = EncodeTime(values[0], values[1], values[2], 0);
  return true;
}

}  // namespace

void SetClock(const Clock* clock) {
  currentClock = clock ? clock : &systemClock;
}

TDateTime Now() {
  return currentClock->Now();
}

TDateTime Date() {
  return std::floor(Now());
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  if (day < 1 || day > daysInMonth(year, month)) return false;
  out = static_cast<TDateTime>(
      daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochOffset);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime out;
  if (!TryEncodeDate(year, month, day, out))
    throw EConvertError(RuntimeMessage(RuntimeText::InvalidDateEncode));
  return out;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / 86400000.0;
}

void DecodeDate(TDateTime t, int& year, int& month, int& day) {
  civilFromDays(static_cast<long long>(std::floor(t)) + kEpochOffset, year, month, day);
}

void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond) {
  long long ms = std::llround((t - std::floor(t)) * 86400000.0);
  if (ms >= 86400000) ms = 86399999;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime t) {
  // Day 0 (1899-12-30) was a Saturday.
  const long long day = static_cast<long long>(std::floor(t));
  return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
}

std::string& ShortDateFormat() {
  return shortDateFormatStorage();
}

char DateSeparator() {
  for (char c : ShortDateFormat())
    if (!IsLetter(c) && c != '"' && c != '\'') return c;
  return '/';
}

int& TwoDigitYearCenturyWindow() {
  return centuryWindowStorage();
}

std::string& LongDateFormat() {
  static std::string format = "dddd, d 'de' mmmm 'de' yyyy";
  return format;
}

void ResetFormatSettings() {
  ShortDateFormat() = "dd/mm/yyyy";
  LongDateFormat() = "dddd, d 'de' mmmm 'de' yyyy";
  TwoDigitYearCenturyWindow() = 50;
}

bool TryStrToDate(std::string_view text, TDateTime& out) {
  return parseDate(text, out);
}

TDateTime StrToDate(std::string_view text) {
  TDateTime out;
  if (!parseDate(text, out)) throw EConvertError(RuntimeMessage(RuntimeText::InvalidDate, {text}));
  return out;
}

TDateTime StrToDateTime(std::string_view text) {
  const std::string trimmed = Trim(text);
  const size_t space = trimmed.find(' ');
  TDateTime date, time = 0;
  const bool ok = space == std::string::npos ? parseDate(trimmed, date)
                                             : parseDate(trimmed.substr(0, space), date) &&
                                                   parseTime(Trim(trimmed.substr(space + 1)), time);
  if (!ok) throw EConvertError(RuntimeMessage(RuntimeText::InvalidDateTime, {text}));
  return date + time;
}

bool TryParseIsoDate(std::string_view text, TDateTime& out) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int values[3] = {0, 0, 0};
  const int starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < lengths[k]; ++j) {
      const char c = text[static_cast<size_t>(starts[k] + j)];
      if (!IsDigit(c)) return false;
      values[k] = values[k] * 10 + (c - '0');
    }
  return TryEncodeDate(values[0], values[1], values[2], out);
}

std::string FormatIsoDate(TDateTime t) {
  int y, m, d;
  DecodeDate(t, y, m, d);
  return ZeroPadded(y, 4) + "-" + ZeroPadded(m, 2) + "-" + ZeroPadded(d, 2);
}

}  // namespace rtl
