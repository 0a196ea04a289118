#include "data/row_order.h"

#include <algorithm>
#include <cassert>
#include <numeric>

namespace data {

RowOrder::RowOrder(size_t rows) : buffer_(rows), gapStart_(rows), gapEnd_(rows) {
  std::iota(buffer_.begin(), buffer_.end(), 0u);
}

void RowOrder::moveGapTo(size_t index) {
  if (index < gapStart_) {
    // Shift [index, gapStart_) to the end of the gap.
    const size_t n = gapStart_ - index;
    std::move_backward(buffer_.begin() + static_cast<ptrdiff_t>(index),
                       buffer_.begin() + static_cast<ptrdiff_t>(gapStart_),
                       buffer_.begin() + static_cast<ptrdiff_t>(gapEnd_));
    gapStart_ -= n;
    gapEnd_ -= n;
  } else if (index > gapStart_) {
    const size_t n = index - gapStart_;
    std::move(buffer_.begin() + static_cast<ptrdiff_t>(gapEnd_),
              buffer_.begin() + static_cast<ptrdiff_t>(gapEnd_ + n),
              buffer_.begin() + static_cast<ptrdiff_t>(gapStart_));
    gapStart_ += n;
    gapEnd_ += n;
  }
}

void RowOrder::grow() {
  // Double the room and put the new space into the gap, keeping the ids after it at the end.
  const size_t oldSize = buffer_.size();
  const size_t tail = oldSize - gapEnd_;
  const size_t newSize = std::max<size_t>(16, oldSize * 2);
  buffer_.resize(newSize);
  std::move_backward(buffer_.begin() + static_cast<ptrdiff_t>(gapEnd_),
                     buffer_.begin() + static_cast<ptrdiff_t>(oldSize), buffer_.end());
  gapEnd_ = newSize - tail;
}

void RowOrder::insert(size_t index, uint32_t id) {
  assert(index <= size());
  if (gapLength() == 0) grow();
  moveGapTo(index);
  buffer_[gapStart_++] = id;
}

void RowOrder::erase(size_t index) {
  assert(index < size());
  moveGapTo(index);
  ++gapEnd_;
}

void RowOrder::clear() {
  buffer_.clear();
  buffer_.shrink_to_fit();
  gapStart_ = gapEnd_ = 0;
}

bool RowOrder::isIdentity() const {
  const size_t n = size();
  for (size_t i = 0; i < n; ++i)
    if ((*this)[i] != i) return false;
  return true;
}

std::vector<uint32_t> RowOrder::toVector() const {
  std::vector<uint32_t> out;
  out.reserve(size());
  out.insert(out.end(), buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(gapStart_));
  out.insert(out.end(), buffer_.begin() + static_cast<ptrdiff_t>(gapEnd_), buffer_.end());
  return out;
}

}  // namespace data
