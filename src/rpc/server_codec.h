#pragma once
// The server's side of MessagePack-RPC: reading a request out of a frame and writing the
// response to it. A request is [0, msgid, method, params]; a response is
// [1, msgid, error, result] with error nil or [code, message]. Notifications ([2, method,
// params]) are recognised so that the server can ignore them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rpc/limits.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "rpc/wire_value.h"
#include "rtl/data_packet.h"
#include "rtl/variant.h"

namespace rpc {

struct Request {
  enum class Kind {
    Call,          // a request to answer
    Notification,  // to be ignored
    Malformed,     // a request with a usable msgid but no usable method or params
  };
  Kind kind = Kind::Call;
  uint32_t msgid = 0;
  std::string method;
  std::vector<WireValue> params;
  std::string problem;  // Malformed: what is wrong, for the log
};

// Reads one request. A frame that cannot be answered at all (not MessagePack, a response, an
// unknown message type, no unsigned 32-bit msgid) raises ProtocolError; the caller closes the
// connection. Packets among the params are decoded here, so the cost of a large one is paid by
// whoever calls this (a worker thread, in the server).
Request decodeRequest(const Frame& frame, const Limits& limits = {});

// Appends [1, msgid, nil, true|false].
void encodeResult(OutBuffer& out, uint32_t msgid, bool value);
// Appends [1, msgid, nil, value], the value in the wire kinds of its variant kinds (an Array as
// an array of its items).
void encodeResult(OutBuffer& out, uint32_t msgid, const rtl::Variant& value);
// Appends [1, msgid, nil, [status, message, data]], data a packet or nil.
void encodeAnswer(OutBuffer& out, uint32_t msgid, int status, std::string_view message,
                  const rtl::DataPacket* data);
// Appends [1, msgid, [code, message], nil].
void encodeError(OutBuffer& out, uint32_t msgid, int code, std::string_view message);

}  // namespace rpc
