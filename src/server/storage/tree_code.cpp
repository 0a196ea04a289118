#include "server/storage/tree_code.h"

namespace server {

std::string normalizeTreeCode(std::string_view code) {
  std::string out;
  out.reserve(code.size());
  for (const char c : code) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) out += c;
  }
  return out;
}

}  // namespace server
