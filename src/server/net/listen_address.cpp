#include "server/net/listen_address.h"

#include <charconv>

namespace server {

std::optional<ListenAddress> parseListenAddress(std::string_view text) {
  const size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view host = text.substr(0, colon);
  const std::string_view port = text.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return std::nullopt;  // an IPv6 address without brackets is ambiguous
  }
  if (host.empty() || port.empty() || port.size() > 5) return std::nullopt;
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (ec != std::errc() || end != port.data() + port.size() || value > 65535) return std::nullopt;
  return ListenAddress{std::string(host), static_cast<uint16_t>(value)};
}

}  // namespace server
