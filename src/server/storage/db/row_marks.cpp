#include "server/storage/db/row_marks.h"

namespace server::db {

namespace {

// What the marks keep between changes: a change of a few hundred thousand rows reuses the
// memory of the one before instead of growing new buffers page by page; larger ones give it
// back.
constexpr size_t kKeptBytes = 16u << 20;

}  // namespace

void RowMarks::clear() {
  if (text_.capacity() + fieldEnds_.capacity() * sizeof(size_t) > kKeptBytes) {
    std::string().swap(text_);
    std::vector<size_t>().swap(fieldEnds_);
  } else {
    text_.clear();
    fieldEnds_.clear();
  }
  seen_ = 0;
}

void RowMarks::mark(std::string_view code, std::string_view before) {
  text_ += code;
  fieldEnds_.push_back(text_.size());
  text_ += before;
  fieldEnds_.push_back(text_.size());
}

std::string_view RowMarks::field(size_t index) const {
  const size_t begin = index == 0 ? 0 : fieldEnds_[index - 1];
  return std::string_view(text_).substr(begin, fieldEnds_[index] - begin);
}

}  // namespace server::db
