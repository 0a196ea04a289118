#pragma once
// Memory all connections of the server share: the bytes of messages still arriving, and the
// bytes of answers their clients have not read yet. Each connection is bounded on its own (the
// message limit; one answer at a time); a budget bounds the sum, so that many clients sending
// large messages slowly, or asking for large answers and not reading them, cannot take the
// server's memory between them. A connection that would pass a budget is closed and its bytes
// are given back; the connections already holding theirs go on.

#include <atomic>
#include <cstddef>

namespace server {

class ByteBudget {
 public:
  // 0: no limit.
  explicit ByteBudget(size_t limitBytes) : limit_(limitBytes) {}

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
