#pragma once
// Dates as the runtime holds them: a double counting days since 30 December 1899, the
// fraction being the time of day. Today comes from a replaceable clock so that tests and the
// headless driver can fix it. Text conversion follows the user's short date format, a process
// setting (default "dd/mm/yyyy") whose first non-letter character is the date separator.

#include <string>
#include <string_view>

namespace rtl {

using TDateTime = double;

// Where "now" comes from. The default reads the system clock in local time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual TDateTime Now() const = 0;
};

// A clock stopped at one moment (tests, the headless driver's --today).
class FixedClock : public Clock {
 public:
  explicit FixedClock(TDateTime now) : now_(now) {}
  TDateTime Now() const override { return now_; }
  void Set(TDateTime now) { now_ = now; }

 private:
  TDateTime now_;
};

// Makes `clock` the process clock; nullptr restores the system clock. The caller keeps the
// clock alive while it is installed.
void SetClock(const Clock* clock);

TDateTime Now();
// Today at midnight.
TDateTime Date();

// Calendar conversion. EncodeDate raises EConvertError for a day that does not exist.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
void DecodeDate(TDateTime t, int& year, int& month, int& day);
void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime t);
bool IsLeapYear(int year);

// The user's short date format and the settings derived from it. Process-wide, like the
// runtime variables they stand for; the screen passes ShortDateFormat() by reference.
std::string& ShortDateFormat();
char DateSeparator();
int& TwoDigitYearCenturyWindow();
// The long date format ("dddd, d 'de' mmmm 'de' yyyy" by default), the "dddddd" token.
std::string& LongDateFormat();
// Restores "dd/mm/yyyy", the long date format and the century window 50.
void ResetFormatSettings();

// Formats a date and time. Tokens, letters in either case:
//   d dd          day (dd zero-padded)       ddd dddd  day name, short or long
//   ddddd         the short date format      dddddd    the long date format
//   m mm          month, or minutes right after an hour   mmm mmmm  month name
//   y yy          year, two digits           yyy yyyy  year, four digits
//   h hh n nn s ss  hours, minutes, seconds  z zzz     milliseconds (zzz three digits)
//   t tt          short ("hh:nn") or long ("hh:nn:ss") time
//   c             short date, then the long time unless it is midnight
//   am/pm a/p ampm  12-hour clock for the hours; written in the case given (ampm: AM, PM)
// "/" prints the date separator; text in single or double quotes is literal; any other
// character is copied. Names are those of the system's language (Portuguese).
std::string FormatDateTime(std::string_view format, TDateTime t);
std::string DateToStr(TDateTime t);

// Reads a date in the order of the short date format, split on the date separator: three
// numbers give a full date, two give day and month of the current year. Years of one or two
// digits go through the century window. Blanks around the text are ignored. Anything else
// raises EConvertError "'<text>' is not a valid date".
TDateTime StrToDate(std::string_view text);
bool TryStrToDate(std::string_view text, TDateTime& out);
// The same followed by an optional time "hh:nn[:ss]"; fails with
// "'<text>' is not a valid date and time".
TDateTime StrToDateTime(std::string_view text);

// Reads a date in an explicit format order without touching the process settings, e.g. to
// parse "YYYY-MM-DD". Returns false when the text is not a date of that shape.
bool TryParseIsoDate(std::string_view text, TDateTime& out);
std::string FormatIsoDate(TDateTime t);

}  // namespace rtl
