#include <gtest/gtest.h>

#include <asio.hpp>

#include "remote/socket_connection.h"
#include "rtl/exceptions.h"
#include "support/fake_server.h"

namespace {

using testsupport::FakeReply;
using testsupport::FakeServer;

struct Connection {
  explicit Connection(uint16_t port) {
    net.SetServerName("Vnd42400.rdmTabePreco");
    net.BeforeConnect = [this, port](tk::TComponent*) {
      ++beforeConnect;
      net.SetHost("127.0.0.1");
      net.SetPort(port);
    };
  }
  remote::TSocketConnection net;
  int beforeConnect = 0;
};

uint16_t closedPort() {
  asio::io_context io;
  asio::ip::tcp::acceptor a(io, {asio::ip::make_address("127.0.0.1"), 0});
  return a.local_endpoint().port();  // closed again when `a` goes
}

TEST(SocketConnectionTest, ConnectsAttachesAndCallsByName) {
  FakeServer server;
  server.queue("GetFilial", FakeReply::ok(testsupport::stringPacket(
                                {{"CDFILIAL", 4}, {"NMFILIAL", 30}}, {{"0001", "Matriz"}})));
  Connection c(server.port());
  c.net.SetConnected(true);
  EXPECT_TRUE(c.net.Connected());
  EXPECT_EQ(c.beforeConnect, 1);
  EXPECT_EQ(server.attachCount(), 1);

  const rtl::Variant answer = c.net.AppServer().Invoke("GetFilial", {"0001", ""});
  const auto& items = answer.asArray();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].asInteger(), 0);
  EXPECT_EQ(items[1].asString(), "");
  EXPECT_EQ(items[2].asPacket()->column(1).string(0), "Matriz");
  EXPECT_EQ(server.callLog(), "GetFilial(str \"0001\", str \"\")\n");

  c.net.SetConnected(false);
  EXPECT_FALSE(c.net.Connected());
  EXPECT_THROW(c.net.AppServer(), rtl::ERemoteError);
}

TEST(SocketConnectionTest, ArgumentsTravelInTheirWireKinds) {
  FakeServer server;
  Connection c(server.port());
  c.net.SetConnected(true);
  std::string flag = "S";
  auto packet = std::make_shared<const rtl::DataPacket>(testsupport::stringPacket(
      {{"IDMARCADO", 1}, {"CDPRODUTO", 10}}, {{std::nullopt, "0000000007"}}));
  c.net.AppServer().Invoke("SetUpdItemPrecoAlt",
                           {rtl::Variant::ByRef(flag), rtl::Variant(packet),
                            rtl::Variant::FromBool(true), rtl::Variant::FromBool(false),
                            rtl::Variant(0), rtl::Variant::FromDate(45657),
                            rtl::Variant::FromDate(45657.75), rtl::Variant::Null()});
  EXPECT_EQ(server.callLog(),
            "SetUpdItemPrecoAlt(ref \"S\", packet{CDPRODUTO=0000000007}, bool true, bool false, "
            "int 0, date 2024-12-31, date 2024-12-31 18:00:00, nil)\n");
}

TEST(SocketConnectionTest, ErrorRepliesRaiseWithTheServersCodeAndKeepTheConnection) {
  FakeServer server;
  server.queue("GetFilial", FakeReply::error(400, "GetFilial: argumento 1 inválido"));
  Connection c(server.port());
  c.net.SetConnected(true);
  try {
    c.net.AppServer().Invoke("GetFilial", {0});
    FAIL() << "no exception";
  } catch (const rtl::ERemoteError& e) {
    EXPECT_EQ(e.message(), "GetFilial: argumento 1 inválido");
    EXPECT_EQ(e.code(), 400);
    EXPECT_EQ(e.method(), "GetFilial");
  }
  c.net.AppServer().Invoke("GetFilial", {"0001", ""});
  EXPECT_EQ(server.connectionCount(), 1);
}

TEST(SocketConnectionTest, ARefusedAttachFailsTheConnect) {
  FakeServer server;
  server.queue("attach", FakeReply::error(404, "servidor desconhecido: X"));
  Connection c(server.port());
  try {
    c.net.SetConnected(true);
    FAIL() << "no exception";
  } catch (const rtl::ERemoteError& e) {
    EXPECT_EQ(e.message(), "servidor desconhecido: X");
  }
  EXPECT_FALSE(c.net.Connected());
}

TEST(SocketConnectionTest, AServerThatIsDownFailsTheConnectClearly) {
  Connection c(closedPort());
  try {
    c.net.SetConnected(true);
    FAIL() << "no exception";
  } catch (const rtl::ERemoteError& e) {
    EXPECT_NE(e.message().find("Não foi possível conectar ao servidor de aplicação 127.0.0.1:"),
              std::string::npos)
        << e.message();
  }
  EXPECT_FALSE(c.net.Connected());
}

TEST(SocketConnectionTest, ACallThatTimesOutFailsAndTheNextCallConnectsAgain) {
  FakeServer server;
  server.queue("GetTabePrec", FakeReply::silent());
  Connection c(server.port());
  c.net.SetTimeouts(std::chrono::seconds(10), std::chrono::milliseconds(300));
  c.net.SetConnected(true);
  try {
    c.net.AppServer().Invoke("GetTabePrec", {"0001"});
    FAIL() << "no exception";
  } catch (const rtl::ERemoteError& e) {
    EXPECT_NE(e.message().find("não respondeu"), std::string::npos) << e.message();
  }
  EXPECT_TRUE(c.net.Connected());
  c.net.AppServer().Invoke("GetTabePrec", {"0001"});
  EXPECT_EQ(server.attachCount(), 2);
  EXPECT_EQ(c.beforeConnect, 2);
}

TEST(SocketConnectionTest, ALostConnectionFailsTheCallInProgress) {
  FakeServer server;
  server.queue("GetTabePrec", FakeReply::close());
  Connection c(server.port());
  c.net.SetConnected(true);
  try {
    c.net.AppServer().Invoke("GetTabePrec", {"0001"});
    FAIL() << "no exception";
  } catch (const rtl::ERemoteError& e) {
    EXPECT_NE(e.message().find("foi perdida"), std::string::npos) << e.message();
  }
}

}  // namespace
