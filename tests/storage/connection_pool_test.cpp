#include <gtest/gtest.h>

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
  // And the pool still counts its places right: four may be open at once.
  auto f = pool.acquire();
  auto g = pool.acquire();
  EXPECT_EQ(opened, 7);
}

}  // namespace
