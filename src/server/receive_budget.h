#pragma once
// The memory all connections together may hold in messages still arriving. Each connection is
// bounded by the message limit already; this bounds their sum, so that many clients sending
// large messages slowly (or never finishing them) cannot take the server's memory between
// them. A connection that would pass the budget is closed and its bytes are given back; the
// connections already holding theirs go on.

#include <atomic>
#include <cstddef>

namespace server {

class ReceiveBudget {
 public:
  // 0: no limit.
  explicit ReceiveBudget(size_t limitBytes) : limit_(limitBytes) {}

  // Takes n bytes; false, taking nothing, when that would pass the limit.
  bool take(size_t n);
  void give(size_t n) { used_.fetch_sub(n, std::memory_order_relaxed); }

  size_t used() const { return used_.load(std::memory_order_relaxed); }
  size_t limit() const { return limit_; }

 private:
  const size_t limit_;
  std::atomic<size_t> used_{0};
};

}  // namespace server
