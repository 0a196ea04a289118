// The TCP server in-process, over real loopback sockets, with a fake server object whose calls
// can be held at a gate: ordering, concurrency, protocol violations, connection limit and
// graceful stop, each observed from the client side.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fake_object.h"
#include "rpc/client_codec.h"
#include "server/net/byte_budget.h"
#include "server/net/server.h"
#include "support/server_process.h"

namespace {

using namespace std::string_literals;
using testsupport::describe;
using testsupport::RpcClient;

class RunningServer {
 public:
  explicit RunningServer(server::ServerConfig config, servertest::FakeObject& object,
                         bool catchSignals = false)
      : server_(withPortZero(std::move(config)), {&object}) {
    std::promise<void> done;
    finished_ = done.get_future();
    const std::string bound = server_.listen(catchSignals);
    port = static_cast<uint16_t>(std::stoi(bound.substr(bound.rfind(':') + 1)));
    thread_ = std::thread([this, done = std::move(done)]() mutable {
      server_.run();
      returnedAt_ = std::chrono::steady_clock::now();
      done.set_value();
    });
  }
  ~RunningServer() { stop(); }

  // Asks the server to stop and waits until run() returned.
  void stop() {
    if (!thread_.joinable()) return;
    server_.stop();
    thread_.join();
  }
  void requestStop() { server_.stop(); }
  // Waits for run() to return; false if it has not within `limit`.
  bool joined(std::chrono::milliseconds limit = testsupport::kDeadline) {
    if (finished_.wait_for(limit) != std::future_status::ready) return false;
    thread_.join();
    return true;
  }
  // When run() returned; valid once joined() said so.
  std::chrono::steady_clock::time_point returnedAt() const { return returnedAt_; }

  uint16_t port = 0;

 private:
  static server::ServerConfig withPortZero(server::ServerConfig config) {
    config.host = "127.0.0.1";
    config.port = 0;
    return config;
  }

  server::Server server_;
  std::future<void> finished_;
  std::chrono::steady_clock::time_point returnedAt_;
  std::thread thread_;
};

std::unique_ptr<RpcClient> attached(uint16_t port) {
  auto client = std::make_unique<RpcClient>(port);
  const auto response = client->attach("Test.Fake");
  if (describe(response) != "true") throw std::runtime_error("attach: " + describe(response));
  return client;
}

std::string echoed(const rpc::Response& response) {
  if (response.error) return describe(response);
  return std::string(response.result.asArray()[2].asPacket()->column(0).string(0));
}

TEST(ServerTest, AnswersPipelinedRequestsInOrder) {
  servertest::FakeObject object;
  RunningServer running({}, object);
  RpcClient client(running.port);

  // attach and fifty calls written at once, some of them failing.
  rpc::OutBuffer requests;
  rpc::encodeRequest(requests, 1, "attach", {"Test.Fake"});
  for (uint32_t id = 2; id <= 51; ++id) {
    if (id % 10 == 0)
      rpc::encodeRequest(requests, id, "Crash", {});
    else
      rpc::encodeRequest(requests, id, "Echo", {"call " + std::to_string(id), int32_t{0}});
  }
  ASSERT_TRUE(client.sendRaw(requests.view()));

  EXPECT_EQ(describe(client.receive()), "true");
  for (uint32_t id = 2; id <= 51; ++id) {
    const rpc::Response response = client.receive();
    EXPECT_EQ(response.msgid, id);
    EXPECT_EQ(echoed(response), id % 10 == 0
                                    ? "error 500 erro interno do servidor (Crash); a causa está no "
                                      "registro do servidor"
                                    : "call " + std::to_string(id));
  }
}

TEST(ServerTest, SlowCallHoldsUpOnlyItsOwnConnection) {
  servertest::FakeObject object;
  RunningServer running({}, object);
  auto slow = attached(running.port);
  auto other = attached(running.port);

  const uint32_t id = slow->send("Slow", {});
  object.gate.awaitWaiting(1);
  EXPECT_EQ(echoed(other->call("Echo", {"meanwhile", int32_t{1}})), "meanwhile");
  EXPECT_FALSE(slow->readable(std::chrono::milliseconds(0)));

  object.gate.open();
  const rpc::Response answer = slow->receive();
  EXPECT_EQ(answer.msgid, id);
  EXPECT_EQ(describe(answer), "[0, '', null]");
}

// One thread for calls and one for changes: two changes waiting for each other hold up
// neither the other users' calls nor, once let through, each other's answers.
TEST(ServerTest, ChangesWaitingForEachOtherDoNotHoldUpOtherCalls) {
  servertest::FakeObject object;
  server::ServerConfig config;
  config.workers = 1;
  RunningServer running(config, object);
  auto first = attached(running.port);
  auto second = attached(running.port);
  auto reader = attached(running.port);

  const uint32_t firstId = first->send("SlowChange", {});
  object.changeGate.awaitWaiting(1);
  const uint32_t secondId = second->send("SlowChange", {});
  EXPECT_EQ(echoed(reader->call("Echo", {"meanwhile", int32_t{1}})), "meanwhile");
  EXPECT_FALSE(first->readable(std::chrono::milliseconds(0)));

  object.changeGate.open();
  for (auto [client, id] : {std::pair{first.get(), firstId}, std::pair{second.get(), secondId}}) {
    const rpc::Response answer = client->receive();
    EXPECT_EQ(answer.msgid, id);
    EXPECT_EQ(describe(answer), "[1, 'Mudou.', null]");
  }
  // The connections go on after an answer that came back from the other threads.
  EXPECT_EQ(echoed(first->call("Echo", {"after", int32_t{2}})), "after");
}

TEST(ServerTest, ProtocolViolationClosesOnlyThatConnection) {
  servertest::FakeObject object;
  server::ServerConfig config;
  config.limits.maxMessageBytes = 4096;
  config.limits.maxStringBytes = 1024;
  RunningServer running(config, object);
  auto good = attached(running.port);
  std::string fourStrings;
  for (int i = 0; i < 4; ++i) fourStrings += "\xda\x03\xff"s + std::string(1023, 'x');

  const std::vector<std::pair<std::string, std::string>> violations = {
      {"never-used byte",
       "\x94\x00\x01\xa6"
       "attach\x91\xc1"s},
      {"not an array", "\xa5hello"s},
      {"string over the limit",
       "\x94\x00\x01\xa6"
       "attach\x91\xda\x04\x01"s},
      // Four strings, each within its limit, that together pass the 4096-byte message limit.
      {"message over the limit",
       "\x94\x00\x01\xa4"
       "Echo\x94"s +
           fourStrings},
      {"nested 40 deep",
       "\x94\x00\x01\xa4"
       "Echo" +
           std::string(40, '\x91') + "\xc0"s},
      {"a response sent to the server", "\x94\x01\x01\xc0\xc0"s},
  };
  for (const auto& [what, bytes] : violations) {
    RpcClient bad(running.port);
    bad.sendRaw(bytes);
    EXPECT_NO_THROW(bad.expectClosed()) << what;
    EXPECT_EQ(echoed(good->call("Echo", {"still here", int32_t{0}})), "still here") << what;
  }
}

// An Echo request whose text is `size` bytes, cut after `firstPart` bytes of it.
std::pair<std::string, std::string> echoInTwoParts(size_t size, size_t firstPart) {
  std::string head =
      "\x94\x00\x07\xa4"
      "Echo\x92\xdb"s;
  for (int shift = 24; shift >= 0; shift -= 8) head += static_cast<char>((size >> shift) & 0xff);
  const std::string text(size, 'x');
  return {head + text.substr(0, firstPart), text.substr(firstPart) + "\x01"};
}

TEST(ServerTest, MessagesBeingReceivedShareOneBudgetAndGiveItBackWhenDone) {
  servertest::FakeObject object;
  server::ServerConfig config;
  config.maxReceivingBytes = 96 << 10;
  RunningServer running(config, object);

  // Two halves of 50 KiB cannot both be held: one connection is closed, the other finishes.
  const auto [first, rest] = echoInTwoParts(60 << 10, 50 << 10);
  auto a = attached(running.port);
  auto b = attached(running.port);
  a->sendRaw(first);
  b->sendRaw(first);
  RpcClient* closed = nullptr;
  const auto deadline = std::chrono::steady_clock::now() + testsupport::kDeadline;
  while (!closed && std::chrono::steady_clock::now() < deadline) {
    if (a->readable(std::chrono::milliseconds(10)))
      closed = a.get();
    else if (b->readable(std::chrono::milliseconds(10)))
      closed = b.get();
  }
  ASSERT_NE(closed, nullptr) << "neither connection was closed";
  RpcClient& survivor = closed == a.get() ? *b : *a;
  EXPECT_NO_THROW(closed->expectClosed());
  survivor.sendRaw(rest);
  EXPECT_EQ(echoed(survivor.receive()).size(), size_t{60} << 10);

  // Both gave their bytes back: a message of 90 KiB fits again, one of 100 KiB never does.
  auto c = attached(running.port);
  const auto [whole, none] = echoInTwoParts(90 << 10, 90 << 10);
  c->sendRaw(whole + none);
  EXPECT_EQ(echoed(c->receive()).size(), size_t{90} << 10);
  const auto [tooBig, tail] = echoInTwoParts(100 << 10, 100 << 10);
  c->sendRaw(tooBig + tail);
  EXPECT_NO_THROW(c->expectClosed());
  EXPECT_EQ(echoed(survivor.call("Echo", {"still served", int32_t{0}})), "still served");
}

TEST(ServerTest, AnAnswerLeftUnreadBeyondTheSendingBudgetClosesItsConnection) {
  servertest::FakeObject object;
  object.gate.open();
  server::ServerConfig config;
  config.maxSendingBytes = 4 << 20;  // Big answers about 20 MB, more than sockets buffer
  RunningServer running(config, object);
  auto reader = attached(running.port);
  reader->send("Big", {});
  // The part of the answer the sockets took arrives, then the close; neither the whole answer
  // nor a connection left open (a server that merely stalls) will do.
  EXPECT_NO_THROW(reader->expectClosed());
  auto other = attached(running.port);
  EXPECT_EQ(echoed(other->call("Echo", {"still served", int32_t{0}})), "still served");
}

TEST(ServerTest, ByteBudgetsTakeWithinTheirLimitAndGiveBack) {
  server::ByteBudget budget(100);
  EXPECT_TRUE(budget.take(60));
  EXPECT_FALSE(budget.take(41));
  EXPECT_EQ(budget.used(), 60u) << "a refused take takes nothing";
  EXPECT_TRUE(budget.take(40));
  budget.give(60);
  EXPECT_TRUE(budget.take(60));
  EXPECT_FALSE(budget.take(size_t(-1))) << "no wrap-around";
  server::ByteBudget unlimited(0);
  EXPECT_TRUE(unlimited.take(size_t{1} << 40));
}

TEST(ServerTest, ConnectionsBeyondTheLimitAreClosedUntilOneLeaves) {
  servertest::FakeObject object;
  server::ServerConfig config;
  config.maxConnections = 2;
  RunningServer running(config, object);
  auto first = attached(running.port);
  auto second = attached(running.port);

  RpcClient third(running.port);
  EXPECT_NO_THROW(third.expectClosed());
  EXPECT_EQ(echoed(second->call("Echo", {"served", int32_t{0}})), "served");

  // Once the server has seen the first one leave, a new connection is served again; it may
  // take a refused attempt or two for the server to notice the close.
  first.reset();
  std::unique_ptr<RpcClient> replacement;
  for (int attempt = 0; attempt < 1000 && !replacement; ++attempt) {
    try {
      replacement = attached(running.port);
    } catch (const std::exception&) {
    }
  }
  ASSERT_TRUE(replacement);
  EXPECT_EQ(echoed(replacement->call("Echo", {"back", int32_t{0}})), "back");
}

// A stop lets the call in progress finish and write its answer, a change on the threads of
// its own as well as any other call, and closes everything else at once.
TEST(ServerTest, StopFinishesTheCallInProgressAndClosesEverythingElse) {
  struct Case {
    const char* method;
    servertest::Gate servertest::FakeObject::*gate;
    const char* answer;
  };
  for (const Case& held :
       {Case{"Slow", &servertest::FakeObject::gate, "[0, '', null]"},
        Case{"SlowChange", &servertest::FakeObject::changeGate, "[1, 'Mudou.', null]"}}) {
    SCOPED_TRACE(held.method);
    servertest::FakeObject object;
    RunningServer running({}, object);
    auto busy = attached(running.port);
    auto idle = attached(running.port);
    RpcClient partial(running.port);
    ASSERT_TRUE(
        partial.sendRaw("\x94\x00\x01\xa6"
                        "att"s));

    const uint32_t id = busy->send(held.method, {});
    (object.*held.gate).awaitWaiting(1);
    running.requestStop();

    EXPECT_NO_THROW(idle->expectClosed());
    EXPECT_NO_THROW(partial.expectClosed());
    EXPECT_THROW(RpcClient{running.port}, std::runtime_error);  // no longer listening
    EXPECT_FALSE(busy->readable(std::chrono::milliseconds(0)));

    (object.*held.gate).open();
    const rpc::Response answer = busy->receive();
    EXPECT_EQ(answer.msgid, id);
    EXPECT_EQ(describe(answer), held.answer);
    EXPECT_NO_THROW(busy->expectClosed());
    EXPECT_TRUE(running.joined());
  }
}

// Past the drain timeout the connection of a change still running is closed, but the server
// still waits for the change itself to end before it returns.
TEST(ServerTest, StopClosesAConnectionWhoseChangeOutlastsTheDrainButWaitsForTheChange) {
  servertest::FakeObject object;
  server::ServerConfig config;
  config.drainTimeout = std::chrono::milliseconds(100);
  RunningServer running(config, object);
  auto busy = attached(running.port);

  busy->send("SlowChange", {});
  object.changeGate.awaitWaiting(1);
  running.requestStop();
  EXPECT_NO_THROW(busy->expectClosed());
  EXPECT_FALSE(running.joined(std::chrono::milliseconds(200)))
      << "returned while a change was still running";

  object.changeGate.open();
  EXPECT_TRUE(running.joined());
}

// The first signal stops the server and lets busy connections drain; a second one closes
// them at once instead of at the drain's end, but the server still waits for the change in
// progress to end.
TEST(ServerTest, ASecondSignalClosesBusyConnectionsAtOnceButWaitsForTheChange) {
  servertest::FakeObject object;
  server::ServerConfig config;
  config.drainTimeout = std::chrono::hours(1);
  RunningServer running(config, object, true);
  auto change = attached(running.port);
  change->send("SlowChange", {});
  object.changeGate.awaitWaiting(1);

  ASSERT_EQ(kill(getpid(), SIGTERM), 0);
  ASSERT_EQ(kill(getpid(), SIGINT), 0);
  EXPECT_NO_THROW(change->expectClosed());
  EXPECT_FALSE(running.joined(std::chrono::milliseconds(200)))
      << "returned while a change was still running";
  object.changeGate.open();
  EXPECT_TRUE(running.joined());
}

TEST(ServerTest, StopGivesUpOnAnAnswerNobodyReadsAfterTheDrainTimeout) {
  servertest::FakeObject object;
  server::ServerConfig config;
  config.drainTimeout = std::chrono::milliseconds(200);
  RunningServer running(config, object);
  auto stuck = attached(running.port);
  stuck->send("Big", {});
  object.gate.awaitWaiting(1);

  // The call is in progress when the stop comes; its answer cannot be written in full, since
  // the client never reads it.
  const auto stopRequested = std::chrono::steady_clock::now();
  running.requestStop();
  object.gate.open();
  // The drain timeout plus ample time for a sanitizer build to make the 20 MB answer: far less
  // than the general deadline, so a server that waits for the reader does not pass.
  ASSERT_TRUE(running.joined(config.drainTimeout + std::chrono::seconds(60)));
  EXPECT_GE(running.returnedAt() - stopRequested, config.drainTimeout)
      << "gave up before the drain timeout";
  // Read only now, so that the answer cannot be drained while the server still waits: what the
  // sockets held arrives, then the close.
  EXPECT_NO_THROW(stuck->expectClosed());
}

}  // namespace
