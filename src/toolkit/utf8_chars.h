#pragma once
// Splitting UTF-8 text into characters. Controls count text in characters (a masked edit has
// one character per position, MaxLength limits characters); a byte that does not start a valid
// sequence counts as one character of its own, so no input can make the split fail.

#include <string>
#include <string_view>
#include <vector>

namespace tk {

// The characters of `s`, in order, each a view into `s`.
std::vector<std::string_view> Utf8Chars(std::string_view s);
// The first `count` characters of `s` (all of it when it has fewer).
std::string Utf8Prefix(std::string_view s, size_t count);

}  // namespace tk
