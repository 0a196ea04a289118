// Clients that misbehave at the network layer, against the server in-process with a fake server
// object: one that goes away in the middle of a request or of a call, one that sends half a
// message and stalls, and where the server listens when it is not told. Every other client
// must be served as if nothing happened, and a client that left must not keep its place.

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_object.h"
#include "running_server.h"

namespace servertest {
namespace {

using namespace std::string_literals;
using testsupport::describe;
using testsupport::RpcClient;

// The bytes of attach(["Test.Fake"]) with msgid 1.
const std::string kAttach =
    "\x94\x00\x01\xa6"
    "attach\x91\xa9"
    "Test.Fake"s;

std::unique_ptr<RpcClient> attached(uint16_t port) {
  auto client = std::make_unique<RpcClient>(port);
  const auto response = client->attach("Test.Fake");
  if (describe(response) != "true") throw std::runtime_error("attach: " + describe(response));
  return client;
}

// A new attached connection, once the server has let go of the one that held the only place;
// until then the server refuses it by closing it at once.
std::unique_ptr<RpcClient> attachedOnceFree(uint16_t port) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    try {
      return attached(port);
    } catch (const std::exception&) {
    }
  }
  return nullptr;
}

std::string echo(RpcClient& client, const std::string& text) {
  const rpc::Response response = client.call("Echo", {text, int32_t{0}});
  if (response.error) return describe(response);
  return std::string(response.result.asArray()[2].asPacket()->column(0).string(0));
}

TEST(ConnectionFaultsTest, AClientThatLeavesMidRequestOrMidCallGivesUpItsPlace) {
  FakeObject object;
  server::ServerConfig config;
  config.maxConnections = 1;
  RunningServer running(config, {&object});

  // Half a request, then gone.
  {
    RpcClient leaving(running.port);
    ASSERT_TRUE(leaving.sendRaw(kAttach.substr(0, 7)));
  }
  auto next = attachedOnceFree(running.port);
  ASSERT_TRUE(next) << "the place of a client gone mid-request was never freed";
  EXPECT_EQ(echo(*next, "after a half request"), "after a half request");

  // A whole request whose call is still running when its client goes: the answer has nowhere
  // to go, and the place is freed once the call ends.
  next->send("Slow", {});
  object.gate.awaitWaiting(1);
  next.reset();
  object.gate.open();
  auto last = attachedOnceFree(running.port);
  ASSERT_TRUE(last) << "the place of a client gone mid-call was never freed";
  EXPECT_EQ(echo(*last, "after a call nobody waited for"), "after a call nobody waited for");
}

TEST(ConnectionFaultsTest, ClientsStalledInTheMiddleOfAMessageHoldUpNobody) {
  FakeObject object;
  server::ServerConfig config;
  config.workers = 1;  // a server that waited for a stalled message would serve nobody else
  RunningServer running(config, {&object});

  std::vector<std::unique_ptr<RpcClient>> stalled;
  for (size_t cut : {1, 5, 12}) {
    stalled.push_back(std::make_unique<RpcClient>(running.port));
    ASSERT_TRUE(stalled.back()->sendRaw(kAttach.substr(0, cut)));
  }
  auto good = attached(running.port);
  for (int i = 0; i < 20; ++i) {
    const std::string text = "call " + std::to_string(i);
    ASSERT_EQ(echo(*good, text), text);
  }
  for (const auto& client : stalled) EXPECT_FALSE(client->readable(std::chrono::milliseconds(0)));

  // A stalled client that goes on is answered as if it had never paused.
  ASSERT_TRUE(stalled[1]->sendRaw(kAttach.substr(5)));
  EXPECT_EQ(describe(stalled[1]->receive()), "true");
  EXPECT_EQ(echo(*stalled[1], "resumed"), "resumed");
  EXPECT_FALSE(stalled[0]->readable(std::chrono::milliseconds(0)));
}

// The machine's IPv4 addresses other than loopback.
std::vector<in_addr> outwardAddresses() {
  std::vector<in_addr> found;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    const in_addr address = reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr;
    if ((ntohl(address.s_addr) >> 24) != 127) found.push_back(address);
  }
  freeifaddrs(list);
  return found;
}

bool connects(in_addr address, uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr = address;
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0;
  ::close(fd);
  return ok;
}

TEST(ConnectionFaultsTest, AServerNotToldWhereToListenListensOnLoopbackOnly) {
  FakeObject object;
  RunningServer running(server::ServerConfig{}, {&object});
  EXPECT_EQ(running.bound, "127.0.0.1:" + std::to_string(running.port));
  for (const in_addr address : outwardAddresses()) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    EXPECT_FALSE(connects(address, running.port)) << "reachable on " << text;
  }
  EXPECT_EQ(echo(*attached(running.port), "on loopback"), "on loopback");
}

}  // namespace
}  // namespace servertest
