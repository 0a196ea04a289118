// Malformed input is an error, never a crash: valid messages, mutated at random (a fixed seed,
// so a failure repeats), go through the stream decoder in random pieces and then through both
// message decoders. The only failure allowed is ProtocolError; the sanitizer build catches any
// memory fault on the way.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "rpc/client_codec.h"
#include "rpc/protocol_error.h"
#include "rpc/server_codec.h"

namespace {

std::vector<std::string> sampleMessages() {
  auto packet = std::make_shared<rtl::DataPacket>(
      std::vector<rtl::PacketField>{{"CDPRODUTO", rtl::FieldType::String, 10},
                                    {"QT", rtl::FieldType::Integer, 0},
                                    {"VR", rtl::FieldType::Float, 0},
                                    {"OK", rtl::FieldType::Boolean, 0},
                                    {"DT", rtl::FieldType::Date, 0}});
  for (int i = 0; i < 3; ++i) {
    packet->column(0).appendString("PRD000000" + std::to_string(i));
    packet->column(1).appendInteger(i * 1000);
    packet->column(2).appendNumber(i / 3.0);
    packet->column(3).appendBoolean(i % 2 == 0);
    if (i == 1)
      packet->column(4).appendNull();
    else
      packet->column(4).appendNumber(45306.5 + i);
    packet->commitRow();
  }
  std::string ref = "_PRD0000001_";
  std::vector<std::string> messages;
  rpc::OutBuffer out;
  rpc::encodeRequest(out, 1, "attach", {"Vnd42400.rdmTabePreco", "token"});
  messages.emplace_back(out.view());
  out.clear();
  rpc::encodeRequest(
      out, 2, "SetUpdItemPrecoAlt",
      {rtl::Variant::ByRef(ref), rtl::Variant(std::shared_ptr<const rtl::DataPacket>(packet)),
       rtl::Variant::FromBool(true), "0001", rtl::Variant::FromDate(45306), int32_t{-5},
       rtl::Variant::Null()});
  messages.emplace_back(out.view());
  out.clear();
  rpc::encodeAnswer(out, 3, 0, "", packet.get());
  messages.emplace_back(out.view());
  out.clear();
  rpc::encodeError(out, 4, 400, "GetFilial: argumento 2 inválido");
  messages.emplace_back(out.view());
  return messages;
}

std::string mutate(std::string bytes, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255);
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits && !bytes.empty(); ++e) {
    const size_t at = random() % bytes.size();
    switch (random() % 5) {
      case 0:
        bytes[at] = static_cast<char>(byte(random));
        break;
      case 1:
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        break;
      case 2:
        bytes.insert(at, 1, static_cast<char>(byte(random)));
        break;
      case 3:
        bytes.erase(at, 1 + random() % 4);
        break;
      case 4:
        bytes.resize(at);
        break;
    }
  }
  return bytes;
}

TEST(MutationTest, MutatedMessagesFailOnlyWithProtocolErrors) {
  rpc::Limits limits;
  limits.maxMessageBytes = 4096;
  limits.maxStringBytes = 512;
  limits.maxElements = 1000;
  const std::vector<std::string> samples = sampleMessages();
  std::mt19937 random(20240115);
  int decoded = 0, refusedFrames = 0, refusedStreams = 0;
  for (int round = 0; round < 20000; ++round) {
    // Two or three messages, one of them mutated, cut into random pieces.
    std::string stream;
    const int count = 2 + static_cast<int>(random() % 2);
    const int bad = static_cast<int>(random() % count);
    for (int m = 0; m < count; ++m) {
      const std::string& sample = samples[random() % samples.size()];
      stream += m == bad ? mutate(sample, random) : sample;
    }
    rpc::StreamDecoder decoder(limits);
    try {
      for (size_t at = 0; at < stream.size();) {
        const size_t n = std::min<size_t>(1 + random() % 64, stream.size() - at);
        decoder.feed(stream.data() + at, n);
        at += n;
        while (auto frame = decoder.next()) {
          bool ok = false;
          try {
            rpc::decodeRequest(*frame, limits);
            ok = true;
          } catch (const rpc::ProtocolError&) {
          }
          try {
            rpc::decodeResponse(*frame, limits);
            ok = true;
          } catch (const rpc::ProtocolError&) {
          }
          ok ? ++decoded : ++refusedFrames;
        }
      }
    } catch (const rpc::ProtocolError&) {
      ++refusedStreams;  // the connection would be closed here
    }
  }
  // The mutations must have reached every outcome for the test to mean anything: frames that
  // still decode, frames the message decoders refuse, streams the framing refuses.
  EXPECT_GT(decoded, 20000);
  EXPECT_GT(refusedFrames, 500);
  EXPECT_GT(refusedStreams, 2000);
  RecordProperty("decoded", decoded);
  RecordProperty("refused_frames", refusedFrames);
  RecordProperty("refused_streams", refusedStreams);
}

}  // namespace
