#pragma once
// Bounded waits on a socket for the test clients and the server-process helper: every wait
// ends at its deadline, so a server that stops answering fails a test instead of hanging it.

#include <chrono>

namespace testsupport {

// Milliseconds until the deadline, 0 once it has passed.
int msLeft(std::chrono::steady_clock::time_point deadline);

// Waits for `events` (poll flags) on fd until the deadline; false on timeout. Raises when poll
// itself fails.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline);

}  // namespace testsupport
