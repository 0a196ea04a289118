#pragma once
// Rows one statement picked while it ran, kept for the next statement of the same transaction
// to read. SQLite has no statement that changes rows and hands on what they held; with these a
// change reads its rows once: its UPDATE calls vnd_marca(code, before, after) as its last
// condition, which holds, and keeps `code`, exactly when `before` differs from `after`; the
// INSERT that journals the rows reads the codes back from the table vnd_marcados (CDPRODUTO),
// in the order they were marked. It serves two-valued columns, where a changed row held the
// one value other than `after`, which the caller knows: the marks keep only the codes.
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
  void mark(std::string_view code);
  void see() { ++seen_; }

  int64_t seen() const { return seen_; }
  size_t size() const { return codeEnds_.size(); }
  std::string_view code(size_t row) const;

 private:
  // Every code's bytes one after another, and where each ends: one allocation per growth for
  // a hundred thousand rows, not one per row.
  std::string text_;
  std::vector<size_t> codeEnds_;
  int64_t seen_ = 0;
};

}  // namespace server::db
