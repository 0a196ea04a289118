// Framing of MessagePack-RPC on a byte stream.
//
// The stream is a sequence of messages written back to back, with no length prefix:
//
//   stream   := message*
//   message  := array of 3 or 4 values          (request, response or notification)
//   value    := scalar | str | bin | ext | array | map
//   scalar   := positive fixint 00-7f | negative fixint e0-ff | nil c0 | false c2 | true c3
//             | float32 ca + 4 | float64 cb + 8 | uint8..64 cc-cf + 1/2/4/8
//             | int8..64 d0-d3 + 1/2/4/8
//   str      := fixstr a0-bf | str8 d9 n:1 | str16 da n:2 | str32 db n:4, then n bytes
//   bin      := bin8 c4 n:1 | bin16 c5 n:2 | bin32 c6 n:4, then n bytes
//   ext      := fixext d4-d8 type:1 (then 1, 2, 4, 8, 16 bytes)
//             | ext8 c7 n:1 type:1 | ext16 c8 n:2 type:1 | ext32 c9 n:4 type:1, then n bytes
//   array    := fixarray 90-9f | array16 dc n:2 | array32 dd n:4, then n values
//   map      := fixmap 80-8f | map16 de n:2 | map32 df n:4, then n key/value pairs
//
// Lengths are big-endian. Byte c1 is never used. The decoder reads only headers: it keeps one
// counter per open container (never more than Limits::maxDepth), skips payloads by their
// declared length and refuses a message as soon as a header shows it would break a limit, so
// no payload is ever allocated on a peer's word alone.

#include "rpc/stream_decoder.h"

#include <algorithm>
#include <cstring>

#include "rpc/protocol_error.h"

namespace rpc {
namespace {

// Messages at least this large are handed over by moving the buffer instead of copying it
// when they are all that was received; smaller ones are copied so the buffer is reused.
constexpr size_t kMoveThreshold = 64 * 1024;

uint64_t bigEndian(const unsigned char* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
  return v;
}

// What a header byte announces.
struct Header {
  size_t size;      // header bytes, including the type byte of an ext
  int lengthBytes;  // bytes of the big-endian length after the first byte
  uint64_t fixed;   // payload bytes, or elements of a fix container, when lengthBytes is 0
  enum Kind { Scalar, Payload, Array, Map } kind;
};

Header classify(unsigned char t) {
  if (t <= 0x7f || t >= 0xe0) return {1, 0, 0, Header::Scalar};
  if (t <= 0x8f) return {1, 0, uint64_t{t} & 0x0f, Header::Map};
  if (t <= 0x9f) return {1, 0, uint64_t{t} & 0x0f, Header::Array};
  if (t <= 0xbf) return {1, 0, uint64_t{t} & 0x1f, Header::Payload};
  switch (t) {
    case 0xc0:
    case 0xc2:
    case 0xc3:
      return {1, 0, 0, Header::Scalar};
    case 0xc4:
    case 0xd9:
      return {2, 1, 0, Header::Payload};
    case 0xc5:
    case 0xda:
      return {3, 2, 0, Header::Payload};
    case 0xc6:
    case 0xdb:
      return {5, 4, 0, Header::Payload};
    case 0xc7:
      return {3, 1, 0, Header::Payload};
    case 0xc8:
      return {4, 2, 0, Header::Payload};
    case 0xc9:
      return {6, 4, 0, Header::Payload};
    case 0xca:
      return {5, 0, 0, Header::Scalar};
    case 0xcb:
      return {9, 0, 0, Header::Scalar};
    case 0xcc:
    case 0xd0:
      return {2, 0, 0, Header::Scalar};
    case 0xcd:
    case 0xd1:
      return {3, 0, 0, Header::Scalar};
    case 0xce:
    case 0xd2:
      return {5, 0, 0, Header::Scalar};
    case 0xcf:
    case 0xd3:
      return {9, 0, 0, Header::Scalar};
    case 0xd4:
      return {2, 0, 1, Header::Payload};
    case 0xd5:
      return {2, 0, 2, Header::Payload};
    case 0xd6:
      return {2, 0, 4, Header::Payload};
    case 0xd7:
      return {2, 0, 8, Header::Payload};
    case 0xd8:
      return {2, 0, 16, Header::Payload};
    case 0xdc:
      return {3, 2, 0, Header::Array};
    case 0xdd:
      return {5, 4, 0, Header::Array};
    case 0xde:
      return {3, 2, 0, Header::Map};
    case 0xdf:
      return {5, 4, 0, Header::Map};
    default:
      break;  // 0xc1
  }
  throw ProtocolError("malformed MessagePack: byte 0xc1 is never used");
}

}  // namespace

StreamDecoder::StreamDecoder(Limits limits) : limits_(limits) {
  pending_.reserve(limits_.maxDepth);
}

void StreamDecoder::feed(const char* data, size_t size) {
  if (size == 0) return;
  std::memcpy(prepare(size), data, size);
  commit(size);
}

char* StreamDecoder::prepare(size_t size) {
  if (buffer_.size() - end_ >= size) return buffer_.data() + end_;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    scan_ -= begin_;
    begin_ = 0;
  }
  if (buffer_.size() - end_ < size) {
    // Doubling keeps appends linear; the cap keeps a maximal message from doubling past it.
    size_t grown = std::max(buffer_.size() * 2, size_t{4096});
    grown = std::min(grown, limits_.maxMessageBytes + size);
    buffer_.resize(std::max(grown, end_ + size));
  }
  return buffer_.data() + end_;
}

void StreamDecoder::commit(size_t size) {
  end_ += std::min(size, buffer_.size() - end_);
}

std::optional<Frame> StreamDecoder::next() {
  if (!scan()) return std::nullopt;
  return take();
}

bool StreamDecoder::scan() {
  const auto* bytes = reinterpret_cast<const unsigned char*>(buffer_.data());
  for (;;) {
    if (scan_ > begin_ && pending_.empty()) return scan_ <= end_;
    if (scan_ >= end_) return false;

    const Header h = classify(bytes[scan_]);
    if (end_ - scan_ < h.size) return false;
    const uint64_t declared = h.lengthBytes ? bigEndian(bytes + scan_ + 1, h.lengthBytes) : h.fixed;
    uint64_t payload = 0;
    uint64_t children = 0;
    switch (h.kind) {
      case Header::Scalar:
        break;
      case Header::Payload:
        payload = declared;
        break;
      case Header::Array:
        children = declared;
        break;
      case Header::Map:
        children = declared * 2;
        break;
    }
    const bool container = h.kind == Header::Array || h.kind == Header::Map;

    if (pending_.empty()) {
      if (h.kind != Header::Array || (children != 3 && children != 4))
        throw ProtocolError("malformed message: not an array of 3 or 4 values");
    }
    if (payload > limits_.maxStringBytes)
      throw ProtocolError("value of " + std::to_string(payload) + " bytes over the limit of " +
                          std::to_string(limits_.maxStringBytes));
    if (container && pending_.size() >= limits_.maxDepth)
      throw ProtocolError("message nested deeper than " + std::to_string(limits_.maxDepth));
    if (++elements_ > limits_.maxElements || children > limits_.maxElements)
      throw ProtocolError("message of more than " + std::to_string(limits_.maxElements) +
                          " values");
    const uint64_t size = (scan_ - begin_) + h.size + payload;
    if (size > limits_.maxMessageBytes)
      throw ProtocolError("message larger than " + std::to_string(limits_.maxMessageBytes) +
                          " bytes");
    scan_ += h.size + payload;

    if (!pending_.empty()) --pending_.back();
    if (container && children > 0) {
      pending_.push_back(children);
    } else {
      while (!pending_.empty() && pending_.back() == 0) pending_.pop_back();
    }
  }
}

Frame StreamDecoder::take() {
  Frame frame;
  if (begin_ == 0 && scan_ == end_ && scan_ >= kMoveThreshold) {
    buffer_.resize(scan_);
    frame.bytes = std::move(buffer_);
    buffer_ = std::string();
    begin_ = end_ = scan_ = 0;
  } else {
    frame.bytes.assign(buffer_.data() + begin_, scan_ - begin_);
    begin_ = scan_;
    if (begin_ == end_) begin_ = end_ = scan_ = 0;
  }
  elements_ = 0;
  return frame;
}

}  // namespace rpc
