#pragma once
// What the server object remembers between the calls of one connection, beside who is calling:
// the prefix change the connection's last call made, which the promotion update after it may
// complete as one confirmation (prefix_link.h). The network layer keeps one in each
// connection's CallContext and never looks inside; it goes when the connection goes. The calls
// of one connection run one at a time, so it needs no lock.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace server {

// A journaled prefix change, and the selection texts it was made for, as sent.
struct PrefixChangeMade {
  int64_t change = 0;  // its ALTERACAOLOG row
  std::string first, last, list, all;
};

struct ConnectionMemory {
  std::optional<PrefixChangeMade> previous;  // made by the call before the running one
  std::optional<PrefixChangeMade> made;      // made by the running call, for the next one

  // At the start of every call of a method: what the last call made is now the previous one's.
  void startCall() { previous = std::exchange(made, std::nullopt); }
};

}  // namespace server
