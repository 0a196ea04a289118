#include "rpc/server_codec.h"

#include <cmath>

#include "rpc/detail/wire.h"
#include "rpc/packet_codec.h"
#include "rpc/protocol_error.h"
#include "rtl/strings.h"

namespace rpc {
namespace {

// 0001-01-01 and 9999-12-31 as day counts: the dates a calendar conversion can represent.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958466;

WireValue invalid(std::string why) {
  WireValue v;
  v.kind = WireKind::Invalid;
  v.text = std::move(why);
  return v;
}

std::optional<std::vector<std::pair<std::string, std::string>>> asStringMap(
    const msgpack::object_map& map) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(map.size);
  for (uint32_t i = 0; i < map.size; ++i) {
    const msgpack::object& key = map.ptr[i].key;
    const msgpack::object& value = map.ptr[i].val;
    if (key.type != msgpack::type::STR || value.type != msgpack::type::STR) return std::nullopt;
    entries.emplace_back(std::string(key.via.str.ptr, key.via.str.size),
                         std::string(value.via.str.ptr, value.via.str.size));
    // Keys are names of the protocol. Values are what a client says of itself (its user's
    // login, its machine's name), which need not be UTF-8: they are kept as sent and made
    // storable by whoever stores them, rather than failing the client's attach.
    if (!rtl::IsValidUtf8(entries.back().first)) return std::nullopt;
  }
  return entries;
}

WireValue toWireValue(const msgpack::object& o) {
  WireValue v;
  switch (o.type) {
    case msgpack::type::NIL:
      v.kind = WireKind::Nil;
      return v;
    case msgpack::type::BOOLEAN:
      v.kind = WireKind::Boolean;
      v.boolean = o.via.boolean;
      return v;
    case msgpack::type::POSITIVE_INTEGER:
    case msgpack::type::NEGATIVE_INTEGER:
      if (auto i = wire::asInt32(o)) {
        v.kind = WireKind::Integer;
        v.integer = *i;
        return v;
      }
      return invalid("integer outside the 32-bit range");
    case msgpack::type::STR:
      v.text.assign(o.via.str.ptr, o.via.str.size);
      if (!rtl::IsValidUtf8(v.text)) return invalid("text that is not UTF-8");
      v.kind = WireKind::String;
      return v;
    case msgpack::type::EXT:
      if (o.via.ext.type() == wire::kExtStringRef) {
        v.text.assign(o.via.ext.data(), o.via.ext.size);
        if (!rtl::IsValidUtf8(v.text)) return invalid("text that is not UTF-8");
        v.kind = WireKind::StringRef;
        return v;
      }
      if (o.via.ext.type() == wire::kExtDate) {
        const auto days = wire::unpackDate(o.via.ext);
        if (!days) return invalid("date of " + std::to_string(o.via.ext.size) + " bytes");
        if (!std::isfinite(*days) || *days < kFirstDay || *days >= kLastDay)
          return invalid("date outside the calendar");
        v.kind = WireKind::Date;
        v.date = *days;
        return v;
      }
      return invalid("ext type " + std::to_string(o.via.ext.type()));
    case msgpack::type::MAP:
      // A map of texts is a set of options (attach's caller description); any other map must
      // be a data packet.
      if (auto entries = asStringMap(o.via.map)) {
        v.kind = WireKind::StringMap;
        v.entries = std::move(*entries);
        return v;
      }
      try {
        v.packet = std::make_shared<const rtl::DataPacket>(unpackPacket(o));
        v.kind = WireKind::Packet;
        return v;
      } catch (const std::exception& e) {
        return invalid(std::string("packet: ") + e.what());
      }
    case msgpack::type::FLOAT32:
    case msgpack::type::FLOAT64:
      return invalid("float");
    case msgpack::type::BIN:
      return invalid("bin");
    case msgpack::type::ARRAY:
      return invalid("array");
  }
  return invalid("unknown MessagePack type");
}

}  // namespace

rtl::VarKind varKindOf(const rpc::WireValue& value) {
  switch (value.kind) {
    case rpc::WireKind::Nil:
      return rtl::VarKind::Null;
    case rpc::WireKind::Boolean:
      return rtl::VarKind::Boolean;
    case rpc::WireKind::Integer:
      return rtl::VarKind::Integer;
    case rpc::WireKind::String:
      return rtl::VarKind::String;
    case rpc::WireKind::StringRef:
      return rtl::VarKind::StringRef;
    case rpc::WireKind::Date:
      return rtl::VarKind::Date;
    case rpc::WireKind::Packet:
      return rtl::VarKind::Packet;
    case rpc::WireKind::StringMap:
    case rpc::WireKind::Invalid:
      break;
  }
  return rtl::VarKind::Empty;
}

Request decodeRequest(const Frame& frame, const Limits& limits) {
  const msgpack::object_handle handle = wire::unpackFrame(frame, limits);
  const msgpack::object_array& message = handle.get().via.array;  // checked by the framer

  Request request;
  const auto type = wire::asInt32(message.ptr[0]);
  if (type == wire::kNotification) {
    request.kind = Request::Kind::Notification;
    return request;
  }
  if (type != wire::kRequest) throw ProtocolError("malformed message: not a request");
  if (message.size != 4) throw ProtocolError("malformed request: not 4 values");
  const auto msgid = wire::asMsgid(message.ptr[1]);
  if (!msgid) throw ProtocolError("malformed request: msgid is not an unsigned 32-bit integer");
  request.msgid = *msgid;

  const msgpack::object& method = message.ptr[2];
  const msgpack::object& params = message.ptr[3];
  if (method.type != msgpack::type::STR) {
    request.kind = Request::Kind::Malformed;
    request.problem = "method is not a string";
    return request;
  }
  request.method.assign(method.via.str.ptr, method.via.str.size);
  if (!rtl::IsValidUtf8(request.method)) {
    request.kind = Request::Kind::Malformed;
    request.problem = "method is not UTF-8";
    request.method.clear();
    return request;
  }
  if (params.type != msgpack::type::ARRAY) {
    request.kind = Request::Kind::Malformed;
    request.problem = "params is not an array";
    return request;
  }
  request.params.reserve(params.via.array.size);
  for (uint32_t i = 0; i < params.via.array.size; ++i)
    request.params.push_back(toWireValue(params.via.array.ptr[i]));
  return request;
}

namespace {

void packResponseHead(msgpack::packer<msgpack::sbuffer>& pk, uint32_t msgid) {
  pk.pack_array(4);
  pk.pack_uint32(wire::kResponse);
  pk.pack_uint32(msgid);
}

}  // namespace

void encodeResult(OutBuffer& out, uint32_t msgid, bool value) {
  auto& pk = out.impl().packer;
  packResponseHead(pk, msgid);
  pk.pack_nil();
  value ? pk.pack_true() : pk.pack_false();
}

void encodeResult(OutBuffer& out, uint32_t msgid, const rtl::Variant& value) {
  auto& pk = out.impl().packer;
  packResponseHead(pk, msgid);
  pk.pack_nil();
  wire::packVariant(pk, value);
}

void encodeAnswer(OutBuffer& out, uint32_t msgid, int status, std::string_view message,
                  const rtl::DataPacket* data) {
  auto& pk = out.impl().packer;
  packResponseHead(pk, msgid);
  pk.pack_nil();
  pk.pack_array(3);
  pk.pack_int32(status);
  pk.pack_str(static_cast<uint32_t>(message.size()));
  pk.pack_str_body(message.data(), static_cast<uint32_t>(message.size()));
  if (data)
    packPacket(pk, *data);
  else
    pk.pack_nil();
}

void encodeError(OutBuffer& out, uint32_t msgid, int code, std::string_view message) {
  auto& pk = out.impl().packer;
  packResponseHead(pk, msgid);
  pk.pack_array(2);
  pk.pack_int32(code);
  pk.pack_str(static_cast<uint32_t>(message.size()));
  pk.pack_str_body(message.data(), static_cast<uint32_t>(message.size()));
  pk.pack_nil();
}

}  // namespace rpc
