#pragma once
// The bounds a reader of MessagePack-RPC applies to what a peer sends. A message that breaks
// one of them is refused before anything of its size is allocated, and the connection that
// carried it is closed. Both the server and the client read with these limits.

#include <cstddef>

namespace rpc {

struct Limits {
  // Bytes of one whole message, headers included.
  size_t maxMessageBytes = size_t{256} << 20;
  // Payload bytes of one str, bin or ext value.
  size_t maxStringBytes = size_t{64} << 20;
  // Containers (arrays and maps) nested inside each other; the message itself counts as 1.
  unsigned maxDepth = 32;
  // Values of one message, containers and map keys included. Each value costs a decoded
  // object of about 24 bytes, so this bounds the memory of decoding where the byte limit
  // alone would allow a 256 MiB message of empty arrays to expand twenty-fold.
  size_t maxElements = size_t{16} << 20;
};

}  // namespace rpc
