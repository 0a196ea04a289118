#pragma once
// Test support for talking to a real vnd42400: running its command line, starting
// `vnd42400 serve` on port 0 and waiting for its "listening on" line (never a sleep), and a
// blocking MessagePack-RPC client that can also send raw bytes. Every wait has a deadline and
// fails with an exception rather than hanging the test.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rpc/client_codec.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "rtl/variant.h"

namespace testsupport {

// The deadline of every wait below; generous because the sanitizer builds are slow.
inline constexpr std::chrono::seconds kDeadline{180};

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

// A blocking MessagePack-RPC connection to 127.0.0.1.
class RpcClient {
 public:
  explicit RpcClient(uint16_t port);
  ~RpcClient();
  RpcClient(const RpcClient&) = delete;
  RpcClient& operator=(const RpcClient&) = delete;

  // Sends bytes as they are. False when the peer has closed the connection.
  bool sendRaw(std::string_view bytes);
  // Sends a request with the next msgid and returns that msgid.
  uint32_t send(std::string_view method, const std::vector<rtl::Variant>& params);
  // The next response (notifications skipped). Raises when the connection closes first.
  rpc::Response receive();
  // send + receive, checking that the response carries the request's msgid.
  rpc::Response call(std::string_view method, const std::vector<rtl::Variant>& params);
  // attach with [name] or [name, token].
  rpc::Response attach(std::string_view name = "Vnd42400.rdmTabePreco",
                       std::optional<std::string> token = std::nullopt);

  // Waits until the server closes the connection; raises if a message arrives instead.
  void expectClosed();
  // True when the response arrived (or the connection closed) within `wait`.
  bool readable(std::chrono::milliseconds wait) const;

  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  uint32_t nextId_ = 1;
  rpc::StreamDecoder decoder_;
  rpc::OutBuffer out_;
};

// Responses and variants as one line of text, for whole-state comparisons:
// "error 404 servidor desconhecido: X", "[0, '', packet 3 rows]", "true".
std::string describe(const rtl::Variant& value);
std::string describe(const rpc::Response& response);
// "CDFILIAL string 4, NMFILIAL string 30, ..."
std::string describeFields(const rtl::DataPacket& packet);
// One row's values joined by "|", null as "null": "0001|Matriz|null".
std::string describeRow(const rtl::DataPacket& packet, size_t row);
// The packet of a successful answer [0, "", packet]; raises with the described response
// otherwise.
std::shared_ptr<const rtl::DataPacket> answerData(const rpc::Response& response);

}  // namespace testsupport
