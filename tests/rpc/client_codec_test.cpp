#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rpc/client_codec.h"
#include "rpc/protocol_error.h"
#include "rpc/server_codec.h"

namespace {

using namespace std::string_literals;

std::string encode(uint32_t msgid, std::string_view method,
                   const std::vector<rtl::Variant>& params) {
  rpc::OutBuffer out;
  rpc::encodeRequest(out, msgid, method, params);
  return std::string(out.view());
}

rpc::Response decode(const std::string& bytes) {
  const auto response = rpc::decodeResponse(rpc::Frame{bytes});
  if (!response) throw std::runtime_error("a notification");
  return *response;
}

std::string describe(const rtl::Variant& v) {
  switch (v.kind()) {
    case rtl::VarKind::Empty:
      return "empty";
    case rtl::VarKind::Null:
      return "null";
    case rtl::VarKind::String:
      return "'" + v.asString() + "'";
    case rtl::VarKind::StringRef:
      return "ref '" + v.asString() + "'";
    case rtl::VarKind::Date:
      return "date " + std::to_string(v.asDate());
    case rtl::VarKind::Integer:
      return std::to_string(v.asInteger());
    case rtl::VarKind::Boolean:
      return v.asBoolean() ? "true" : "false";
    case rtl::VarKind::Packet:
      return "packet of " + std::to_string(v.asPacket()->rowCount());
    case rtl::VarKind::Array: {
      std::string s = "[";
      for (const auto& item : v.asArray()) s += (s.size() > 1 ? ", " : "") + describe(item);
      return s + "]";
    }
  }
  return "?";
}

TEST(ClientCodecTest, WritesEachArgumentKindInItsWireForm) {
  std::string text = "ab";
  std::string longer = "abc";
  std::string empty;
  // 45306.5 is 2024-01-15 at noon; its big-endian double is 40 e6 1f 50 00 00 00 00.
  const std::string bytes =
      encode(7, "m",
             {rtl::Variant("ab"), rtl::Variant::ByRef(text), rtl::Variant::ByRef(longer),
              rtl::Variant::ByRef(empty), rtl::Variant::FromDate(45306.5), rtl::Variant(int32_t{0}),
              rtl::Variant(int32_t{-1}), rtl::Variant(int32_t{70000}), rtl::Variant::FromBool(true),
              rtl::Variant::FromBool(false), rtl::Variant::Null(), rtl::Variant()});
  const std::string expected =
      "\x94\x00\x07\xa1m\x9c"  // [0, 7, "m", [12 params]]
      "\xa2"
      "ab"  // string by value: str
      "\xd5\x01"
      "ab"  // by reference: ext 1 (fixext 2)
      "\xc7\x03\x01"
      "abc"                                       // by reference: ext 1 (ext 8)
      "\xc7\x00\x01"                              // empty by reference
      "\xd7\x02\x40\xe6\x1f\x50\x00\x00\x00\x00"  // date: ext 2, big-endian double
      "\x00\xff\xce\x00\x01\x11\x70"              // integers 0, -1, 70000
      "\xc3\xc2"                                  // Booleans
      "\xc0\xc0"s;                                // null and empty both nil
  EXPECT_EQ(bytes, expected);
}

TEST(ClientCodecTest, ArgumentsReachTheServerAsTheKindsTheyWereSent) {
  auto packet = std::make_shared<rtl::DataPacket>(std::vector<rtl::PacketField>{
      {"CDPRODUTO", rtl::FieldType::String, 10}, {"DT", rtl::FieldType::Date, 0}});
  packet->column(0).appendString("0000000001");
  packet->column(1).appendNumber(45306.25);
  packet->commitRow();
  std::string ref = "_0000000001_";
  const std::string bytes = encode(
      4000000000u, "SetUpdItemPrecoAlt",
      {rtl::Variant::ByRef(ref), rtl::Variant(std::shared_ptr<const rtl::DataPacket>(packet)),
       rtl::Variant::FromBool(true), rtl::Variant("0001"), rtl::Variant::FromDate(45306),
       rtl::Variant(int32_t{-7}), rtl::Variant::Null()});

  const rpc::Request request = rpc::decodeRequest(rpc::Frame{bytes});
  ASSERT_EQ(request.kind, rpc::Request::Kind::Call);
  EXPECT_EQ(request.msgid, 4000000000u);
  EXPECT_EQ(request.method, "SetUpdItemPrecoAlt");
  ASSERT_EQ(request.params.size(), 7u);
  EXPECT_EQ(request.params[0].kind, rpc::WireKind::StringRef);
  EXPECT_EQ(request.params[0].text, ref);
  ASSERT_EQ(request.params[1].kind, rpc::WireKind::Packet);
  EXPECT_TRUE(*request.params[1].packet == *packet);
  EXPECT_EQ(request.params[2].kind, rpc::WireKind::Boolean);
  EXPECT_TRUE(request.params[2].boolean);
  EXPECT_EQ(request.params[3].kind, rpc::WireKind::String);
  EXPECT_EQ(request.params[3].text, "0001");
  EXPECT_EQ(request.params[4].kind, rpc::WireKind::Date);
  EXPECT_EQ(request.params[4].date, 45306);
  EXPECT_EQ(request.params[5].kind, rpc::WireKind::Integer);
  EXPECT_EQ(request.params[5].integer, -7);
  EXPECT_EQ(request.params[6].kind, rpc::WireKind::Nil);
}

TEST(ClientCodecTest, ReadsAnswersErrorsAndResults) {
  // [1, 5, nil, [0, "", nil]]
  rpc::Response ok = decode("\x94\x01\x05\xc0\x93\x00\xa0\xc0"s);
  EXPECT_EQ(ok.msgid, 5u);
  EXPECT_FALSE(ok.error);
  EXPECT_EQ(describe(ok.result), "[0, '', null]");

  // [1, 6, nil, [1, "Filial não cadastrada.", nil]]
  const std::string refusal = "Filial não cadastrada.";
  rpc::Response refused =
      decode("\x94\x01\x06\xc0\x93\x01"s + char(0xa0 + refusal.size()) + refusal + "\xc0"s);
  EXPECT_EQ(describe(refused.result), "[1, '" + refusal + "', null]");

  // [1, 9, [404, "servidor desconhecido: X"], nil]
  rpc::Response failed = decode("\x94\x01\x09\x92\xcd\x01\x94\xb8servidor desconhecido: X\xc0"s);
  ASSERT_TRUE(failed.error);
  EXPECT_EQ(failed.error->code, 404);
  EXPECT_EQ(failed.error->message, "servidor desconhecido: X");
  EXPECT_TRUE(failed.result.isNull());

  // attach's result and a date, through the server's encoders.
  rpc::OutBuffer out;
  rpc::encodeResult(out, 1, true);
  EXPECT_EQ(std::string(out.view()), "\x94\x01\x01\xc0\xc3"s);
  EXPECT_EQ(describe(decode(std::string(out.view())).result), "true");
  EXPECT_EQ(describe(decode("\x94\x01\x02\xc0\xd7\x02\xbf\xf4\x00\x00\x00\x00\x00\x00"s).result),
            "date -1.250000");

  // A notification is not a response; the caller skips it.
  EXPECT_FALSE(rpc::decodeResponse(rpc::Frame{"\x93\x02\xa1n\x90"s}));
}

TEST(ClientCodecTest, RefusesResponsesItCannotRepresent) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a request", "\x94\x00\x01\xa1m\x90"s},
      {"negative msgid", "\x94\x01\xff\xc0\xc0"s},
      {"error not [code, message]", "\x94\x01\x01\xa5oops!\xc0"s},
      {"error code not an integer", "\x94\x01\x01\x92\xa1x\xa1y\xc0"s},
      {"float result", "\x94\x01\x01\xc0\xcb\x3f\xf0\x00\x00\x00\x00\x00\x00"s},
      {"bin result", "\x94\x01\x01\xc0\xc4\x01x"s},
      {"integer over 32 bits", "\x94\x01\x01\xc0\xcf\x00\x00\x00\x01\x00\x00\x00\x00"s},
      {"unknown ext", "\x94\x01\x01\xc0\xd4\x05x"s},
      {"map that is no packet", "\x94\x01\x01\xc0\x81\xa1k\x01"s},
  };
  for (const auto& [what, bytes] : cases)
    EXPECT_THROW(rpc::decodeResponse(rpc::Frame{bytes}), rpc::ProtocolError) << what;
}

}  // namespace
