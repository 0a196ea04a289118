// Fuzz target: the MessagePack-RPC stream decoder and, behind it, the server's request reader
// and the client's response reader, as a peer's bytes reach them.
//
// Input: one byte choosing the limits and the way the bytes are cut, then the stream. The
// stream is decoded twice, whole and in pieces (through feed, and through prepare/commit),
// and both must yield the same messages and fail at the same point: the decoder must not
// depend on how the network cuts the bytes. Every message is then read as a request and as a
// response; the only failure allowed anywhere is rpc::ProtocolError.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "rpc/client_codec.h"
#include "rpc/protocol_error.h"
#include "rpc/server_codec.h"
#include "rpc/stream_decoder.h"

namespace {

struct Outcome {
  std::vector<std::string> frames;
  bool failed = false;
};

rpc::Limits limitsFor(uint8_t choice) {
  rpc::Limits limits;
  // Small limits most of the time, so that every limit check is reached by short inputs.
  if (choice & 0x01) limits.maxMessageBytes = 200;
  if (choice & 0x02) limits.maxStringBytes = 24;
  if (choice & 0x04) limits.maxDepth = 3;
  if (choice & 0x08) limits.maxElements = 20;
  return limits;
}

void drain(rpc::StreamDecoder& decoder, Outcome& outcome) {
  while (auto frame = decoder.next()) {
    if (frame->bytes.size() > decoder.limits().maxMessageBytes) std::abort();
    outcome.frames.push_back(std::move(frame->bytes));
  }
}

// Feeds `stream` in pieces whose sizes follow a small generator seeded by `seed`; a piece of
// size 0 is a read that returned nothing.
Outcome decodeInPieces(const std::string& stream, const rpc::Limits& limits, uint8_t seed,
                       bool prepareCommit) {
  Outcome outcome;
  rpc::StreamDecoder decoder(limits);
  uint32_t state = seed * 2654435761u + 1;
  size_t at = 0;
  try {
    while (at < stream.size()) {
      state = state * 1103515245u + 12345u;
      const size_t piece = std::min<size_t>(stream.size() - at, (state >> 16) % 9);
      if (prepareCommit) {
        // Room for more than arrives, as a socket read gives.
        char* room = decoder.prepare(piece + 7);
        std::memcpy(room, stream.data() + at, piece);
        decoder.commit(piece);
      } else {
        decoder.feed(stream.data() + at, piece);
      }
      at += piece;
      drain(decoder, outcome);
    }
  } catch (const rpc::ProtocolError&) {
    outcome.failed = true;
  }
  return outcome;
}

Outcome decodeWhole(const std::string& stream, const rpc::Limits& limits) {
  Outcome outcome;
  rpc::StreamDecoder decoder(limits);
  try {
    decoder.feed(stream.data(), stream.size());
    drain(decoder, outcome);
  } catch (const rpc::ProtocolError&) {
    outcome.failed = true;
  }
  return outcome;
}

void readMessage(const std::string& bytes, const rpc::Limits& limits) {
  const rpc::Frame frame{bytes};
  try {
    (void)rpc::decodeRequest(frame, limits);
  } catch (const rpc::ProtocolError&) {
  }
  try {
    (void)rpc::decodeResponse(frame, limits);
  } catch (const rpc::ProtocolError&) {
  }
}

bool same(const Outcome& a, const Outcome& b) {
  return a.failed == b.failed && a.frames == b.frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  const rpc::Limits limits = limitsFor(choice);
  const std::string stream(reinterpret_cast<const char*>(data) + 1, size - 1);

  const Outcome whole = decodeWhole(stream, limits);
  if (!same(whole, decodeInPieces(stream, limits, choice, false))) std::abort();
  if (!same(whole, decodeInPieces(stream, limits, choice, true))) std::abort();
  for (const std::string& message : whole.frames) readMessage(message, limits);
  return 0;
}
