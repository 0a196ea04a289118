// The command line of vnd42400: exit statuses, the one-line errors and the help.

#include <gtest/gtest.h>

#include <fstream>

#include "support/server_process.h"

namespace servertest {
namespace {

using testsupport::runVnd42400;

bool oneLine(const std::string& text) {
  return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

TEST(CommandLineTest, BadUsageExitsTwoWithOneLineOnStandardError) {
  testsupport::TempDir dir;
  const std::string db = dir.file("x.db");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"serve"},
      {"init", "--db"},
      {"serve", "--db", db, "--listen", "localhost"},
      {"serve", "--db", db, "--listen", "127.0.0.1:70000"},
      {"serve", "--db", db, "--max-connections", "-1"},
      {"serve", "--db", db, "--max-receiving-mb", "2000000"},
      {"serve", "--db", db, "--max-sending-mb", "-5"},
      {"serve", "--db", db, "--workers", "0"},
      {"demo", "--db", db, "--products", "0"},
      {"demo", "--db", db, "--products", "many"},
      {"demo", "--db", db, "--products", "10000000"},  // codes have 7 digits
      {"init", "--db", db, "--unknown"},
  };
  for (const auto& args : cases) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    const auto r = runVnd42400(args);
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_TRUE(oneLine(r.err)) << line << ": " << r.err;
    EXPECT_EQ(r.err.rfind("vnd42400: ", 0), 0u) << line << ": " << r.err;
    EXPECT_EQ(r.out, "") << line;
  }
  EXPECT_FALSE(std::filesystem::exists(db));
}

TEST(CommandLineTest, HelpExitsZero) {
  const auto top = runVnd42400({"--help"});
  EXPECT_EQ(top.status, 0);
  for (const char* command : {"init", "demo", "serve"})
    EXPECT_NE(top.out.find(command), std::string::npos) << top.out;
  const auto serve = runVnd42400({"serve", "--help"});
  EXPECT_EQ(serve.status, 0);
  for (const char* option : {"--db", "--listen", "--token-file", "--max-connections",
                             "--max-receiving-mb", "--max-sending-mb", "--workers"})
    EXPECT_NE(serve.out.find(option), std::string::npos) << serve.out;
}

TEST(CommandLineTest, FailuresExitOneWithOneLineOnStandardError) {
  testsupport::TempDir dir;
  const std::string db = dir.file("x.db");
  ASSERT_EQ(runVnd42400({"init", "--db", db}).status, 0);
  ASSERT_EQ(runVnd42400({"init", "--db", db}).status, 0);  // again: nothing to do
  std::ofstream(dir.file("empty-token")) << " \n";
  testsupport::ServerProcess::Options options;
  options.db = db;
  testsupport::ServerProcess running(options);

  const std::vector<std::vector<std::string>> cases = {
      {"init", "--db", dir.file("missing/folder/x.db")},
      {"serve", "--db", db, "--token-file", dir.file("no-such-file")},
      {"serve", "--db", db, "--token-file", dir.file("empty-token")},
      {"serve", "--db", db, "--listen", "127.0.0.1:" + std::to_string(running.port())},
      {"demo", "--db", "postgresql://nobody@127.0.0.1:1/none", "--products", "5"},
  };
  for (const auto& args : cases) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    const auto r = runVnd42400(args);
    EXPECT_EQ(r.status, 1) << line;
    EXPECT_TRUE(oneLine(r.err)) << line << ": " << r.err;
    EXPECT_EQ(r.err.rfind("vnd42400: ", 0), 0u) << line << ": " << r.err;
    EXPECT_EQ(r.out, "") << line;
  }
  EXPECT_TRUE(running.running());
}

TEST(CommandLineTest, ServingAndTheJournalNeedADatabaseWithItsSchema) {
  testsupport::TempDir dir;
  const std::string missing = dir.file("mistyped.db");
  const std::string empty = dir.file("empty.db");
  std::ofstream{empty};  // an empty file is an SQLite database without tables
  const std::string older = dir.file("older.db");
  ASSERT_EQ(runVnd42400({"init", "--db", older}).status, 0);
  ASSERT_EQ(runVnd42400({"journal", "--db", older}).status, 0);

  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"serve", "--db", missing, "--listen", "127.0.0.1:0"}, "não existe"},
      {{"journal", "--db", missing}, "não existe"},
      {{"restore", "--db", missing, "--change", "1"}, "não existe"},
      {{"serve", "--db", empty, "--listen", "127.0.0.1:0"}, "vnd42400 init"},
      {{"journal", "--db", empty}, "vnd42400 init"},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    const auto r = runVnd42400(c.args);
    EXPECT_EQ(r.status, 1) << line;
    EXPECT_TRUE(oneLine(r.err)) << line << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << line << ": " << r.err;
    EXPECT_EQ(r.out, "") << line;
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace servertest
