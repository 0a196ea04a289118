// The login throttle: free tries, then waits that double per account and per address, a
// success that clears them, and forgetting.

#include <gtest/gtest.h>

#include "server/net/login_throttle.h"

namespace servertest {
namespace {

using server::LoginThrottle;
using std::chrono::seconds;

TEST(LoginThrottleTest, GuessesWaitLongerPerAccountAndPerAddressUntilASuccess) {
  LoginThrottle throttle;
  const auto t0 = LoginThrottle::Clock::time_point{} + std::chrono::hours(1);
  const auto waitOf = [&](const char* account, const char* address) {
    return std::chrono::duration_cast<seconds>(throttle.delay(account, address, t0)).count();
  };
  // A guessing loop on one account from one address.
  std::vector<long> waits;
  for (int i = 0; i < 9; ++i) {
    waits.push_back(waitOf("ana", "10.0.0.9"));
    throttle.failed("ana", "10.0.0.9", t0);
  }
  EXPECT_EQ(waits, (std::vector<long>{0, 0, 0, 1, 2, 4, 8, 16, 30}));
  // The same account from elsewhere, and another account from the same address, wait too.
  EXPECT_EQ(waitOf("ana", "10.0.0.7"), 30);
  EXPECT_EQ(waitOf("bia", "10.0.0.9"), 30);
  EXPECT_EQ(waitOf("bia", "10.0.0.7"), 0);
  // A success clears the account and the address it came from.
  throttle.succeeded("ana", "10.0.0.9");
  EXPECT_EQ(waitOf("ana", "10.0.0.9"), 0);
  // Counts not added to for a while are forgotten.
  for (int i = 0; i < 5; ++i) throttle.failed("rui", "10.0.0.5", t0);
  EXPECT_EQ(waitOf("rui", "10.0.0.5"), 4);
  EXPECT_EQ(throttle.delay("rui", "10.0.0.5", t0 + LoginThrottle::kForgetAfter).count(), 0);
}

}  // namespace
}  // namespace servertest
