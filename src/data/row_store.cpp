#include "data/row_store.h"

#include <cassert>
#include <limits>

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace data {

namespace {

bool isNumberType(rtl::FieldType t) {
  return t == rtl::FieldType::Float || t == rtl::FieldType::Date;
}

}  // namespace

RowStore::RowStore(const std::vector<rtl::FieldType>& types) {
  columns_.reserve(types.size());
  for (rtl::FieldType t : types) columns_.emplace_back(t);
}

RowStore::RowStore(std::vector<rtl::PacketColumn> columns, size_t rows)
    : columns_(std::move(columns)), physicalRows_(rows), order_(rows) {
  for ([[maybe_unused]] const rtl::PacketColumn& c : columns_) assert(c.size() == rows);
}

FieldValue RowStore::value(size_t c, size_t index) const {
  const rtl::PacketColumn& column = columns_[c];
  const size_t row = order_[index];
  if (column.isNull(row)) return {};
  switch (column.type()) {
    case rtl::FieldType::String:
      return std::string(column.string(row));
    case rtl::FieldType::Integer:
    case rtl::FieldType::Boolean:
      return column.integer(row);
    case rtl::FieldType::Float:
    case rtl::FieldType::Date:
      return column.number(row);
  }
  return {};
}

void RowStore::append(rtl::PacketColumn& column, const FieldValue& value) {
  if (IsNullValue(value)) {
    column.appendNull();
  } else if (column.type() == rtl::FieldType::String) {
    column.appendString(std::get<std::string>(value));
  } else if (isNumberType(column.type())) {
    column.appendNumber(std::get<double>(value));
  } else {
    column.appendInteger(std::get<int64_t>(value));
  }
}

void RowStore::put(rtl::PacketColumn& column, size_t physical, const FieldValue& value) {
  if (IsNullValue(value)) {
    column.setNull(physical);
  } else if (column.type() == rtl::FieldType::String) {
    column.setString(physical, std::get<std::string>(value));
  } else if (isNumberType(column.type())) {
    column.setNumber(physical, std::get<double>(value));
  } else {
    column.setInteger(physical, std::get<int64_t>(value));
  }
}

void RowStore::insert(size_t index, const std::vector<FieldValue>& values) {
  assert(values.size() == columns_.size());
  if (physicalRows_ >= std::numeric_limits<uint32_t>::max())
    throw rtl::EDatabaseError(rtl::RuntimeMessage(rtl::RuntimeText::DataSetTooManyRows));
  for (size_t c = 0; c < columns_.size(); ++c) append(columns_[c], values[c]);
  order_.insert(index, static_cast<uint32_t>(physicalRows_++));
}

void RowStore::update(size_t index, const std::vector<FieldValue>& values) {
  assert(values.size() == columns_.size());
  const size_t row = order_[index];
  for (size_t c = 0; c < columns_.size(); ++c) put(columns_[c], row, values[c]);
}

void RowStore::erase(size_t index) {
  order_.erase(index);
}

rtl::PacketColumn RowStore::columnInOrder(size_t c) const {
  if (physicalRows_ == order_.size() && order_.isIdentity()) return columns_[c];
  return columns_[c].select(order_.toVector());
}

size_t RowStore::memoryBytes() const {
  size_t total = sizeof(*this) + order_.memoryBytes();
  for (const rtl::PacketColumn& c : columns_) total += c.memoryBytes();
  return total;
}

}  // namespace data
