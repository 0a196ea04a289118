#include "rtl/system_names.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets or clears $USER for one test and puts the old value back.
class UserVariable {
 public:
  UserVariable() {
    if (const char* now = std::getenv("USER")) saved_ = now;
  }
  ~UserVariable() {
    if (saved_)
      setenv("USER", saved_->c_str(), 1);
    else
      unsetenv("USER");
  }

 private:
  std::optional<std::string> saved_;
};

TEST(SystemNamesTest, LoginNamePrefersUserAndFallsBackToTheAccount) {
  UserVariable keep;
  setenv("USER", "maria", 1);
  EXPECT_EQ(rtl::LoginName(), "maria");

  // A service or cron job has no $USER and often no terminal: the account still names it.
  unsetenv("USER");
  const std::string name = rtl::LoginName();
  EXPECT_FALSE(name.empty());
  if (getlogin() == nullptr) {
    const passwd* account = getpwuid(geteuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(name, account->pw_name);
  }

  setenv("USER", "", 1);
  EXPECT_FALSE(rtl::LoginName().empty());
}

TEST(SystemNamesTest, MachineNameIsTheHostName) {
  char expected[256] = {};
  ASSERT_EQ(gethostname(expected, sizeof expected - 1), 0);
  EXPECT_EQ(rtl::MachineName(), expected);
}

}  // namespace
