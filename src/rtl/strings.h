#pragma once
// Text operations with the runtime's conventions: positions count from 1, lengths are in
// bytes, and comparison is ordinal by unsigned byte value (never by locale). The screen's
// list format and code comparisons rely on exactly these rules.

#include <string>
#include <string_view>

namespace rtl {

// Number of bytes of s.
int Length(std::string_view s);

// 1-based position of the first occurrence of sub in s; 0 when absent or when sub is empty.
int Pos(std::string_view sub, std::string_view s);
int Pos(char c, std::string_view s);

// count bytes of s from position index (1-based). An index below 1 counts as 1; an index past
// the end or a count of 0 or less gives ""; a count past the end stops at the end.
std::string Copy(std::string_view s, int index, int count);

// Ordinal comparison: <0, 0 or >0. Bytes compare as unsigned values; when one text is the
// beginning of the other, the shorter is the smaller.
int CompareStr(std::string_view a, std::string_view b);

// Remove characters at or below the space from both ends, the left or the right.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// ASCII case conversion; bytes outside A-Z / a-z are left alone.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

// Number of characters of a UTF-8 text (continuation bytes are not counted).
int Utf8Length(std::string_view s);
// The first `chars` characters of a UTF-8 text.
std::string_view Utf8Left(std::string_view s, int chars);
// Well-formed UTF-8: no overlong forms, UTF-16 surrogates or code points past U+10FFFF.
bool IsValidUtf8(std::string_view s);

}  // namespace rtl
