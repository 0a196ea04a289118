#pragma once
// The client's side of MessagePack-RPC: writing a request from the caller's arguments and
// reading the response. Arguments travel in the wire kinds of their variant kind (string str,
// string by reference ext 1, date ext 2, integer int, Boolean bool, packet map, null and empty
// nil); the result comes back as a variant (a method's answer is an Array of Integer status,
// String message and Packet or Null data). Used with StreamDecoder on the receiving side.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rpc/limits.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "rtl/variant.h"

namespace rpc {

// Appends [0, msgid, method, params] to out.
void encodeRequest(OutBuffer& out, uint32_t msgid, std::string_view method,
                   const std::vector<rtl::Variant>& params);

// Named texts sent as one MessagePack map of str to str, in this order: attach's description
// of the caller, {"user": ..., "host": ...}.
using StringMap = std::vector<std::pair<std::string, std::string>>;
// Appends [0, msgid, method, [params..., options]]: the params followed by the map.
void encodeRequest(OutBuffer& out, uint32_t msgid, std::string_view method,
                   const std::vector<rtl::Variant>& params, const StringMap& options);

// The error slot of a response: the server's code and its message for the user.
struct RemoteFailure {
  int code = 0;
  std::string message;
};

struct Response {
  uint32_t msgid = 0;
  std::optional<RemoteFailure> error;
  rtl::Variant result;  // Null when error is set
};

// Reads one response. Nothing for a notification, which the caller skips. A frame that is not a
// response, or whose result holds a value no variant kind can carry (a float, a bin, an integer
// outside 32 bits, a malformed packet), raises ProtocolError.
std::optional<Response> decodeResponse(const Frame& frame, const Limits& limits = {});

}  // namespace rpc
