#include "server/net/proxy_protocol.h"

#include <asio/ip/address.hpp>

#include <cstring>
#include <stdexcept>

namespace server {

namespace {

constexpr char kSignature[12] = {'\r', '\n', '\r', '\n', '\0', '\r',
                                 '\n', 'Q',  'U',  'I',  'T',  '\n'};
constexpr size_t kFixed = 16;

unsigned port(const unsigned char* p) {
  return (unsigned{p[0]} << 8) | p[1];
}

// An address's bytes in network order, as a string of 4 or 16.
std::string bytesOf(const asio::ip::address& address) {
  if (address.is_v4()) {
    const auto b = address.to_v4().to_bytes();
    return std::string(reinterpret_cast<const char*>(b.data()), b.size());
  }
  const auto b = address.to_v6().to_bytes();
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

}  // namespace

ProxyRead readProxyHeader(std::string_view bytes, ProxyHeader& header) {
  const size_t known = std::min(bytes.size(), sizeof kSignature);
  if (std::memcmp(bytes.data(), kSignature, known) != 0) return ProxyRead::Invalid;
  if (bytes.size() < kFixed) return ProxyRead::NeedMore;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned versionCommand = p[12], family = p[13];
  const size_t length = port(p + 14);
  if ((versionCommand & 0xF0) != 0x20 || length > kMaxProxyBody) return ProxyRead::Invalid;
  if (bytes.size() < kFixed + length) return ProxyRead::NeedMore;
  header = ProxyHeader{};
  header.size = kFixed + length;
  const unsigned command = versionCommand & 0x0F;
  if (command == 0x0) return ProxyRead::Done;  // LOCAL
  if (command != 0x1) return ProxyRead::Invalid;
  const unsigned char* body = p + kFixed;
  if (family == 0x11 && length >= 12) {
    asio::ip::address_v4::bytes_type source;
    std::memcpy(source.data(), body, 4);
    header.address = asio::ip::make_address_v4(source).to_string();
    header.source = header.address + ":" + std::to_string(port(body + 8));
    return ProxyRead::Done;
  }
  if (family == 0x21 && length >= 36) {
    asio::ip::address_v6::bytes_type source;
    std::memcpy(source.data(), body, 16);
    header.address = asio::ip::make_address_v6(source).to_string();
    header.source = "[" + header.address + "]:" + std::to_string(port(body + 32));
    return ProxyRead::Done;
  }
  return ProxyRead::Invalid;  // PROXY with no TCP address
}

TrustedProxies::TrustedProxies(const std::vector<std::string>& entries) {
  for (const std::string& entry : entries) {
    const size_t slash = entry.find('/');
    std::error_code ec;
    const auto address = asio::ip::make_address(entry.substr(0, slash), ec);
    if (ec) throw std::invalid_argument("not an address or network: " + entry);
    const int bits = address.is_v4() ? 32 : 128;
    int prefix = bits;
    if (slash != std::string::npos) {
      try {
        size_t used = 0;
        prefix = std::stoi(entry.substr(slash + 1), &used);
        if (used != entry.size() - slash - 1) prefix = -1;
      } catch (const std::exception&) {
        prefix = -1;
      }
      if (prefix < 0 || prefix > bits) throw std::invalid_argument("not a network: " + entry);
    }
    networks_.push_back({bytesOf(address), prefix});
  }
}

bool TrustedProxies::trusts(const std::string& text) const {
  std::error_code ec;
  auto address = asio::ip::make_address(text, ec);
  if (ec) return false;
  // An IPv4 client of a dual-stack listener arrives as ::ffff:a.b.c.d.
  if (address.is_v6() && address.to_v6().is_v4_mapped())
    address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
  const std::string bytes = bytesOf(address);
  for (const Network& network : networks_) {
    if (network.bytes.size() != bytes.size()) continue;
    const int whole = network.prefix / 8, rest = network.prefix % 8;
    if (bytes.compare(0, static_cast<size_t>(whole), network.bytes, 0,
                      static_cast<size_t>(whole)) != 0)
      continue;
    if (rest == 0) return true;
    const auto mask = static_cast<unsigned char>(0xFF << (8 - rest));
    if ((static_cast<unsigned char>(bytes[static_cast<size_t>(whole)]) & mask) ==
        (static_cast<unsigned char>(network.bytes[static_cast<size_t>(whole)]) & mask))
      return true;
  }
  return false;
}

}  // namespace server
