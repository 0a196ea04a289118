#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "server/storage/db/connection_pool.h"

namespace {

using server::db::Connection;
using server::db::ConnectionPool;

// A connection that only knows whether it still works; `alive` is shared by every session
// opened before the database "restarts".
struct FakeConnection : Connection {
  explicit FakeConnection(std::shared_ptr<bool> alive, int& opened) : alive(std::move(alive)) {
    ++opened;
  }
  server::db::Engine engine() const override { return server::db::Engine::Sqlite; }
  void run(std::string_view) override {}
  int64_t execute(std::string_view, const server::db::Params&) override { return 0; }
  void query(std::string_view, const server::db::Params&, const server::db::RowHandler&) override {}
  void begin(server::db::TxMode) override {}
  void commit() override {}
  void rollback() noexcept override {}
  bool usable() const override { return *alive; }
  std::shared_ptr<bool> alive;
};

// True while the thread `tid` of this process sleeps in the kernel, as one waiting on a
// condition variable does.
bool asleep(pid_t tid) {
  std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
  std::string line;
  std::getline(stat, line);
  // The state follows the command name, which is in parentheses and may hold anything.
  const size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'S';
}

TEST(ConnectionPoolTest, ABrokenSessionTakesTheIdleOnesWithIt) {
  auto generation = std::make_shared<bool>(true);
  int opened = 0;
  ConnectionPool pool([&] { return std::make_unique<FakeConnection>(generation, opened); }, 4);
  {
    auto a = pool.acquire();
    auto b = pool.acquire();
    auto c = pool.acquire();
  }
  EXPECT_EQ(opened, 3);
  {
    auto reused = pool.acquire();  // an idle session, no new one
    EXPECT_EQ(opened, 3);
    *generation = false;  // the database restarts under the pool
    generation = std::make_shared<bool>(true);
  }
  // The broken one went back, and the two idle ones of the same generation went with it:
  // the next callers get new sessions rather than one failure each.
  auto d = pool.acquire();
  auto e = pool.acquire();
  EXPECT_EQ(opened, 5);
  EXPECT_TRUE(d->usable());
  EXPECT_TRUE(e->usable());
  // And the pool still counts its places right: four may be open at once, and a fifth caller
  // waits until one comes back, then gets that one.
  auto f = pool.acquire();
  std::optional<server::db::Lease> g = pool.acquire();
  EXPECT_EQ(opened, 7);
  const Connection* const released = &**g;
  std::atomic<bool> returned{false}, gotItBeforeTheRelease{false};
  std::promise<pid_t> started;
  std::promise<const Connection*> got;
  std::thread fifth([&] {
    started.set_value(static_cast<pid_t>(::syscall(SYS_gettid)));
    auto lease = pool.acquire();
    gotItBeforeTheRelease = !returned;
    got.set_value(&*lease);
  });
  auto gotten = got.get_future();
  // Once the fifth caller's thread is asleep, it waits in the pool (a pool without a limit
  // would have handed it a new session at once, without sleeping).
  const pid_t thread = started.get_future().get();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(180);
  bool settled = false;
  while (!settled && std::chrono::steady_clock::now() < deadline)
    settled =
        asleep(thread) || gotten.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  EXPECT_TRUE(settled) << "the fifth caller neither slept nor got a session";
  EXPECT_NE(gotten.wait_for(std::chrono::seconds(0)), std::future_status::ready)
      << "a fifth session was handed out while four were in use";
  returned = true;
  g.reset();
  EXPECT_EQ(gotten.get(), released) << "the fifth caller gets the session given back";
  fifth.join();
  EXPECT_FALSE(gotItBeforeTheRelease);
  EXPECT_EQ(opened, 7);
}

}  // namespace
