#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rpc/protocol_error.h"
#include "rpc/stream_decoder.h"

namespace {

using namespace std::string_literals;

// [0, 1, "GetFilial", ["0001", ""]]
const std::string kRequest =
    "\x94\x00\x01\xa9GetFilial\x92\xa4"
    "0001\xa0"s;
// [1, 1, nil, true]
const std::string kResponse = "\x94\x01\x01\xc0\xc3"s;

std::vector<std::string> drain(rpc::StreamDecoder& decoder) {
  std::vector<std::string> frames;
  while (auto frame = decoder.next()) frames.push_back(frame->bytes);
  return frames;
}

// A request whose params are n arrays nested in each other: [0, 1, "m", [[...[nil]...]]].
std::string nested(int arrays) {
  std::string bytes = "\x94\x00\x01\xa1m"s;
  for (int i = 0; i < arrays; ++i) bytes += '\x91';
  bytes += '\xc0';
  return bytes;
}

TEST(StreamDecoderTest, CutsSplitAndConcatenatedStreamsIntoWholeMessages) {
  const std::string stream = kRequest + kResponse + kRequest;

  rpc::StreamDecoder together;
  together.feed(stream.data(), stream.size());
  EXPECT_EQ(drain(together), (std::vector<std::string>{kRequest, kResponse, kRequest}));
  EXPECT_EQ(together.buffered(), 0u);

  // One byte at a time: each message comes out exactly when its last byte arrives.
  rpc::StreamDecoder byByte;
  std::vector<std::string> frames;
  std::vector<size_t> completedAt;
  for (size_t i = 0; i < stream.size(); ++i) {
    byByte.feed(&stream[i], 1);
    for (auto& f : drain(byByte)) {
      frames.push_back(f);
      completedAt.push_back(i + 1);
    }
  }
  EXPECT_EQ(frames, (std::vector<std::string>{kRequest, kResponse, kRequest}));
  const size_t a = kRequest.size(), b = a + kResponse.size(), c = b + kRequest.size();
  EXPECT_EQ(completedAt, (std::vector<size_t>{a, b, c}));

  // A message cut inside a string payload waits for the rest.
  rpc::StreamDecoder partial;
  partial.feed(kRequest.data(), 6);
  EXPECT_FALSE(partial.next());
  EXPECT_TRUE(partial.inMessage());
  partial.feed(kRequest.data() + 6, kRequest.size() - 6);
  EXPECT_EQ(drain(partial), std::vector<std::string>{kRequest});
}

TEST(StreamDecoderTest, ReadsEveryValueFormatAndLargeMessages) {
  // [0, 7, "m", [nil, false, -1, 200, 70000, -200, 1.5f, 2.5, bin8, fixext1, ext8, {1: 2},
  //              u64, i64, str16]]
  std::string params =
      "\xc0\xc2\xff\xcc\xc8\xce\x00\x01\x11\x70\xd1\xff\x38\xca\x3f\xc0\x00\x00"
      "\xcb\x40\x04\x00\x00\x00\x00\x00\x00\xc4\x02xy\xd4\x02z\xc7\x01\x01w\x81\x01\x02"
      "\xcf\x00\x00\x00\x00\x00\x00\x00\x01\xd3\xff\xff\xff\xff\xff\xff\xff\xfe"s;
  params += "\xda\x01\x00"s + std::string(256, 'x');
  const std::string message = "\x94\x00\x07\xa1m\x9f"s + params;
  rpc::StreamDecoder decoder;
  decoder.feed(message.data(), message.size());
  EXPECT_EQ(drain(decoder), std::vector<std::string>{message});

  // A message larger than the buffer's first allocation, read straight into the decoder.
  const std::string big = "\x94\x01\x02\xc0\xdb\x00\x02\x00\x00"s + std::string(0x20000, 'b');
  rpc::StreamDecoder reader;
  for (size_t at = 0; at < big.size(); at += 5000) {
    const size_t n = std::min<size_t>(5000, big.size() - at);
    std::copy_n(big.data() + at, n, reader.prepare(n));
    reader.commit(n);
  }
  EXPECT_EQ(drain(reader), std::vector<std::string>{big});
}

TEST(StreamDecoderTest, RefusesBytesThatAreNotAMessage) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"never-used byte", "\x94\x00\x01\xc1"s},
      {"top-level integer", "\x05"s},
      {"top-level map", "\x81\xa1k\xa1v"s},
      {"array of two", "\x92\x00\x01"s},
      {"array of five", "\x95"s},
  };
  for (const auto& [what, bytes] : cases) {
    rpc::StreamDecoder decoder;
    decoder.feed(bytes.data(), bytes.size());
    EXPECT_THROW(decoder.next(), rpc::ProtocolError) << what;
  }
}

TEST(StreamDecoderTest, RefusesOverLimitHeadersBeforeTheirPayloadArrives) {
  rpc::Limits limits;
  limits.maxMessageBytes = 1000;
  limits.maxStringBytes = 100;
  limits.maxElements = 50;

  const std::vector<std::pair<std::string, std::string>> cases = {
      // str32 claiming 4 GiB: refused on its 5 header bytes.
      {"oversize string header", "\x94\x00\x01\xdb\xff\xff\xff\xff"s},
      {"oversize ext header", "\x94\x00\x01\xa1m\x91\xc9\x00\x00\x01\x00\x01"s},
      {"huge array header", "\x94\x00\x01\xa1m\xdd\xff\xff\xff\xff"s},
      {"huge map header", "\x94\x00\x01\xa1m\xdf\x00\x00\x00\x1a"s},
  };
  for (const auto& [what, bytes] : cases) {
    rpc::StreamDecoder decoder(limits);
    decoder.feed(bytes.data(), bytes.size());
    EXPECT_THROW(decoder.next(), rpc::ProtocolError) << what;
  }

  // Strings each within their limit whose sum passes the message limit: refused at the header
  // that crosses it, before that string's payload was sent.
  rpc::StreamDecoder decoder(limits);
  std::string stream = "\x94\x00\x01\xa1m\x9f"s;
  for (int i = 0; i < 9; ++i) stream += "\xd9\x64"s + std::string(100, 's');
  stream += "\xd9\x64"s;
  decoder.feed(stream.data(), stream.size());
  EXPECT_THROW(decoder.next(), rpc::ProtocolError);

  // The default string limit is 64 MiB: a header of exactly that waits for its payload, one
  // byte more is refused.
  rpc::StreamDecoder atLimit;
  const std::string fits = "\x94\x00\x01\xa1m\x91\xdb\x04\x00\x00\x00"s;
  atLimit.feed(fits.data(), fits.size());
  EXPECT_FALSE(atLimit.next());
  rpc::StreamDecoder overLimit;
  const std::string over = "\x94\x00\x01\xa1m\x91\xdb\x04\x00\x00\x01"s;
  overLimit.feed(over.data(), over.size());
  EXPECT_THROW(overLimit.next(), rpc::ProtocolError);
}

TEST(StreamDecoderTest, AllowsNestingUpToTheDepthLimitOnly) {
  // The message is level 1 and params, the first of the nested arrays, level 2: 31 nested
  // arrays reach depth 32.
  rpc::StreamDecoder decoder;
  const std::string deepest = nested(31);
  decoder.feed(deepest.data(), deepest.size());
  EXPECT_EQ(drain(decoder), std::vector<std::string>{deepest});

  rpc::StreamDecoder tooDeep;
  const std::string over = nested(32);
  tooDeep.feed(over.data(), over.size());
  EXPECT_THROW(tooDeep.next(), rpc::ProtocolError);

  // A hundred thousand levels are refused at level 33, without recursion.
  rpc::StreamDecoder hostile;
  const std::string bomb = nested(100000);
  hostile.feed(bomb.data(), bomb.size());
  EXPECT_THROW(hostile.next(), rpc::ProtocolError);
}

}  // namespace
