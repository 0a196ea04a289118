// The PROXY protocol's header as balancers send it, read whole or in pieces, and the balancers'
// addresses the server trusts to send one.

#include <gtest/gtest.h>

#include "server/net/proxy_protocol.h"

namespace servertest {
namespace {

using server::ProxyHeader;
using server::ProxyRead;

std::string header(unsigned char command, unsigned char family, std::string body) {
  std::string h("\r\n\r\n\0\r\nQUIT\n", 12);
  h += static_cast<char>(command);
  h += static_cast<char>(family);
  h += static_cast<char>(body.size() >> 8);
  h += static_cast<char>(body.size() & 0xFF);
  return h + body;
}

std::string outcome(const std::string& bytes) {
  ProxyHeader h;
  switch (server::readProxyHeader(bytes, h)) {
    case ProxyRead::NeedMore:
      return "more";
    case ProxyRead::Invalid:
      return "invalid";
    case ProxyRead::Done:
      return "done " + std::to_string(h.size) + " " + (h.source.empty() ? "local" : h.source);
  }
  return "?";
}

TEST(ProxyProtocolTest, HeadersAreReadWholeOrAskForMoreAndAnythingElseIsRefused) {
  // 10.1.2.3:50412 -> 10.0.0.1:2110, then an extension of 3 bytes that is skipped.
  const std::string v4 =
      header(0x21, 0x11,
             std::string("\x0a\x01\x02\x03\x0a\x00\x00\x01\xc4\xec\x08\x3e", 12) +
                 std::string("\x04\x00\x00", 3));
  EXPECT_EQ(outcome(v4), "done 31 10.1.2.3:50412");
  EXPECT_EQ(outcome(v4 + "\x94\x00"), "done 31 10.1.2.3:50412") << "the client's bytes follow";
  for (size_t cut : {1, 11, 12, 15, 16, 30}) EXPECT_EQ(outcome(v4.substr(0, cut)), "more") << cut;
  std::string v6body(36, '\0');
  v6body[15] = 1;  // ::1
  v6body[32] = 0x01;
  v6body[33] = 0x02;
  EXPECT_EQ(outcome(header(0x21, 0x21, v6body)), "done 52 [::1]:258");
  EXPECT_EQ(outcome(header(0x20, 0x00, "")), "done 16 local") << "the balancer's own check";

  EXPECT_EQ(outcome(std::string("\x94\x00\x01", 3)), "invalid") << "a plain request";
  EXPECT_EQ(outcome("PROXY TCP4 10.1.2.3 10.0.0.1 1 2\r\n"), "invalid") << "version 1 text";
  EXPECT_EQ(outcome(header(0x11, 0x11, std::string(12, '\0'))), "invalid") << "version 1";
  EXPECT_EQ(outcome(header(0x21, 0x11, std::string(4, '\0'))), "invalid") << "short addresses";
  EXPECT_EQ(outcome(header(0x21, 0x31, std::string(216, '\0'))), "invalid") << "unix sockets";
  EXPECT_EQ(outcome(header(0x21, 0x11, std::string(513, '\0'))), "invalid") << "too long";
}

TEST(ProxyProtocolTest, OnlyTheNamedBalancersAreTrusted) {
  const server::TrustedProxies trusted({"10.0.0.0/8", "192.168.1.7", "fd00::/8"});
  EXPECT_TRUE(trusted.trusts("10.200.3.4"));
  EXPECT_TRUE(trusted.trusts("192.168.1.7"));
  EXPECT_TRUE(trusted.trusts("::ffff:10.1.1.1")) << "IPv4 through a dual-stack listener";
  EXPECT_TRUE(trusted.trusts("fd12::1"));
  EXPECT_FALSE(trusted.trusts("11.0.0.1"));
  EXPECT_FALSE(trusted.trusts("192.168.1.8"));
  EXPECT_FALSE(trusted.trusts("fe80::1"));
  EXPECT_FALSE(trusted.trusts("not an address"));
  EXPECT_TRUE(server::TrustedProxies().empty());
  EXPECT_THROW(server::TrustedProxies({"10.0.0.0/33"}), std::invalid_argument);
  EXPECT_THROW(server::TrustedProxies({"balancer"}), std::invalid_argument);
}

}  // namespace
}  // namespace servertest
