#pragma once
// The wire form of a data packet, the rows a server answer carries and a client data set
// loads whole:
//
//   packet = map with exactly the keys "fields" and "rows" (in any order)
//   fields = array of field, at least none
//   field  = array [name, type, size]
//            name: non-empty UTF-8 str, unique within the packet (exact comparison)
//            type: str, one of "string" "integer" "float" "boolean" "date"
//            size: non-negative int; the maximum characters of a "string" field, 0 otherwise
//   rows   = array of row
//   row    = array with exactly one value per field, in field order
//   value  = nil (null, allowed in every column), or by the field's type:
//            string  -> str, valid UTF-8, at most size characters (not bytes)
//            integer -> int within the signed 64-bit range
//            float   -> float32, float64, or an int (taken as its value)
//            boolean -> bool
//            date    -> ext type 2, 8 bytes: IEEE-754 double, big-endian, days since
//                       1899-12-30 with the time of day as the fraction
//
// A reader refuses anything else with rtl::EDatabaseError saying what is wrong and where.

#include <msgpack.hpp>

#include <string>
#include <string_view>

#include "rpc/limits.h"
#include "rtl/data_packet.h"

namespace rpc {

void packPacket(msgpack::packer<msgpack::sbuffer>& pk, const rtl::DataPacket& packet);

// Reads a packet from a decoded MessagePack value. The value (and the bytes it points into)
// need only live during the call.
rtl::DataPacket unpackPacket(const msgpack::object& object);

// The packet as MessagePack bytes.
std::string encodePacket(const rtl::DataPacket& packet);
// Reads a packet from bytes that hold exactly one MessagePack value, within `limits` (its
// size, string lengths, nesting and element count); anything malformed or beyond a limit
// raises rtl::EDatabaseError.
rtl::DataPacket decodePacket(std::string_view bytes, const Limits& limits = {});

}  // namespace rpc
