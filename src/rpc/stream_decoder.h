#pragma once
// Cuts a byte stream into MessagePack-RPC messages. Bytes are fed as they arrive, in pieces of
// any size; next() yields each complete message as a Frame, in order. The decoder checks the
// structure and the Limits while it scans, so a hostile peer can neither make it allocate
// beyond the message limit nor recurse: a violation raises ProtocolError at the first byte
// that shows it, and the decoder is then unusable (the caller closes the connection).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rpc/limits.h"

namespace rpc {

// The bytes of exactly one message, checked by StreamDecoder to be one well-formed MessagePack
// array of three or four values within the limits.
struct Frame {
  std::string bytes;
};

class StreamDecoder {
 public:
  explicit StreamDecoder(Limits limits = {});

  const Limits& limits() const { return limits_; }

  // Copies bytes into the decoder.
  void feed(const char* data, size_t size);
  // Reading straight into the decoder: prepare() returns room for at least `size` bytes, and
  // commit(n) declares that the first n of them were filled. The pointer is valid until the
  // next call of any other member.
  char* prepare(size_t size);
  void commit(size_t size);

  // The next complete message, or nothing until more bytes arrive. Raises ProtocolError.
  std::optional<Frame> next();

  // Bytes received and not yet returned in a Frame (a partial message, or whole messages not
  // asked for yet).
  size_t buffered() const { return end_ - begin_; }
  // True while part of a message has been received.
  bool inMessage() const { return buffered() > 0; }

 private:
  // Scans as far as the buffered bytes allow; true when the message starting at begin_ is
  // complete and ends at scan_.
  bool scan();
  Frame take();

  Limits limits_;
  std::string buffer_;             // holds data in [begin_, end_); its size is the capacity
  size_t begin_ = 0;               // first byte of the message being scanned
  size_t end_ = 0;                 // end of the received bytes
  size_t scan_ = 0;                // next header to read; may lie past end_ while a payload arrives
  std::vector<uint64_t> pending_;  // values still expected by each open container
  size_t elements_ = 0;
};

}  // namespace rpc
