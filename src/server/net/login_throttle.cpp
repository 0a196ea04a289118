#include "server/net/login_throttle.h"

#include <algorithm>

namespace server {

namespace {

std::string accountKey(std::string_view account) {
  return "u:" + std::string(account);
}
std::string addressKey(std::string_view address) {
  return "a:" + std::string(address);
}

}  // namespace

LoginThrottle::Clock::duration LoginThrottle::delayOf(const std::string& key,
                                                      Clock::time_point now) {
  const auto found = counts_.find(key);
  if (found == counts_.end()) return Clock::duration::zero();
  if (now - found->second.last >= kForgetAfter) {
    counts_.erase(found);
    return Clock::duration::zero();
  }
  const int over = found->second.failures - kFreeFailures;
  if (over < 0) return Clock::duration::zero();
  Clock::duration wait = kFirstDelay;
  for (int i = 0; i < over && wait < kMaxDelay; ++i) wait *= 2;
  return std::min(wait, kMaxDelay);
}

LoginThrottle::Clock::duration LoginThrottle::delay(std::string_view account,
                                                    std::string_view address,
                                                    Clock::time_point now) {
  std::lock_guard lock(mutex_);
  return std::max(delayOf(accountKey(account), now), delayOf(addressKey(address), now));
}

void LoginThrottle::failed(std::string_view account, std::string_view address,
                           Clock::time_point now) {
  std::lock_guard lock(mutex_);
  for (const std::string& key : {accountKey(account), addressKey(address)}) {
    Count& count = counts_[key];
    if (now - count.last >= kForgetAfter) count.failures = 0;
    ++count.failures;
    count.last = now;
  }
  while (counts_.size() > kMaxKeys) forgetStalest();
}

void LoginThrottle::succeeded(std::string_view account, std::string_view address) {
  std::lock_guard lock(mutex_);
  counts_.erase(accountKey(account));
  counts_.erase(addressKey(address));
}

void LoginThrottle::forgetStalest() {
  auto stalest = counts_.begin();
  for (auto it = counts_.begin(); it != counts_.end(); ++it)
    if (it->second.last < stalest->second.last) stalest = it;
  counts_.erase(stalest);
}

}  // namespace server
