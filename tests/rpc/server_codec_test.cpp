#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rpc/client_codec.h"
#include "rpc/protocol_error.h"
#include "rpc/server_codec.h"

namespace {

using namespace std::string_literals;

rpc::Request decode(const std::string& bytes) {
  return rpc::decodeRequest(rpc::Frame{bytes});
}

// One line per param: its kind and what it holds.
std::string describe(const std::vector<rpc::WireValue>& params) {
  static const char* const names[] = {"nil",  "bool",   "int", "str",    "ref",
                                      "date", "packet", "map", "invalid"};
  std::string s;
  for (const auto& p : params) {
    s += names[static_cast<int>(p.kind)];
    switch (p.kind) {
      case rpc::WireKind::Boolean:
        s += p.boolean ? " true" : " false";
        break;
      case rpc::WireKind::Integer:
        s += " " + std::to_string(p.integer);
        break;
      case rpc::WireKind::Date:
        s += " " + std::to_string(p.date);
        break;
      case rpc::WireKind::StringMap:
        for (const auto& [k, v] : p.entries) s += " " + k + "=" + v;
        break;
      case rpc::WireKind::Packet:
        s += " rows " + std::to_string(p.packet->rowCount());
        break;
      case rpc::WireKind::Nil:
        break;
      default:
        s += " " + p.text;
    }
    s += "\n";
  }
  return s;
}

TEST(ServerCodecTest, ClassifiesEveryParamByArgumentKind) {
  const std::string params =
      "\xc0\xc3\xd2\x80\x00\x00\x00\xa3"
      "abc\xd5\x01"
      "xy\xd7\x02\x40\xe6\x1f\x50\x00\x00\x00\x00"
      "\x82\xa4user\xa3"
      "ana\xa4host\xa2pc"
      "\x82\xa6"
      "fields\x91\x93\xa1"
      "A\xa6string\x01\xa4rows\x92\x91\xa1x\x91\xc0"s;
  const rpc::Request r = decode("\x94\x00\x2a\xa4Test\x98"s + params);
  EXPECT_EQ(r.kind, rpc::Request::Kind::Call);
  EXPECT_EQ(r.msgid, 42u);
  EXPECT_EQ(r.method, "Test");
  EXPECT_EQ(describe(r.params),
            "nil\n"
            "bool true\n"
            "int -2147483648\n"
            "str abc\n"
            "ref xy\n"
            "date 45306.500000\n"
            "map user=ana host=pc\n"
            "packet rows 2\n");
}

TEST(ServerCodecTest, MarksParamsOfNoArgumentKindInvalid) {
  const std::string params =
      "\xca\x3f\x80\x00\x00"                      // float
      "\xc4\x01x"                                 // bin
      "\xce\x80\x00\x00\x00"                      // 2^31: over the int32 range
      "\xd3\xff\xff\xff\xff\x7f\xff\xff\xff"      // below the int32 range
      "\xa2\xc3\x28"                              // not UTF-8
      "\xd5\x01\xff\xfe"                          // by reference, not UTF-8
      "\xd6\x02\x00\x00\x00\x00"                  // date of 4 bytes
      "\xd7\x02\x7f\xf8\x00\x00\x00\x00\x00\x00"  // NaN date
      "\xd7\x02\x41\x70\x00\x00\x00\x00\x00\x00"  // 16777216 days: past year 9999
      "\xd4\x03x"                                 // unknown ext
      "\x91\x01"                                  // array
      "\x81\xa6"
      "fields\x90"s;  // map that is neither packet nor texts
  const rpc::Request r = decode("\x94\x00\x01\xa1m\x9c"s + params);
  ASSERT_EQ(r.params.size(), 12u);
  for (size_t i = 0; i < r.params.size(); ++i)
    EXPECT_EQ(r.params[i].kind, rpc::WireKind::Invalid)
        << "param " << i + 1 << ": " << describe({r.params[i]});
  EXPECT_EQ(r.params[0].text, "float");
  EXPECT_EQ(r.params[6].text, "date of 4 bytes");
  EXPECT_EQ(r.params[7].text, "date outside the calendar");
}

TEST(ServerCodecTest, TellsAnswerableFromUnanswerableMalformedMessages) {
  // A usable msgid: the server answers with an error.
  const rpc::Request noMethod = decode("\x94\x00\x03\x07\x90"s);
  EXPECT_EQ(noMethod.kind, rpc::Request::Kind::Malformed);
  EXPECT_EQ(noMethod.msgid, 3u);
  EXPECT_EQ(noMethod.problem, "method is not a string");
  const rpc::Request noParams = decode("\x94\x00\x04\xa1m\xc0"s);
  EXPECT_EQ(noParams.kind, rpc::Request::Kind::Malformed);
  EXPECT_EQ(noParams.problem, "params is not an array");

  EXPECT_EQ(decode("\x93\x02\xa1n\x90"s).kind, rpc::Request::Kind::Notification);

  // No msgid to answer with, or not a request: the connection is closed.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a response", "\x94\x01\x01\xc0\xc0"s},
      {"unknown type", "\x94\x07\x01\xa1m\x90"s},
      {"type not an integer", "\x94\xa1x\x01\xa1m\x90"s},
      {"request of three", "\x93\x00\x01\xa1m"s},
      {"negative msgid", "\x94\x00\xff\xa1m\x90"s},
      {"msgid over 32 bits", "\x94\x00\xcf\x00\x00\x00\x01\x00\x00\x00\x00\xa1m\x90"s},
      {"msgid a string", "\x94\x00\xa1x\xa1m\x90"s},
  };
  for (const auto& [what, bytes] : cases) EXPECT_THROW(decode(bytes), rpc::ProtocolError) << what;
}

TEST(ServerCodecTest, WritesAnswersAndErrorsAsResponses) {
  rpc::OutBuffer out;
  rpc::encodeAnswer(out, 3, 0, "", nullptr);
  EXPECT_EQ(std::string(out.view()), "\x94\x01\x03\xc0\x93\x00\xa0\xc0"s);

  out.clear();
  rpc::encodeError(out, 70000, 409, "conexão sem servidor associado");
  const std::string message = "conexão sem servidor associado";  // 31 bytes
  EXPECT_EQ(std::string(out.view()),
            "\x94\x01\xce\x00\x01\x11\x70\x92\xcd\x01\x99\xbf"s + message + "\xc0"s);

  // An answer with a packet comes back through the client's decoder whole.
  rtl::DataPacket packet(
      {{"CDFILIAL", rtl::FieldType::String, 4}, {"QT", rtl::FieldType::Integer, 0}});
  for (int i = 0; i < 3; ++i) {
    packet.column(0).appendString("000" + std::to_string(i));
    packet.column(1).appendInteger(i);
    packet.commitRow();
  }
  out.clear();
  rpc::encodeAnswer(out, 8, 0, "", &packet);
  const auto response = rpc::decodeResponse(rpc::Frame{std::string(out.view())});
  ASSERT_TRUE(response);
  const auto& answer = response->result.asArray();
  ASSERT_EQ(answer.size(), 3u);
  EXPECT_EQ(answer[0].asInteger(), 0);
  EXPECT_TRUE(*answer[2].asPacket() == packet);
}

}  // namespace
