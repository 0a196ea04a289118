#include "vnd42406/product_list.h"

namespace vnd42406 {

std::string MakeProductList(const std::vector<std::string>& codes) {
  if (codes.empty()) return {};
  std::string list;
  list.reserve(codes.size() * (kProductCodeWidth + 1) + 1);
  for (const std::string& code : codes) {
    list += '_';
    std::string fixed = code.substr(0, kProductCodeWidth);
    fixed.resize(kProductCodeWidth, ' ');
    list += fixed;
  }
  list += '_';
  return list;
}

std::string ExpandProductList(std::string_view list,
                              const std::function<void(std::string_view code)>& addRow) {
  // `start` marks where the remaining list begins. The consuming loop would copy the rest
  // of the list at every step; moving the mark gives the same rows and the same remainder.
  size_t start = 0;
  for (;;) {
    const std::string_view rest = list.substr(start);
    const size_t found = rest.find('_');
    const size_t p = found == std::string_view::npos ? 0 : found + 1;  // 1-based, 0 = none
    const size_t n = rest.size();
    if (p != 0 && p != n) addRow(rest.substr(p, kProductCodeWidth));
    if (p == n) return std::string(rest);
    start += p + kProductCodeWidth;
    if (start >= list.size()) start = list.size();
  }
}

}  // namespace vnd42406
