#include "server/storage/clean_text.h"

#include "rtl/strings.h"

namespace server {

bool isCleanText(std::string_view text) {
  return text.find('\0') == std::string_view::npos && rtl::IsValidUtf8(text);
}

std::string storableText(std::string_view text, size_t maxBytes) {
  std::string out(text);
  if (!isCleanText(out))
    for (char& c : out)
      if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) c = '?';
  if (out.size() > maxBytes) {
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(out[end]) & 0xC0) == 0x80) --end;
    out.resize(end);
  }
  return out;
}

}  // namespace server
