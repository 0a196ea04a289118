#include <gtest/gtest.h>

#include "host/session_settings.h"

namespace {

std::string errorOf(const std::string& text, const std::vector<std::string>& overrides = {}) {
  try {
    Varnoke::Session s = host::DefaultSession();
    host::ApplySessionText(s, text, "session.ini");
    for (const auto& o : overrides) host::ApplySessionOverride(s, o);
  } catch (const host::SessionError& e) {
    return e.what();
  }
  return "no error";
}

TEST(SessionSettingsTest, ReadsTheFileThenTheOverrides) {
  Varnoke::Session s = host::DefaultSession();
  host::ApplySessionText(s,
                         "; the user's session\n"
                         "[session]\n"
                         "branch            = 0002            ; the user's branch code\n"
                         "branch_name       = \"Filial ; Centro\"\n"
                         "branch_locked     = true\n"
                         "server_host       = 10.0.0.5\n"
                         "server_port       = 2111\n"
                         "product_mask      = 99.99.9999;0;_  ; edit mask\n"
                         "short_date_format = mm/dd/yyyy\n"
                         "connect_timeout_s = 3\n"
                         "call_timeout_s    = 30\n"
                         "server_token      =\n",
                         "session.ini");
  host::ApplySessionOverride(s, "server_port=2200");
  host::ApplySessionOverride(s, "branch_name=Matriz #1");
  EXPECT_EQ(s.branch, "0002");
  EXPECT_EQ(s.branchName, "Matriz #1");
  EXPECT_TRUE(s.branchLocked);
  EXPECT_EQ(s.serverHost, "10.0.0.5");
  EXPECT_EQ(s.serverPort, 2200);
  EXPECT_EQ(s.productMask, "99.99.9999;0;_");
  EXPECT_EQ(s.shortDateFormat, "mm/dd/yyyy");
  EXPECT_EQ(s.connectTimeoutSeconds, 3);
  EXPECT_EQ(s.callTimeoutSeconds, 30);
  EXPECT_EQ(s.serverToken, "");
}

TEST(SessionSettingsTest, DefaultsAreTheDocumentedOnes) {
  const Varnoke::Session s = host::DefaultSession();
  EXPECT_EQ(s.branch, "0001");
  EXPECT_EQ(s.branchName, "Matriz");
  EXPECT_FALSE(s.branchLocked);
  EXPECT_EQ(s.serverHost, "127.0.0.1");
  EXPECT_EQ(s.serverPort, 2110);
  EXPECT_EQ(s.productMask, "99.99.9999;0;_");
  EXPECT_EQ(s.shortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(s.connectTimeoutSeconds, 10);
  EXPECT_EQ(s.callTimeoutSeconds, 120);
  EXPECT_FALSE(s.user.empty());
}

TEST(SessionSettingsTest, EveryBadValueIsOneLineNamingItsKey) {
  EXPECT_EQ(errorOf("[session]\nserver_port = 70000\n"),
            "session: server_port: expected a whole number from 1 to 65535, got \"70000\"");
  EXPECT_EQ(errorOf("[session]\nserver_port =\n"),
            "session: server_port: expected a whole number from 1 to 65535, got \"\"");
  EXPECT_EQ(errorOf("[session]\nbranch_locked = maybe\n"),
            "session: branch_locked: expected true or false, got \"maybe\"");
  EXPECT_EQ(errorOf("[session]\nbranch = 00001\n"),
            "session: branch: a branch code has at most 4 characters");
  EXPECT_EQ(errorOf("[session]\nbranch = ab\n"),
            "session: branch: a branch code holds upper-case letters and digits only");
  EXPECT_EQ(errorOf("[session]\nshort_date_format = dd/mm\n"),
            "session: short_date_format: a short date format needs day (d), month (m) and year "
            "(y)");
  EXPECT_EQ(errorOf("[session]\nsrever_port = 1\n"), "session: srever_port: unknown key");
  EXPECT_EQ(errorOf("branch = 0001\n"), "session.ini:1: branch: outside the [session] section");
  EXPECT_EQ(errorOf("[session]\nbranch 0001\n"), "session.ini:2: expected key = value");
  EXPECT_EQ(errorOf("[session]\nbranch_name = \"Matriz\n"),
            "session: branch_name: unterminated quoted value");
  EXPECT_EQ(errorOf("", {"call_timeout_s=0"}),
            "session: call_timeout_s: expected a whole number from 1 to 86400, got \"0\"");
  EXPECT_EQ(errorOf("", {"server_port"}), "session: --set expects key=value, got \"server_port\"");
  EXPECT_EQ(errorOf("", {"server_host="}), "session: server_host: a value is required");
}

TEST(SessionSettingsTest, AMissingFileIsAnError) {
  EXPECT_THROW(host::LoadSession("/nonexistent/session.ini", {}), host::SessionError);
}

}  // namespace
