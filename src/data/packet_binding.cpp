#include "data/packet_binding.h"

#include <cstdint>

#include "data/field.h"
#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"
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
      refuse(dataSetName, rtl::RuntimeMessage(rtl::RuntimeText::PacketValueTooLong,
                                              {field.FieldName(), std::to_string(row + 1),
                                               std::to_string(chars), std::to_string(size)}));
  }
}

void checkIntegers(const std::string& dataSetName, const TField& field,
                   const rtl::PacketColumn& column) {
  for (size_t row = 0; row < column.size(); ++row) {
    if (column.isNull(row)) continue;
    const int64_t v = column.integer(row);
    if (v < INT32_MIN || v > INT32_MAX)
      refuse(dataSetName,
             rtl::RuntimeMessage(rtl::RuntimeText::PacketValueOutOfRange,
                                 {std::to_string(v), field.FieldName(), std::to_string(row + 1)}));
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
      refuse(dataSetName,
             rtl::RuntimeMessage(rtl::RuntimeText::PacketFieldMissing, {field->FieldName()}));
    const rtl::PacketColumn& column = packet.column(static_cast<size_t>(index));
    if (column.type() != field->DataType())
      refuse(dataSetName,
             rtl::RuntimeMessage(rtl::RuntimeText::PacketFieldKind,
                                 {field->FieldName(), rtl::FieldTypeName(field->DataType()),
                                  rtl::FieldTypeName(column.type())}));
    if (column.size() != packet.rowCount())
      refuse(dataSetName, rtl::RuntimeMessage(rtl::RuntimeText::PacketColumnRows,
                                              {field->FieldName(), std::to_string(column.size()),
                                               std::to_string(packet.rowCount())}));
    if (column.type() == rtl::FieldType::String) checkStrings(dataSetName, *field, column);
    if (column.type() == rtl::FieldType::Integer) checkIntegers(dataSetName, *field, column);
    columns.push_back(static_cast<size_t>(index));
  }
  return columns;
}

}  // namespace data
