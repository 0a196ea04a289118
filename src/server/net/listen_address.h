#pragma once
// The address `serve --listen` takes: HOST:PORT, with an IPv6 host in brackets
// ("127.0.0.1:2110", "[::1]:0", "localhost:2110"). Port 0 asks the system for a free port.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace server {

struct ListenAddress {
  std::string host;
  uint16_t port = 0;
};

// Nothing when the text is not HOST:PORT with a non-empty host and a port of 0 to 65535.
std::optional<ListenAddress> parseListenAddress(std::string_view text);

}  // namespace server
