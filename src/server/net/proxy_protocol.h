#pragma once
// The PROXY protocol, version 2, as a TCP balancer in front of the servers sends it: a binary
// header before the client's first byte that says whose connection it carries, so that the
// journal and the log keep the real client's address. It is read only from the addresses the
// operator names (the balancers); a connection from any of them must start with it, and from
// anyone else it is never looked for, so nobody can forge an address by sending one.
//
//   header   := signature(12) ver_cmd(1) family(1) length(2, big-endian) body(length)
//   signature = 0D 0A 0D 0A 00 0D 0A 51 55 49 54 0A
//   ver_cmd  = 0x21 PROXY (addresses follow) | 0x20 LOCAL (the balancer's own, e.g. a health
//              check: the connection's own address stands)
//   family   = 0x11 TCP over IPv4: source(4) destination(4) source port(2) destination port(2)
//            | 0x21 TCP over IPv6: source(16) destination(16) ports as above
//            | anything else with LOCAL, or 0x00: no address
//   body     = the addresses, then type-length-value extensions, which are skipped

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace server {

struct ProxyHeader {
  size_t size = 0;      // bytes the header took
  std::string source;   // "10.1.2.3:50412" or "[::1]:50412"; empty: LOCAL, keep the own address
  std::string address;  // the source without its port
};

enum class ProxyRead { NeedMore, Done, Invalid };

// Reads a header from the start of `bytes`. Bodies longer than kMaxProxyBody are Invalid.
ProxyRead readProxyHeader(std::string_view bytes, ProxyHeader& header);
inline constexpr size_t kMaxProxyBody = 512;

// The addresses of the balancers: single addresses or networks ("10.0.0.5", "10.0.0.0/24",
// "::1", "fd00::/8").
class TrustedProxies {
 public:
  // Throws std::invalid_argument naming the entry that is neither.
  explicit TrustedProxies(const std::vector<std::string>& entries = {});
  bool empty() const { return networks_.empty(); }
  bool trusts(const std::string& address) const;

 private:
  struct Network {
    std::string bytes;  // 4 or 16 address bytes
    int prefix;
  };
  std::vector<Network> networks_;
};

}  // namespace server
