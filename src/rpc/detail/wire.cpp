#include "rpc/detail/wire.h"

#include <bit>
#include <cstring>
#include <limits>

#include "rpc/packet_codec.h"
#include "rpc/protocol_error.h"

namespace rpc {

OutBuffer::OutBuffer() : impl_(std::make_unique<Impl>()) {}
OutBuffer::~OutBuffer() = default;
OutBuffer::OutBuffer(OutBuffer&&) noexcept = default;
OutBuffer& OutBuffer::operator=(OutBuffer&&) noexcept = default;
const char* OutBuffer::data() const {
  return impl_->buffer.data();
}
size_t OutBuffer::size() const {
  return impl_->buffer.size();
}
void OutBuffer::clear() {
  impl_->buffer.clear();
}

namespace wire {
namespace {

// Strings, bins and exts stay in the frame instead of being copied into the decoded tree.
bool referenceAll(msgpack::type::object_type, std::size_t, void*) {
  return true;
}

}  // namespace

void packDate(msgpack::packer<msgpack::sbuffer>& pk, double days) {
  uint64_t bits = std::bit_cast<uint64_t>(days);
  char bytes[8];
  for (int i = 7; i >= 0; --i) {
    bytes[i] = static_cast<char>(bits & 0xff);
    bits >>= 8;
  }
  pk.pack_ext(sizeof bytes, kExtDate);
  pk.pack_ext_body(bytes, sizeof bytes);
}

std::optional<double> unpackDate(const msgpack::object_ext& ext) {
  if (ext.type() != kExtDate || ext.size != 8) return std::nullopt;
  uint64_t bits = 0;
  for (uint32_t i = 0; i < 8; ++i) bits = (bits << 8) | static_cast<unsigned char>(ext.data()[i]);
  return std::bit_cast<double>(bits);
}

void packVariant(msgpack::packer<msgpack::sbuffer>& pk, const rtl::Variant& value) {
  switch (value.kind()) {
    case rtl::VarKind::Empty:
    case rtl::VarKind::Null:
      pk.pack_nil();
      return;
    case rtl::VarKind::String:
      pk.pack(value.asString());
      return;
    case rtl::VarKind::StringRef: {
      const std::string& text = value.refTarget();
      pk.pack_ext(text.size(), kExtStringRef);
      pk.pack_ext_body(text.data(), text.size());
      return;
    }
    case rtl::VarKind::Date:
      packDate(pk, value.asDate());
      return;
    case rtl::VarKind::Integer:
      pk.pack_int32(value.asInteger());
      return;
    case rtl::VarKind::Boolean:
      value.asBoolean() ? pk.pack_true() : pk.pack_false();
      return;
    case rtl::VarKind::Packet:
      packPacket(pk, *value.asPacket());
      return;
    case rtl::VarKind::Array: {
      const auto& items = value.asArray();
      pk.pack_array(items.size());
      for (const auto& item : items) packVariant(pk, item);
      return;
    }
  }
}

msgpack::object_handle unpackFrame(const Frame& frame, const Limits& limits) {
  const msgpack::unpack_limit limit(limits.maxElements, limits.maxElements, limits.maxStringBytes,
                                    limits.maxStringBytes, limits.maxStringBytes, limits.maxDepth);
  try {
    std::size_t offset = 0;
    msgpack::object_handle handle = msgpack::unpack(frame.bytes.data(), frame.bytes.size(), offset,
                                                    referenceAll, nullptr, limit);
    if (offset != frame.bytes.size()) throw ProtocolError("malformed message: trailing bytes");
    return handle;
  } catch (const msgpack::unpack_error& e) {
    throw ProtocolError(std::string("malformed MessagePack: ") + e.what());
  }
}

std::optional<uint32_t> asMsgid(const msgpack::object& o) {
  if (o.type != msgpack::type::POSITIVE_INTEGER) return std::nullopt;
  if (o.via.u64 > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  return static_cast<uint32_t>(o.via.u64);
}

std::optional<int32_t> asInt32(const msgpack::object& o) {
  if (o.type == msgpack::type::POSITIVE_INTEGER) {
    if (o.via.u64 > uint64_t{std::numeric_limits<int32_t>::max()}) return std::nullopt;
    return static_cast<int32_t>(o.via.u64);
  }
  if (o.type == msgpack::type::NEGATIVE_INTEGER) {
    if (o.via.i64 < std::numeric_limits<int32_t>::min()) return std::nullopt;
    return static_cast<int32_t>(o.via.i64);
  }
  return std::nullopt;
}

}  // namespace wire
}  // namespace rpc
