#pragma once
// RowOrder: the order in which a data set shows its rows, as a sequence of physical row ids
// kept in a gap buffer. Inserting or erasing at the same place over and over (a screen that
// inserts one row after another before the current row) costs O(1) amortised; moving the
// place costs the distance moved. Indexes are 0-based positions in the shown order.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace data {

class RowOrder {
 public:
  RowOrder() = default;
  // The identity order 0 .. rows-1.
  explicit RowOrder(size_t rows);

  size_t size() const { return buffer_.size() - gapLength(); }
  uint32_t operator[](size_t index) const {
    return buffer_[index < gapStart_ ? index : index + gapLength()];
  }
  void insert(size_t index, uint32_t id);
  void erase(size_t index);
  void clear();
  // True when the order is 0 .. size()-1 (no row was inserted out of place or erased).
  bool isIdentity() const;
  std::vector<uint32_t> toVector() const;
  size_t memoryBytes() const { return buffer_.capacity() * sizeof(uint32_t); }

 private:
  size_t gapLength() const { return gapEnd_ - gapStart_; }
  void moveGapTo(size_t index);
  void grow();

  std::vector<uint32_t> buffer_;  // [0, gapStart_) and [gapEnd_, size) hold ids
  size_t gapStart_ = 0;
  size_t gapEnd_ = 0;
};

}  // namespace data
