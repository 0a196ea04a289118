#pragma once
// Rows one statement picked while it ran, kept for the next statement of the same transaction
// to read. SQLite has no statement that changes rows and hands on what they held; with these a
// change reads its rows once: its UPDATE calls vnd_marca(code, before, chosen) as its last
// condition, which returns `chosen` and, when it holds, keeps (code, before); the INSERT that
// journals them reads them back from the table vnd_marcados (CDPRODUTO, DSANTES), in the order
// they were marked.
//
// SQLite tests a statement's conditions in the order they are written, after those its index
// answers, so a function written last sees exactly the rows every other condition let through:
// `seen` counts them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace server::db {

class RowMarks {
 public:
  // Forgets the rows of a previous statement; call before the marking one.
  void clear();
  void mark(std::string_view code, std::string_view before);
  void see() { ++seen_; }

  int64_t seen() const { return seen_; }
  size_t size() const { return fieldEnds_.size() / 2; }
  std::string_view code(size_t row) const { return field(2 * row); }
  std::string_view before(size_t row) const { return field(2 * row + 1); }

 private:
  std::string_view field(size_t index) const;

  // Every field's bytes one after another, and where each ends: one allocation per growth for
  // a hundred thousand rows, not two per row.
  std::string text_;
  std::vector<size_t> fieldEnds_;
  int64_t seen_ = 0;
};

}  // namespace server::db
