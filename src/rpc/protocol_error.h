#pragma once
// A violation of the MessagePack-RPC framing or of the reader's limits: bytes that are not
// MessagePack, a message that is too large or too deep, or a message of the wrong shape for
// its place. The connection that carried it cannot be trusted any further and is closed.

#include <stdexcept>
#include <string>

namespace rpc {

class ProtocolError : public std::runtime_error {
 public:
  explicit ProtocolError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace rpc
