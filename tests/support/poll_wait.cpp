#include "support/poll_wait.h"

#include <poll.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace testsupport {

int msLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, msLeft(deadline));
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno != EINTR) throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
  }
}

}  // namespace testsupport
