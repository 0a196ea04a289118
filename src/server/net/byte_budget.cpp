#include "server/net/byte_budget.h"

namespace server {

bool ByteBudget::take(size_t n) {
  if (limit_ == 0) {
    used_.fetch_add(n, std::memory_order_relaxed);
    return true;
  }
  size_t used = used_.load(std::memory_order_relaxed);
  do {
    if (n > limit_ - used) return false;
  } while (!used_.compare_exchange_weak(used, used + n, std::memory_order_relaxed));
  return true;
}

}  // namespace server
