#pragma once
// Hands out connections, one thread at a time each, and takes them back when the lease ends.
// A connection is opened only when no idle one is left and fewer than `maxSize` are open;
// beyond that a caller waits for one to come back. A connection that reports itself unusable
// is closed instead of being kept. The pool is thread-safe and must outlive its leases.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "server/storage/db/connection.h"

namespace server::db {

class ConnectionPool;

class Lease {
 public:
  Lease(ConnectionPool* pool, std::unique_ptr<Connection> connection);
  Lease(Lease&& other) noexcept = default;
  Lease& operator=(Lease&&) = delete;
  ~Lease();

  Connection& operator*() const { return *connection_; }
  Connection* operator->() const { return connection_.get(); }

 private:
  ConnectionPool* pool_;
  std::unique_ptr<Connection> connection_;
};

class ConnectionPool {
 public:
  using Factory = std::function<std::unique_ptr<Connection>()>;
  ConnectionPool(Factory factory, size_t maxSize);

  // Throws StorageError when a new connection cannot be opened.
  Lease acquire();
  size_t maxSize() const { return maxSize_; }

 private:
  friend class Lease;
  void giveBack(std::unique_ptr<Connection> connection) noexcept;

  Factory factory_;
  const size_t maxSize_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<std::unique_ptr<Connection>> idle_;
  size_t open_ = 0;
};

}  // namespace server::db
