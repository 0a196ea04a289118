// The changes that run on the threads of their own, at a stop: a change in progress is waited
// for, but one still waiting for a thread when the drain closes its connection is never started,
// so nothing is changed for a call the server has hung up on, and changes queued behind a lock
// do not draw the stop out past the drain.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fake_object.h"
#include "rpc/client_codec.h"
#include "running_server.h"

namespace servertest {
namespace {

using testsupport::describe;
using testsupport::RpcClient;

inline constexpr contract::Param kChangeParams[] = {{"text", rtl::VarKind::String}};
inline constexpr contract::Method kChange{"Change", kChangeParams, {}};

// Change(text) waits for locks as the real changes do; the first call waits at `gate`, and
// every call that starts is recorded.
class RecordingChanges : public server::ServerObject {
 public:
  RecordingChanges() {
    server::MethodSpec change{&kChange, [this](const server::CallContext&, server::CallArgs& args) {
                                bool first;
                                {
                                  std::lock_guard lock(mutex_);
                                  first = started_.empty();
                                  started_.push_back(args[0].text);
                                }
                                if (first) gate.wait();
                                return server::Answer::refuse("Mudou.");
                              }};
    change.waitsForLocks = true;
    methods_.push_back(std::move(change));
  }

  std::string_view name() const override { return "Test.Fake"; }
  const std::vector<server::MethodSpec>& methods() const override { return methods_; }

  std::vector<std::string> started() {
    std::lock_guard lock(mutex_);
    return started_;
  }

  Gate gate;

 private:
  std::vector<server::MethodSpec> methods_;
  std::mutex mutex_;
  std::vector<std::string> started_;
};

TEST(QueuedChangeStopTest, AChangeStillQueuedWhenTheDrainClosesItsConnectionIsNeverStarted) {
  RecordingChanges object;
  server::ServerConfig config;
  config.workers = 1;  // one thread for changes: the second change waits for the first
  config.drainTimeout = std::chrono::milliseconds(1);
  RunningServer running(config, {&object});

  RpcClient inProgress(running.port);
  ASSERT_EQ(describe(inProgress.attach("Test.Fake")), "true");
  inProgress.send("Change", {"in progress"});
  object.gate.awaitWaiting(1);

  // attach and the change in one write, read at once: once attach is answered, the change has
  // been handed to the threads for changes, where it waits behind the first.
  RpcClient queued(running.port);
  rpc::OutBuffer requests;
  rpc::encodeRequest(requests, 1, "attach", {"Test.Fake"});
  rpc::encodeRequest(requests, 2, "Change", {"queued"});
  ASSERT_TRUE(queued.sendRaw(requests.view()));
  ASSERT_EQ(describe(queued.receive()), "true");

  std::thread stopping([&] { running.stop(); });
  // The drain gives up on both connections while the first change still waits.
  EXPECT_NO_THROW(queued.expectClosed());
  EXPECT_NO_THROW(inProgress.expectClosed());
  object.gate.open();
  stopping.join();
  EXPECT_EQ(object.started(), std::vector<std::string>{"in progress"});
}

}  // namespace
}  // namespace servertest
