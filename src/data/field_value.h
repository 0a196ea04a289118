#pragma once
// One value of one field in one row, as the data set stores and hands it between its rows,
// its edit buffer and its fields: null, a text, an integer, or a number (a float or a date).

#include <cstdint>
#include <string>
#include <variant>

namespace data {

using FieldValue = std::variant<std::monostate, std::string, int64_t, double>;

inline bool IsNullValue(const FieldValue& v) {
  return std::holds_alternative<std::monostate>(v);
}

}  // namespace data
