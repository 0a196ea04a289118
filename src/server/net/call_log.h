#pragma once
// The server's log: one line per call on standard error, with the time, the peer, the method,
// the duration and how the call ended (ok, refused <status>, error <code>), plus a line for
// each connection closed for a protocol violation and for starting and stopping. Arguments
// are never logged, so neither is the access token attach carries.

#include <chrono>
#include <string>
#include <string_view>

#include "server/net/dispatcher.h"

namespace server {

// Sets up the process logger. Call once, before serving.
void initCallLog();

// "127.0.0.1:53422 GetFilial 0.412 ms ok". Text that came from the peer is cut to a bounded
// length and stripped of control characters, so a method name cannot forge log lines.
std::string formatCallLine(std::string_view peer, const CallOutcome& outcome,
                           std::chrono::nanoseconds duration);

void logCall(std::string_view peer, const CallOutcome& outcome, std::chrono::nanoseconds duration);
void logConnection(std::string_view peer, std::string_view event);
void logInfo(std::string_view message);

}  // namespace server
