#pragma once
// JSON text for values handed to SQL as one bound parameter: lists of codes, batches of rows,
// the selection recorded in the audit table. Input must be valid UTF-8 (callers check user
// text before it gets here); it is copied through, with quotes, backslashes and control
// characters escaped.

#include <string>
#include <string_view>
#include <vector>

namespace server::db {

void appendJsonString(std::string& out, std::string_view text);
// ["a","b",...]
std::string jsonStringArray(const std::vector<std::string>& items);

// Builds one JSON array of arrays of strings, row by row: [["a","b"],["c","d"]].
class JsonRows {
 public:
  void beginRow();
  void add(std::string_view text);
  size_t rows() const { return rows_; }
  // The finished text; the builder is empty afterwards.
  std::string take();

 private:
  std::string text_;
  size_t rows_ = 0;
  bool rowOpen_ = false;
  bool firstInRow_ = true;
};

}  // namespace server::db
