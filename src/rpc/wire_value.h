#pragma once
// One argument of a request as it came off the wire, classified by the argument kinds of the
// protocol. A value that fits none of them (a float, a bin, an integer outside 32 bits, text
// that is not UTF-8, a map that is not a data packet) is Invalid, with the reason in `text`;
// the server refuses it like any argument of the wrong kind.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rtl/data_packet.h"
#include "rtl/variant.h"

namespace rpc {

enum class WireKind { Nil, Boolean, Integer, String, StringRef, Date, Packet, StringMap, Invalid };

struct WireValue {
  WireKind kind = WireKind::Nil;
  std::string text;      // String, StringRef; Invalid: why it was not accepted
  double date = 0;       // Date: days since 1899-12-30
  int32_t integer = 0;   // Integer
  bool boolean = false;  // Boolean
  std::shared_ptr<const rtl::DataPacket> packet;  // Packet
  // StringMap, in wire order: keys are UTF-8, values are the bytes sent.
  std::vector<std::pair<std::string, std::string>> entries;
};

// The variant kind the value travels as; a value of no variant kind (a map of texts, anything
// the decoder could not accept) is Empty, which no method of the remote contract accepts.
rtl::VarKind varKindOf(const WireValue& value);

}  // namespace rpc
