#include "vnd42406/product_list.h"

#include "rtl/strings.h"
#include "shared/pesqlista.h"

namespace vnd42406 {

std::string MakeProductList(const std::vector<std::string>& codes) {
  return Pesqlista::MakeSelectionList(codes, kProductCodeWidth);
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
    // The next ten characters (fewer at the end), however many bytes they take.
    const std::string_view code = rtl::Utf8Left(rest.substr(p), kProductCodeWidth);
    if (p != 0 && p != n) addRow(code);
    if (p == n) return std::string(rest);
    start += p + code.size();
    if (start >= list.size()) start = list.size();
  }
}

}  // namespace vnd42406
