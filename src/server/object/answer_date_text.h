#pragma once
// Writes a day in the client's short date format, so that the client reads it back with the
// same format. Tokens, matched longest first and without regard to letter case (the client's
// runtime reads "DD/MM/YYYY" like "dd/mm/yyyy"):
//
//   yyyy  year, 4 digits        yy  year, last 2 digits
//   dd    day, 2 digits         d   day, no leading zero
//   mm    month, 2 digits       m   month, no leading zero
//
// Every other character is copied as it stands ("/", "-", ".", a lone "y", quotes), so
// "dd/mm/yyyy" gives "05/01/2024" and "yyyy-mm-dd" gives "2024-01-05".
//
// The client's own formatter (rtl::FormatDateTime) stays apart: it also writes names of days,
// times and quoted text, which a client reading the answer back as a date could not parse.

#include <optional>
#include <string>
#include <string_view>

namespace server {

// The text of the day, or nullopt when the format is empty or its text would be longer than
// `maxChars` characters (the width of the answer's column).
std::optional<std::string> formatShortDate(std::string_view format, int year, int month, int day,
                                           int maxChars = 30);

}  // namespace server
