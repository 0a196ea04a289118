#include "server/storage/db/connection_pool.h"

namespace server::db {

Lease::Lease(ConnectionPool* pool, std::unique_ptr<Connection> connection)
    : pool_(pool), connection_(std::move(connection)) {}

Lease::~Lease() {
  if (connection_) pool_->giveBack(std::move(connection_));
}

ConnectionPool::ConnectionPool(Factory factory, size_t maxSize)
    : factory_(std::move(factory)), maxSize_(maxSize == 0 ? 1 : maxSize) {}

Lease ConnectionPool::acquire() {
  std::unique_lock lock(mutex_);
  returned_.wait(lock, [&] { return !idle_.empty() || open_ < maxSize_; });
  if (!idle_.empty()) {
    auto connection = std::move(idle_.back());
    idle_.pop_back();
    return Lease(this, std::move(connection));
  }
  ++open_;  // reserve the slot, then open outside the lock
  lock.unlock();
  try {
    return Lease(this, factory_());
  } catch (...) {
    lock.lock();
    --open_;
    returned_.notify_one();
    throw;
  }
}

void ConnectionPool::giveBack(std::unique_ptr<Connection> connection) noexcept {
  // A lease that ends by an exception may leave a transaction open; never pool it so.
  connection->rollback();
  const bool keep = connection->usable();
  std::vector<std::unique_ptr<Connection>> stale;
  {
    std::lock_guard lock(mutex_);
    if (keep) {
      idle_.push_back(std::move(connection));
    } else {
      // A broken session means the database went away (a restart, a lost link): the idle
      // ones were opened before it too, and each would fail one more caller. Drop them all.
      stale.swap(idle_);
      open_ -= 1 + stale.size();
    }
  }
  returned_.notify_all();
  // Closed outside the lock: closing a session may wait on the network.
  stale.clear();
  connection.reset();
}

}  // namespace server::db
