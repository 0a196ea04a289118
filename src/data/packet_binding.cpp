#include "data/packet_binding.h"

#include <cstdint>

#include "data/field.h"
#include "rtl/exceptions.h"
#include "rtl/strings.h"

namespace data {

namespace {

[[noreturn]] void refuse(const std::string& dataSetName, const std::string& message) {
  throw rtl::EDatabaseError(dataSetName.empty() ? message : dataSetName + ": " + message);
}

void checkStrings(const std::string& dataSetName, const TField& field,
                  const rtl::PacketColumn& column) {
  const auto size = static_cast<size_t>(field.Size());
  for (size_t row = 0; row < column.size(); ++row) {
    if (column.isNull(row)) continue;
    const std::string_view text = column.string(row);
    // The byte length bounds the character count, so only long texts are counted.
    if (text.size() <= size) continue;
    const auto chars = static_cast<size_t>(rtl::Utf8Length(text));
    if (chars > size)
      refuse(dataSetName, "Value of field '" + field.FieldName() + "' in row " +
                              std::to_string(row + 1) + " is " + std::to_string(chars) +
                              " characters long; the field holds at most " + std::to_string(size));
  }
}

void checkIntegers(const std::string& dataSetName, const TField& field,
                   const rtl::PacketColumn& column) {
  for (size_t row = 0; row < column.size(); ++row) {
    if (column.isNull(row)) continue;
    const int64_t v = column.integer(row);
    if (v < INT32_MIN || v > INT32_MAX)
      refuse(dataSetName, "Value " + std::to_string(v) + " of field '" + field.FieldName() +
                              "' in row " + std::to_string(row + 1) +
                              " is out of the 32-bit integer range");
  }
}

}  // namespace

std::vector<size_t> BindPacket(const std::string& dataSetName, const std::vector<TField*>& fields,
                               const rtl::DataPacket& packet) {
  std::vector<size_t> columns;
  columns.reserve(fields.size());
  for (const TField* field : fields) {
    const int index = packet.fieldIndex(field->FieldName());
    if (index < 0)
      refuse(dataSetName, "Field '" + field->FieldName() + "' not found in the data packet");
    const rtl::PacketColumn& column = packet.column(static_cast<size_t>(index));
    if (column.type() != field->DataType())
      refuse(dataSetName, std::string("Field '") + field->FieldName() + "' holds " +
                              rtl::FieldTypeName(field->DataType()) +
                              " values but the data packet column is of type " +
                              rtl::FieldTypeName(column.type()));
    if (column.size() != packet.rowCount())
      refuse(dataSetName, "Data packet column '" + field->FieldName() + "' has " +
                              std::to_string(column.size()) + " values for " +
                              std::to_string(packet.rowCount()) + " rows");
    if (column.type() == rtl::FieldType::String) checkStrings(dataSetName, *field, column);
    if (column.type() == rtl::FieldType::Integer) checkIntegers(dataSetName, *field, column);
    columns.push_back(static_cast<size_t>(index));
  }
  return columns;
}

}  // namespace data
