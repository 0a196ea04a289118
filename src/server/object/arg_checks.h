#pragma once
// Checks of argument values shared by the methods: what the wire kinds cannot say.

#include <optional>
#include <string>
#include <string_view>

namespace server {

// The ISO day "YYYY-MM-DD" of a date argument (days since 1899-12-30, the fraction being the
// time of day, which is ignored); nullopt for a value that is not a day of the years 1 to 9999.
std::optional<std::string> isoDay(double date);

// True when `code` has exactly `width` characters, as every stored code of a CHAR(width)
// column has; shorter or longer codes name nothing.
bool hasWidth(std::string_view code, int width);

// Every character is at or below the space.
bool isBlank(std::string_view text);

enum class AllFlag { None, All };
// "" -> None, "T" -> All; anything else is refused.
AllFlag parseAllFlag(std::string_view flag);

}  // namespace server
