#include "server/storage/db/row_marks.h"

namespace server::db {

namespace {

// What the marks keep between changes: a change of a few hundred thousand rows reuses the
// memory of the one before instead of growing new buffers page by page; larger ones give it
// back.
constexpr size_t kKeptBytes = 16u << 20;

}  // namespace

void RowMarks::clear() {
  if (text_.capacity() + codeEnds_.capacity() * sizeof(size_t) > kKeptBytes) {
    std::string().swap(text_);
    std::vector<size_t>().swap(codeEnds_);
  } else {
    text_.clear();
    codeEnds_.clear();
  }
  seen_ = 0;
}

void RowMarks::mark(std::string_view code) {
  text_ += code;
  codeEnds_.push_back(text_.size());
}

std::string_view RowMarks::code(size_t row) const {
  const size_t begin = row == 0 ? 0 : codeEnds_[row - 1];
  return std::string_view(text_).substr(begin, codeEnds_[row] - begin);
}

}  // namespace server::db
