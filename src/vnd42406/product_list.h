#pragma once
// The product selection list: "" when nothing is picked, otherwise one entry per product --
// "_" followed by the product code in exactly 10 characters -- and a closing "_", so n
// products take 11 * n + 1 characters ("_0000000001_0000000002_").

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vnd42406 {

constexpr int kProductCodeWidth = 10;

// Builds a list from product codes (each padded with blanks or cut to 10 characters); the
// empty string for no codes.
std::string MakeProductList(const std::vector<std::string>& codes);

// Walks the list the way the confirmation consumes it and calls addRow for every code it
// finds, in list order. Returns what is left of the list: "_" for a well-formed list, the
// list itself when it is only "_", and "" for a text without "_", which is consumed ten
// characters at a time without giving a row. A code cut short by the end of the text is
// passed as it is. Runs in time linear in the list's length.
std::string ExpandProductList(std::string_view list,
                              const std::function<void(std::string_view code)>& addRow);

}  // namespace vnd42406
