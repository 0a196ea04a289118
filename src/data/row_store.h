#pragma once
// RowStore: the rows of an open data set. Values live in one packet column per stored field,
// addressed by physical row id; the order the data set shows them in is a RowOrder over
// those ids, so a row inserted anywhere is appended to the columns and only its id is placed.
// An erased row keeps its physical slot until the store is replaced; hand-back compacts.

#include <cstddef>
#include <vector>

#include "data/field_value.h"
#include "data/row_order.h"
#include "rtl/data_packet.h"

namespace data {

class RowStore {
 public:
  RowStore() = default;
  // An empty store with one column of each type.
  explicit RowStore(const std::vector<rtl::FieldType>& types);
  // Takes columns that all hold `rows` values, in the order they are shown.
  RowStore(std::vector<rtl::PacketColumn> columns, size_t rows);

  size_t rowCount() const { return order_.size(); }
  size_t columnCount() const { return columns_.size(); }
  const rtl::PacketColumn& column(size_t c) const { return columns_[c]; }
  uint32_t physicalRow(size_t index) const { return order_[index]; }

  // The value of column c in the row shown at `index`.
  FieldValue value(size_t c, size_t index) const;
  // `values` holds one value per column, each of its column's kind (or null).
  void insert(size_t index, const std::vector<FieldValue>& values);
  void update(size_t index, const std::vector<FieldValue>& values);
  void erase(size_t index);

  // Column c with the rows in shown order and no left-over text.
  rtl::PacketColumn columnInOrder(size_t c) const;
  size_t memoryBytes() const;

 private:
  static void put(rtl::PacketColumn& column, size_t physical, const FieldValue& value);
  static void append(rtl::PacketColumn& column, const FieldValue& value);

  std::vector<rtl::PacketColumn> columns_;
  size_t physicalRows_ = 0;
  RowOrder order_;
};

}  // namespace data
