#include "support/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/poll_wait.h"

extern char** environ;

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + (errno ? std::string(": ") + std::strerror(errno) : ""));
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int decodeStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Spawns vnd42400 with stdin from /dev/null, stdout to `outFd` (or a file) and stderr to a file.
pid_t spawn(const std::vector<std::string>& args, int outFd, const std::string& outFile,
            const std::string& errFile) {
  std::vector<std::string> argv{vnd42400Path()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv;
  for (auto& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (outFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    errno = rc;
    fail("cannot start " + argv[0]);
  }
  return pid;
}

int waitPid(pid_t pid, int pidfd) {
  if (!waitFor(pidfd, POLLIN, Clock::now() + kDeadline))
    throw std::runtime_error("vnd42400 did not end within the deadline");
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) fail("waitpid");
  return decodeStatus(status);
}

int openPidfd(pid_t pid) {
  const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) fail("pidfd_open");
  return fd;
}

}  // namespace

TempDir::TempDir() {
  char name[] = "/tmp/vnd-test.XXXXXX";
  if (!::mkdtemp(name)) fail("mkdtemp");
  path_ = name;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string vnd42400Path() {
  return VND42400_PATH;
}

RunResult runVnd42400(const std::vector<std::string>& args) {
  TempDir dir;
  const pid_t pid = spawn(args, -1, dir.file("out"), dir.file("err"));
  const int pidfd = openPidfd(pid);
  RunResult result;
  try {
    result.status = waitPid(pid, pidfd);
  } catch (...) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(pidfd);
    throw;
  }
  ::close(pidfd);
  result.out = readFile(dir.file("out"));
  result.err = readFile(dir.file("err"));
  return result;
}

ServerProcess::ServerProcess(const Options& options) {
  std::vector<std::string> args{"serve", "--db", options.db, "--listen", "127.0.0.1:0"};
  if (options.tokenFile) args.insert(args.end(), {"--token-file", *options.tokenFile});
  if (options.maxConnections)
    args.insert(args.end(), {"--max-connections", std::to_string(*options.maxConnections)});
  args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) fail("pipe");
  pid_ = spawn(args, fds[1], {}, dir_.file("stderr.log"));
  ::close(fds[1]);
  stdout_ = fds[0];
  pidfd_ = openPidfd(pid_);

  // Read up to the end of the first line, or until the process ends without one.
  const auto deadline = Clock::now() + kDeadline;
  std::string got;
  while (got.find('\n') == std::string::npos) {
    pollfd p[2] = {{stdout_, POLLIN, 0}, {pidfd_, POLLIN, 0}};
    const int n = ::poll(p, 2, msLeft(deadline));
    if (n == 0) {
      ::kill(pid_, SIGKILL);
      waitExit();
      throw std::runtime_error("vnd42400 serve printed no line in time; log:\n" + log());
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("poll");
    }
    char buf[256];
    const ssize_t r = (p[0].revents & (POLLIN | POLLHUP)) ? ::read(stdout_, buf, sizeof buf) : 0;
    if (r > 0) {
      got.append(buf, static_cast<size_t>(r));
      continue;
    }
    // End of output or the process ended first.
    const int status = waitExit();
    throw std::runtime_error("vnd42400 serve ended with status " + std::to_string(status) +
                             " before listening; output: " + got + "\nlog:\n" + log());
  }
  line_ = got.substr(0, got.find('\n'));
  rest_ = got.substr(got.find('\n') + 1);
  const std::string prefix = "listening on 127.0.0.1:";
  if (line_.rfind(prefix, 0) != 0)
    throw std::runtime_error("unexpected first line of vnd42400 serve: " + line_);
  port_ = static_cast<uint16_t>(std::stoi(line_.substr(prefix.size())));
}

ServerProcess::~ServerProcess() {
  if (!exited_) {
    ::kill(pid_, SIGKILL);
    try {
      waitExit();
    } catch (...) {
    }
  }
  if (pidfd_ >= 0) ::close(pidfd_);
  if (stdout_ >= 0) ::close(stdout_);
}

void ServerProcess::signal(int sig) const {
  if (!exited_) ::kill(pid_, sig);
}

int ServerProcess::waitExit() {
  if (exited_) return status_;
  status_ = waitPid(pid_, pidfd_);
  exited_ = true;
  char buf[4096];
  ssize_t r;
  while ((r = ::read(stdout_, buf, sizeof buf)) > 0) rest_.append(buf, static_cast<size_t>(r));
  return status_;
}

std::string ServerProcess::log() const {
  return readFile(dir_.file("stderr.log"));
}

}  // namespace testsupport
