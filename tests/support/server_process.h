#pragma once
// Test support for running a real vnd42400: its command line to the end, or `vnd42400 serve` on
// port 0, waiting for its "listening on" line (never a sleep). Talk to it with RpcClient
// (support/rpc_client.h). Every wait has a deadline and fails with an exception rather than
// hanging the test.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/rpc_client.h"

namespace testsupport {

// A folder removed with its content when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The vnd42400 executable of this build.
std::string vnd42400Path();

struct RunResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

// Runs vnd42400 with `args` to its end.
RunResult runVnd42400(const std::vector<std::string>& args);

// A running `vnd42400 serve`. The constructor returns once the server printed its
// "listening on HOST:PORT" line; its standard error (the log) goes to a file readable at any
// time. A server still running when the object goes is killed.
class ServerProcess {
 public:
  struct Options {
    std::string db;                        // --db
    std::optional<std::string> tokenFile;  // --token-file
    std::optional<int> maxConnections;     // --max-connections
    std::vector<std::string> extraArgs;
  };

  explicit ServerProcess(const Options& options);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  pid_t pid() const { return pid_; }
  uint16_t port() const { return port_; }
  // The whole "listening on ..." line as printed.
  const std::string& listeningLine() const { return line_; }

  void signal(int sig) const;
  // Waits for the process to end: its exit status, or 128 + the signal that ended it.
  int waitExit();
  bool running() const { return !exited_; }
  // Everything written to standard error so far.
  std::string log() const;
  // Everything written to standard output after the listening line, once the process ended.
  std::string restOfOutput() const { return rest_; }

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  int pidfd_ = -1;
  int stdout_ = -1;
  uint16_t port_ = 0;
  std::string line_;
  std::string rest_;
  bool exited_ = false;
  int status_ = -1;
};

}  // namespace testsupport
