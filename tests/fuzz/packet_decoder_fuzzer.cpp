// Fuzz target: the data packet decoder, the reader of the rows every answer carries.
//
// Input: one byte choosing the limits, then the bytes of one MessagePack value. Anything
// malformed must be refused with rtl::EDatabaseError; a packet that is accepted must survive
// being written and read back unchanged (its second encoding equals its first).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "rpc/packet_codec.h"
#include "rtl/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  rpc::Limits limits;
  if (data[0] & 0x01) limits.maxMessageBytes = 300;
  if (data[0] & 0x02) limits.maxStringBytes = 16;
  if (data[0] & 0x04) limits.maxDepth = 3;
  if (data[0] & 0x08) limits.maxElements = 24;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::string encoded;
  try {
    encoded = rpc::encodePacket(rpc::decodePacket(bytes, limits));
  } catch (const rtl::EDatabaseError&) {
    return 0;
  }
  // What the codec wrote, it reads back, whatever limits the first reading had.
  const std::string again = rpc::encodePacket(rpc::decodePacket(encoded));
  if (again != encoded) std::abort();
  return 0;
}
