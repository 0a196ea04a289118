#include "rtl/data_packet.h"

#include <cassert>
#include <limits>

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace rtl {

const char* FieldTypeName(FieldType type) {
  switch (type) {
    case FieldType::String:
      return "string";
    case FieldType::Integer:
      return "integer";
    case FieldType::Float:
      return "float";
    case FieldType::Boolean:
      return "boolean";
    case FieldType::Date:
      return "date";
  }
  return "string";
}

std::optional<FieldType> FieldTypeFromName(std::string_view name) {
  if (name == "string") return FieldType::String;
  if (name == "integer") return FieldType::Integer;
  if (name == "float") return FieldType::Float;
  if (name == "boolean") return FieldType::Boolean;
  if (name == "date") return FieldType::Date;
  return std::nullopt;
}

namespace {
bool isNumberColumn(FieldType t) {
  return t == FieldType::Float || t == FieldType::Date;
}
// Only the assertions use it, so release builds would warn about it.
[[maybe_unused]] bool isIntegerColumn(FieldType t) {
  return t == FieldType::Integer || t == FieldType::Boolean;
}
}  // namespace

void PacketColumn::reserve(size_t rows, size_t textBytes) {
  nulls_.reserve(rows);
  if (type_ == FieldType::String) {
    spans_.reserve(rows);
    text_.reserve(textBytes);
  } else if (isNumberColumn(type_)) {
    numbers_.reserve(rows);
  } else {
    integers_.reserve(rows);
  }
}

void PacketColumn::appendNull() {
  nulls_.push_back(1);
  if (type_ == FieldType::String)
    spans_.push_back({0, 0});
  else if (isNumberColumn(type_))
    numbers_.push_back(0);
  else
    integers_.push_back(0);
}

void PacketColumn::appendString(std::string_view value) {
  assert(type_ == FieldType::String);
  if (text_.size() + value.size() > std::numeric_limits<uint32_t>::max())
    throw EDatabaseError(RuntimeMessage(RuntimeText::PacketColumnTooLarge));
  spans_.push_back({static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(value.size())});
  text_.append(value);
  nulls_.push_back(0);
}

void PacketColumn::appendInteger(int64_t value) {
  assert(isIntegerColumn(type_));
  integers_.push_back(value);
  nulls_.push_back(0);
}

void PacketColumn::appendNumber(double value) {
  assert(isNumberColumn(type_));
  numbers_.push_back(value);
  nulls_.push_back(0);
}

void PacketColumn::appendBoolean(bool value) {
  appendInteger(value ? 1 : 0);
}

void PacketColumn::setNull(size_t row) {
  nulls_[row] = 1;
}

void PacketColumn::setString(size_t row, std::string_view value) {
  assert(type_ == FieldType::String);
  const Span old = spans_[row];
  if (value.size() <= old.length) {
    // Rewrite in place: the row owns its bytes.
    text_.replace(old.offset, value.size(), value);
    spans_[row].length = static_cast<uint32_t>(value.size());
  } else {
    if (text_.size() + value.size() > std::numeric_limits<uint32_t>::max())
      throw EDatabaseError(RuntimeMessage(RuntimeText::PacketColumnTooLarge));
    spans_[row] = {static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(value.size())};
    text_.append(value);
  }
  nulls_[row] = 0;
}

void PacketColumn::setInteger(size_t row, int64_t value) {
  assert(isIntegerColumn(type_));
  integers_[row] = value;
  nulls_[row] = 0;
}

void PacketColumn::setNumber(size_t row, double value) {
  assert(isNumberColumn(type_));
  numbers_[row] = value;
  nulls_[row] = 0;
}

void PacketColumn::setBoolean(size_t row, bool value) {
  setInteger(row, value ? 1 : 0);
}

std::string_view PacketColumn::string(size_t row) const {
  assert(type_ == FieldType::String);
  const Span s = spans_[row];
  return std::string_view(text_).substr(s.offset, s.length);
}

int64_t PacketColumn::integer(size_t row) const {
  assert(isIntegerColumn(type_));
  return integers_[row];
}

double PacketColumn::number(size_t row) const {
  assert(isNumberColumn(type_));
  return numbers_[row];
}

bool PacketColumn::boolean(size_t row) const {
  return integer(row) != 0;
}

size_t PacketColumn::memoryBytes() const {
  return nulls_.capacity() + spans_.capacity() * sizeof(Span) + text_.capacity() +
         integers_.capacity() * sizeof(int64_t) + numbers_.capacity() * sizeof(double);
}

PacketColumn PacketColumn::select(const std::vector<uint32_t>& order) const {
  PacketColumn out(type_);
  size_t text = 0;
  if (type_ == FieldType::String)
    for (uint32_t r : order) text += spans_[r].length;
  out.reserve(order.size(), text);
  for (uint32_t r : order) {
    if (isNull(r)) {
      out.appendNull();
    } else if (type_ == FieldType::String) {
      out.appendString(string(r));
    } else if (isNumberColumn(type_)) {
      out.appendNumber(numbers_[r]);
    } else {
      out.appendInteger(integers_[r]);
    }
  }
  return out;
}

bool PacketColumn::operator==(const PacketColumn& other) const {
  if (type_ != other.type_ || size() != other.size()) return false;
  for (size_t r = 0; r < size(); ++r) {
    if (isNull(r) != other.isNull(r)) return false;
    if (isNull(r)) continue;
    if (type_ == FieldType::String) {
      if (string(r) != other.string(r)) return false;
    } else if (isNumberColumn(type_)) {
      if (numbers_[r] != other.numbers_[r]) return false;
    } else if (integers_[r] != other.integers_[r]) {
      return false;
    }
  }
  return true;
}

DataPacket::DataPacket(std::vector<PacketField> fields) : fields_(std::move(fields)) {
  columns_.reserve(fields_.size());
  for (const PacketField& f : fields_) columns_.emplace_back(f.type);
}

int DataPacket::fieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i].name == name) return static_cast<int>(i);
  return -1;
}

void DataPacket::commitRow() {
  ++rows_;
  for (const PacketColumn& c : columns_)
    if (c.size() != rows_) throw EDatabaseError(RuntimeMessage(RuntimeText::PacketRowWidth));
}

void DataPacket::setRowCount(size_t rows) {
  for (const PacketColumn& c : columns_)
    if (c.size() != rows) throw EDatabaseError(RuntimeMessage(RuntimeText::PacketColumnLengths));
  rows_ = rows;
}

void DataPacket::reserve(size_t rows) {
  for (PacketColumn& c : columns_) c.reserve(rows);
}

size_t DataPacket::memoryBytes() const {
  size_t total = sizeof(*this);
  for (const PacketColumn& c : columns_) total += c.memoryBytes();
  return total;
}

bool DataPacket::operator==(const DataPacket& other) const {
  return fields_ == other.fields_ && rows_ == other.rows_ && columns_ == other.columns_;
}

}  // namespace rtl
