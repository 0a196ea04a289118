#pragma once
// A data packet: the rows a server answer carries and a client data set loads whole, or hands
// back whole. Values are stored by column, each column in one contiguous block (strings in one
// text buffer), so that a packet of many rows costs little more than its text. The wire
// encoding lives in the rpc layer; this is the in-memory form both sides share.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rtl {

enum class FieldType : uint8_t { String, Integer, Float, Boolean, Date };

// "string", "integer", "float", "boolean", "date".
const char* FieldTypeName(FieldType type);
std::optional<FieldType> FieldTypeFromName(std::string_view name);

struct PacketField {
  std::string name;
  FieldType type = FieldType::String;
  int size = 0;  // maximum characters of a string field; 0 for the other types

  bool operator==(const PacketField&) const = default;
};

// The values of one column. Rows are addressed by index; a value may be replaced, which for a
// string appends the new text to the buffer (the old bytes stay until the column is copied
// compactly by Compact()).
class PacketColumn {
 public:
  explicit PacketColumn(FieldType type = FieldType::String) : type_(type) {}

  FieldType type() const { return type_; }
  size_t size() const { return nulls_.size(); }
  void reserve(size_t rows, size_t textBytes = 0);

  void appendNull();
  void appendString(std::string_view value);
  void appendInteger(int64_t value);
  void appendNumber(double value);  // Float and Date columns
  void appendBoolean(bool value);

  void setNull(size_t row);
  void setString(size_t row, std::string_view value);
  void setInteger(size_t row, int64_t value);
  void setNumber(size_t row, double value);
  void setBoolean(size_t row, bool value);

  bool isNull(size_t row) const { return nulls_[row] != 0; }
  // Reading a value of another kind than the column's is a programming error (asserted).
  std::string_view string(size_t row) const;
  int64_t integer(size_t row) const;
  double number(size_t row) const;
  bool boolean(size_t row) const;

  // Bytes held by the column, for the memory accounting of benchmarks.
  size_t memoryBytes() const;
  // A copy holding only the rows in `order`, in that order, with a tight text buffer.
  PacketColumn select(const std::vector<uint32_t>& order) const;

  bool operator==(const PacketColumn& other) const;

 private:
  struct Span {
    uint32_t offset;
    uint32_t length;
  };
  FieldType type_;
  std::vector<uint8_t> nulls_;
  std::vector<Span> spans_;        // String
  std::string text_;               // String
  std::vector<int64_t> integers_;  // Integer, Boolean
  std::vector<double> numbers_;    // Float, Date
};

class DataPacket {
 public:
  DataPacket() = default;
  explicit DataPacket(std::vector<PacketField> fields);

  const std::vector<PacketField>& fields() const { return fields_; }
  size_t fieldCount() const { return fields_.size(); }
  size_t rowCount() const { return rows_; }
  // -1 when no field has that name (exact comparison).
  int fieldIndex(std::string_view name) const;

  const PacketColumn& column(size_t field) const { return columns_[field]; }
  PacketColumn& column(size_t field) { return columns_[field]; }

  // Called after every column received one more value; checks that all columns agree.
  void commitRow();
  // Sets the row count after columns were filled directly (e.g. moved in by a loader).
  void setRowCount(size_t rows);
  void reserve(size_t rows);

  size_t memoryBytes() const;
  bool operator==(const DataPacket& other) const;

 private:
  std::vector<PacketField> fields_;
  std::vector<PacketColumn> columns_;
  size_t rows_ = 0;
};

}  // namespace rtl
