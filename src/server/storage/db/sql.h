#pragma once
// An SQL text built piece by piece together with its bound values, so that a condition made in
// one place (a product selection) can be placed inside statements made in another and still
// carry its own parameters, in the order of their placeholders.

#include <string>
#include <string_view>

#include "server/storage/db/connection.h"

namespace server::db {

class Sql {
 public:
  Sql() = default;
  explicit Sql(std::string_view text) : text_(text) {}

  Sql& operator<<(std::string_view text) {
    text_ += text;
    return *this;
  }
  // Appends the other statement's text and its parameters.
  Sql& operator<<(const Sql& other);
  // Appends `placeholder` (containing one "?") and binds `value` to it.
  Sql& bind(Param value, std::string_view placeholder = "?");

  const std::string& text() const { return text_; }
  const Params& params() const { return params_; }

  int64_t execute(Connection& c) const { return c.execute(text_, params_); }
  void query(Connection& c, const RowHandler& onRow) const { c.query(text_, params_, onRow); }

 private:
  std::string text_;
  Params params_;
};

}  // namespace server::db
