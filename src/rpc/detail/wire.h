#pragma once
// What the rpc encoders and decoders share and nobody else needs: the MessagePack writer behind
// OutBuffer, the ext types of the argument kinds, and decoding one checked frame with the
// reader's limits. Included only by .cpp files of this folder, to keep the MessagePack headers
// out of the rest of the build.

#include <msgpack.hpp>

#include <cstdint>
#include <optional>
#include <string_view>

#include "rpc/limits.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "rtl/variant.h"

namespace rpc {

struct OutBuffer::Impl {
  msgpack::sbuffer buffer;
  msgpack::packer<msgpack::sbuffer> packer{buffer};
};

namespace wire {

// Ext type of a string passed by reference: the payload is its UTF-8 bytes.
constexpr int8_t kExtStringRef = 1;
// Ext type of a date: 8 bytes, an IEEE-754 double in big-endian order, counting days since
// 1899-12-30 with the time of day as the fraction.
constexpr int8_t kExtDate = 2;

// Message types of MessagePack-RPC.
constexpr int kRequest = 0;
constexpr int kResponse = 1;
constexpr int kNotification = 2;

void packDate(msgpack::packer<msgpack::sbuffer>& pk, double days);
// The day count of an ext 2 value; nothing when the payload is not 8 bytes.
std::optional<double> unpackDate(const msgpack::object_ext& ext);

// Writes a client argument in its wire kind (Empty travels as nil, like Null).
void packVariant(msgpack::packer<msgpack::sbuffer>& pk, const rtl::Variant& value);

// Decodes a frame the stream decoder accepted. Strings and ext payloads point into the frame,
// which must outlive the result. Raises ProtocolError.
msgpack::object_handle unpackFrame(const Frame& frame, const Limits& limits);

// A msgid: an unsigned integer within 32 bits.
std::optional<uint32_t> asMsgid(const msgpack::object& o);
// An integer within the signed 32-bit range.
std::optional<int32_t> asInt32(const msgpack::object& o);

}  // namespace wire
}  // namespace rpc
