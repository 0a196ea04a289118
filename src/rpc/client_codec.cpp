#include "rpc/client_codec.h"

#include "rpc/detail/wire.h"
#include "rpc/packet_codec.h"
#include "rpc/protocol_error.h"

namespace rpc {
namespace {

rtl::Variant toVariant(const msgpack::object& o) {
  switch (o.type) {
    case msgpack::type::NIL:
      return rtl::Variant::Null();
    case msgpack::type::BOOLEAN:
      return rtl::Variant::FromBool(o.via.boolean);
    case msgpack::type::POSITIVE_INTEGER:
    case msgpack::type::NEGATIVE_INTEGER:
      if (auto i = wire::asInt32(o)) return rtl::Variant(*i);
      throw ProtocolError("malformed response: integer outside the 32-bit range");
    case msgpack::type::STR:
      return rtl::Variant(std::string(o.via.str.ptr, o.via.str.size));
    case msgpack::type::EXT:
      if (o.via.ext.type() == wire::kExtStringRef)
        return rtl::Variant(std::string(o.via.ext.data(), o.via.ext.size));
      if (auto days = wire::unpackDate(o.via.ext)) return rtl::Variant::FromDate(*days);
      throw ProtocolError("malformed response: ext type " + std::to_string(o.via.ext.type()));
    case msgpack::type::ARRAY: {
      std::vector<rtl::Variant> items;
      items.reserve(o.via.array.size);
      for (uint32_t i = 0; i < o.via.array.size; ++i)
        items.push_back(toVariant(o.via.array.ptr[i]));
      return rtl::Variant::FromArray(std::move(items));
    }
    case msgpack::type::MAP:
      try {
        return rtl::Variant(std::make_shared<const rtl::DataPacket>(unpackPacket(o)));
      } catch (const std::exception& e) {
        throw ProtocolError(std::string("malformed packet in response: ") + e.what());
      }
    case msgpack::type::FLOAT32:
    case msgpack::type::FLOAT64:
    case msgpack::type::BIN:
      break;
  }
  throw ProtocolError("malformed response: a value of no argument kind");
}

void packString(msgpack::packer<msgpack::sbuffer>& pk, std::string_view text) {
  pk.pack_str(static_cast<uint32_t>(text.size()));
  pk.pack_str_body(text.data(), static_cast<uint32_t>(text.size()));
}

void encode(OutBuffer& out, uint32_t msgid, std::string_view method,
            const std::vector<rtl::Variant>& params, const StringMap* options) {
  auto& pk = out.impl().packer;
  pk.pack_array(4);
  pk.pack_uint32(wire::kRequest);
  pk.pack_uint32(msgid);
  packString(pk, method);
  pk.pack_array(static_cast<uint32_t>(params.size() + (options ? 1 : 0)));
  for (const auto& param : params) wire::packVariant(pk, param);
  if (!options) return;
  pk.pack_map(static_cast<uint32_t>(options->size()));
  for (const auto& [key, value] : *options) {
    packString(pk, key);
    packString(pk, value);
  }
}

}  // namespace

void encodeRequest(OutBuffer& out, uint32_t msgid, std::string_view method,
                   const std::vector<rtl::Variant>& params) {
  encode(out, msgid, method, params, nullptr);
}

void encodeRequest(OutBuffer& out, uint32_t msgid, std::string_view method,
                   const std::vector<rtl::Variant>& params, const StringMap& options) {
  encode(out, msgid, method, params, &options);
}

std::optional<Response> decodeResponse(const Frame& frame, const Limits& limits) {
  const msgpack::object_handle handle = wire::unpackFrame(frame, limits);
  const msgpack::object_array& message = handle.get().via.array;  // checked by the framer

  const auto type = wire::asInt32(message.ptr[0]);
  if (type == wire::kNotification) return std::nullopt;
  if (type != wire::kResponse || message.size != 4)
    throw ProtocolError("malformed message: not a response");
  const auto msgid = wire::asMsgid(message.ptr[1]);
  if (!msgid) throw ProtocolError("malformed response: msgid is not an unsigned 32-bit integer");

  Response response;
  response.msgid = *msgid;
  const msgpack::object& error = message.ptr[2];
  if (error.type != msgpack::type::NIL) {
    const auto code = error.type == msgpack::type::ARRAY && error.via.array.size == 2
                          ? wire::asInt32(error.via.array.ptr[0])
                          : std::nullopt;
    if (!code || error.via.array.ptr[1].type != msgpack::type::STR)
      throw ProtocolError("malformed response: error is not [code, message]");
    const auto& text = error.via.array.ptr[1].via.str;
    response.error = RemoteFailure{*code, std::string(text.ptr, text.size)};
    response.result = rtl::Variant::Null();
    return response;
  }
  response.result = toVariant(message.ptr[3]);
  return response;
}

}  // namespace rpc
