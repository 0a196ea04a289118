#include "rpc/packet_codec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "rpc/detail/wire.h"
#include "rtl/exceptions.h"
#include "rtl/strings.h"

namespace rpc {

namespace {

[[noreturn]] void refuse(const std::string& message) {
  throw rtl::EDatabaseError("data packet: " + message);
}

std::string_view asStr(const msgpack::object& o) {
  return std::string_view(o.via.str.ptr, o.via.str.size);
}

bool isAscii(std::string_view text) {
  // Eight bytes at a time: a packet's texts are mostly plain ASCII codes and names.
  size_t i = 0;
  uint64_t high = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    high |= word;
  }
  for (; i < text.size(); ++i) high |= static_cast<unsigned char>(text[i]);
  return (high & 0x8080808080808080ull) == 0;
}

// Characters of a UTF-8 text, or -1 when it is not valid UTF-8.
int64_t utf8Characters(std::string_view text) {
  if (isAscii(text)) return static_cast<int64_t>(text.size());
  if (!rtl::IsValidUtf8(text)) return -1;
  return rtl::Utf8Length(text);
}

std::string where(size_t row, const rtl::PacketField& field) {
  return "row " + std::to_string(row + 1) + ", field '" + field.name + "'";
}

std::vector<rtl::PacketField> readFields(const msgpack::object& o) {
  if (o.type != msgpack::type::ARRAY) refuse("\"fields\" is not an array");
  std::vector<rtl::PacketField> fields;
  fields.reserve(o.via.array.size);
  for (uint32_t i = 0; i < o.via.array.size; ++i) {
    const msgpack::object& f = o.via.array.ptr[i];
    const std::string at = "field " + std::to_string(i + 1);
    if (f.type != msgpack::type::ARRAY || f.via.array.size != 3)
      refuse(at + " is not an array [name, type, size]");
    const msgpack::object& name = f.via.array.ptr[0];
    const msgpack::object& type = f.via.array.ptr[1];
    const msgpack::object& size = f.via.array.ptr[2];
    if (name.type != msgpack::type::STR || name.via.str.size == 0)
      refuse(at + ": the name is not a non-empty string");
    if (!rtl::IsValidUtf8(asStr(name))) refuse(at + ": the name is not valid UTF-8");
    rtl::PacketField field;
    field.name = std::string(asStr(name));
    if (type.type != msgpack::type::STR)
      refuse(at + " ('" + field.name + "'): the type is not a string");
    const auto kind = rtl::FieldTypeFromName(asStr(type));
    if (!kind)
      refuse(at + " ('" + field.name + "'): unknown type \"" + std::string(asStr(type)) + "\"");
    field.type = *kind;
    if (size.type != msgpack::type::POSITIVE_INTEGER ||
        size.via.u64 > static_cast<uint64_t>(std::numeric_limits<int>::max()))
      refuse(at + " ('" + field.name + "'): the size is not a non-negative integer");
    field.size = static_cast<int>(size.via.u64);
    if (field.type != rtl::FieldType::String && field.size != 0)
      refuse(at + " ('" + field.name + "'): a " + rtl::FieldTypeName(field.type) +
             " field has size 0");
    for (const rtl::PacketField& earlier : fields)
      if (earlier.name == field.name) refuse(at + ": duplicate field name '" + field.name + "'");
    fields.push_back(std::move(field));
  }
  return fields;
}

void appendValue(rtl::PacketColumn& column, const rtl::PacketField& field, size_t row,
                 const msgpack::object& v) {
  if (v.type == msgpack::type::NIL) {
    column.appendNull();
    return;
  }
  auto wrongKind = [&](const char* wanted) {
    refuse(where(row, field) + ": " + wanted + " expected (column type " +
           rtl::FieldTypeName(field.type) + ")");
  };
  switch (field.type) {
    case rtl::FieldType::String: {
      if (v.type != msgpack::type::STR) wrongKind("a string");
      const std::string_view text = asStr(v);
      // The byte count bounds the character count, so short texts skip the count, but never
      // the check of their encoding.
      const int64_t chars = utf8Characters(text);
      if (chars < 0) refuse(where(row, field) + ": the text is not valid UTF-8");
      if (chars > field.size)
        refuse(where(row, field) + ": " + std::to_string(chars) +
               " characters, more than the field's size " + std::to_string(field.size));
      column.appendString(text);
      return;
    }
    case rtl::FieldType::Integer:
      if (v.type == msgpack::type::POSITIVE_INTEGER) {
        if (v.via.u64 > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
          refuse(where(row, field) + ": integer out of range");
        column.appendInteger(static_cast<int64_t>(v.via.u64));
      } else if (v.type == msgpack::type::NEGATIVE_INTEGER) {
        column.appendInteger(v.via.i64);
      } else {
        wrongKind("an integer");
      }
      return;
    case rtl::FieldType::Float:
      if (v.type == msgpack::type::FLOAT32 || v.type == msgpack::type::FLOAT64) {
        column.appendNumber(v.via.f64);
      } else if (v.type == msgpack::type::POSITIVE_INTEGER) {
        column.appendNumber(static_cast<double>(v.via.u64));
      } else if (v.type == msgpack::type::NEGATIVE_INTEGER) {
        column.appendNumber(static_cast<double>(v.via.i64));
      } else {
        wrongKind("a number");
      }
      return;
    case rtl::FieldType::Boolean:
      if (v.type != msgpack::type::BOOLEAN) wrongKind("a boolean");
      column.appendBoolean(v.via.boolean);
      return;
    case rtl::FieldType::Date: {
      if (v.type != msgpack::type::EXT) wrongKind("a date (ext type 2)");
      const std::optional<double> days = wire::unpackDate(v.via.ext);
      if (!days) refuse(where(row, field) + ": a date is ext type 2 with 8 bytes");
      column.appendNumber(*days);
      return;
    }
  }
}

// msgpack-c writes a double holding a whole number as an integer; for exactly 2^64 its range
// check lets the value through to a conversion that is out of range (undefined behaviour, and
// a different number on the wire). That one value is written as a float64 by hand.
void packNumber(msgpack::packer<msgpack::sbuffer>& pk, double value) {
  constexpr double kTwoTo64 = 18446744073709551616.0;
  if (value != kTwoTo64) {
    pk.pack_double(value);
    return;
  }
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char bytes[9];
  bytes[0] = static_cast<char>(0xcb);
  for (int i = 8; i >= 1; --i, bits >>= 8) bytes[i] = static_cast<char>(bits & 0xff);
  pk.pack_bin_body(bytes, sizeof bytes);  // appends the bytes as they are
}

}  // namespace

void packPacket(msgpack::packer<msgpack::sbuffer>& pk, const rtl::DataPacket& packet) {
  const std::vector<rtl::PacketField>& fields = packet.fields();
  pk.pack_map(2);
  pk.pack(std::string_view("fields"));
  pk.pack_array(static_cast<uint32_t>(fields.size()));
  for (const rtl::PacketField& f : fields) {
    pk.pack_array(3);
    pk.pack(f.name);
    pk.pack(std::string_view(rtl::FieldTypeName(f.type)));
    pk.pack(f.size);
  }
  pk.pack(std::string_view("rows"));
  pk.pack_array(static_cast<uint32_t>(packet.rowCount()));
  for (size_t row = 0; row < packet.rowCount(); ++row) {
    pk.pack_array(static_cast<uint32_t>(fields.size()));
    for (size_t c = 0; c < fields.size(); ++c) {
      const rtl::PacketColumn& column = packet.column(c);
      if (column.isNull(row)) {
        pk.pack_nil();
        continue;
      }
      switch (column.type()) {
        case rtl::FieldType::String: {
          const std::string_view text = column.string(row);
          pk.pack_str(static_cast<uint32_t>(text.size()));
          pk.pack_str_body(text.data(), static_cast<uint32_t>(text.size()));
          break;
        }
        case rtl::FieldType::Integer:
          pk.pack_int64(column.integer(row));
          break;
        case rtl::FieldType::Float:
          packNumber(pk, column.number(row));
          break;
        case rtl::FieldType::Boolean:
          column.boolean(row) ? pk.pack_true() : pk.pack_false();
          break;
        case rtl::FieldType::Date:
          wire::packDate(pk, column.number(row));
          break;
      }
    }
  }
}

rtl::DataPacket unpackPacket(const msgpack::object& object) {
  if (object.type != msgpack::type::MAP) refuse("not a map");
  const msgpack::object* fieldsObject = nullptr;
  const msgpack::object* rowsObject = nullptr;
  for (uint32_t i = 0; i < object.via.map.size; ++i) {
    const msgpack::object_kv& kv = object.via.map.ptr[i];
    const std::string_view key =
        kv.key.type == msgpack::type::STR ? asStr(kv.key) : std::string_view();
    const msgpack::object** slot = key == "fields" ? &fieldsObject
                                   : key == "rows" ? &rowsObject
                                                   : nullptr;
    if (!slot) refuse("a map with exactly the keys \"fields\" and \"rows\" is expected");
    if (*slot) refuse("the key \"" + std::string(key) + "\" appears twice");
    *slot = &kv.val;
  }
  if (!fieldsObject || !rowsObject)
    refuse(std::string("the key \"") + (fieldsObject ? "rows" : "fields") + "\" is missing");

  rtl::DataPacket packet(readFields(*fieldsObject));
  const std::vector<rtl::PacketField>& fields = packet.fields();
  if (rowsObject->type != msgpack::type::ARRAY) refuse("\"rows\" is not an array");
  const msgpack::object_array& rows = rowsObject->via.array;

  // Reserve each column exactly (rows and text bytes) so a loaded packet holds no slack.
  std::vector<size_t> textBytes(fields.size(), 0);
  for (uint32_t r = 0; r < rows.size; ++r) {
    const msgpack::object& row = rows.ptr[r];
    if (row.type != msgpack::type::ARRAY || row.via.array.size != fields.size())
      refuse("row " + std::to_string(r + 1) + " is not an array of " +
             std::to_string(fields.size()) + " values");
    for (size_t c = 0; c < fields.size(); ++c)
      if (row.via.array.ptr[c].type == msgpack::type::STR)
        textBytes[c] += row.via.array.ptr[c].via.str.size;
  }
  for (size_t c = 0; c < fields.size(); ++c) packet.column(c).reserve(rows.size, textBytes[c]);

  for (uint32_t r = 0; r < rows.size; ++r) {
    const msgpack::object* values = rows.ptr[r].via.array.ptr;
    for (size_t c = 0; c < fields.size(); ++c)
      appendValue(packet.column(c), fields[c], r, values[c]);
  }
  packet.setRowCount(rows.size);
  return packet;
}

std::string encodePacket(const rtl::DataPacket& packet) {
  msgpack::sbuffer buffer;
  msgpack::packer<msgpack::sbuffer> pk(buffer);
  packPacket(pk, packet);
  return std::string(buffer.data(), buffer.size());
}

rtl::DataPacket decodePacket(std::string_view bytes, const Limits& limits) {
  if (bytes.size() > limits.maxMessageBytes)
    refuse(std::to_string(bytes.size()) + " bytes, more than the limit of " +
           std::to_string(limits.maxMessageBytes));
  // No container can announce more elements than there are bytes left, so bounding the
  // announced sizes by the input keeps a short hostile input from reserving a large tree.
  const size_t containers = std::min(limits.maxElements, bytes.size());
  const msgpack::unpack_limit limit(containers, containers, limits.maxStringBytes,
                                    limits.maxStringBytes, limits.maxStringBytes, limits.maxDepth);
  msgpack::object_handle handle;
  std::size_t offset = 0;
  try {
    // Strings stay in `bytes` instead of being copied into the decoded tree.
    handle = msgpack::unpack(
        bytes.data(), bytes.size(), offset,
        [](msgpack::type::object_type, std::size_t, void*) { return true; }, nullptr, limit);
  } catch (const msgpack::unpack_error& e) {
    refuse(std::string("malformed MessagePack: ") + e.what());
  }
  if (offset != bytes.size()) refuse("trailing bytes after the packet");
  return unpackPacket(handle.get());
}

}  // namespace rpc
