#pragma once
// Product tree codes (CDARVPROD) as the screen sends them carry the edit mask's literals and
// blanks ("12.34.5678", "12 34 5678 "). They are compared after normalisation: every byte
// that is not an ASCII letter or digit is dropped, on both sides, and what remains is
// compared in byte order.

#include <string>
#include <string_view>

namespace server {

std::string normalizeTreeCode(std::string_view code);

}  // namespace server
