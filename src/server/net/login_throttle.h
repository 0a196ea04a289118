#pragma once
// Slows password guessing down, as OpenSSH's penalties and PostgreSQL's auth_delay do: failed
// logins are counted per account name and per peer address, and once either has failed
// kFreeFailures times, every further attempt for it waits before it is even checked, twice as
// long after each failure, up to kMaxDelay. A success clears the account's and the address's
// counts; a count not added to for kForgetAfter is forgotten. At most kMaxKeys names and
// addresses are remembered (the stalest go first), so a flood of made-up names cannot grow it
// without end. Thread-safe.

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace server {

class LoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr int kFreeFailures = 3;
  static constexpr Clock::duration kFirstDelay = std::chrono::seconds(1);
  static constexpr Clock::duration kMaxDelay = std::chrono::seconds(30);
  static constexpr Clock::duration kForgetAfter = std::chrono::minutes(15);
  static constexpr size_t kMaxKeys = 10'000;

  // How long an attempt for `account` from `address` waits before it is checked.
  Clock::duration delay(std::string_view account, std::string_view address, Clock::time_point now);
  void failed(std::string_view account, std::string_view address, Clock::time_point now);
  void succeeded(std::string_view account, std::string_view address);

 private:
  struct Count {
    int failures = 0;
    Clock::time_point last;
  };
  Clock::duration delayOf(const std::string& key, Clock::time_point now);
  void forgetStalest();

  std::mutex mutex_;
  std::map<std::string, Count, std::less<>> counts_;  // "u:" account, "a:" address
};

}  // namespace server
