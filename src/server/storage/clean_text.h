#pragma once
// The text the storage keeps: UTF-8 without NUL bytes, the only text both engines store and
// compare alike. Text from a caller is checked with isCleanText before it reaches a statement;
// names a client gives for itself are made storable instead of refused.

#include <string>
#include <string_view>

namespace server {

bool isCleanText(std::string_view text);

// `text` with every byte of a text that is not clean replaced by "?" (NUL and every non-ASCII
// byte), cut to at most `maxBytes` bytes without splitting a character.
std::string storableText(std::string_view text, size_t maxBytes);

}  // namespace server
