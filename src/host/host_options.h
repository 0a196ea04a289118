#pragma once
// The command line of vnd-host, shared by its two modes:
//   vnd-host [--session FILE] [--set key=value]... [--module PATH] [--open]
//   vnd-host --headless [--session FILE] [--set key=value]... [--module PATH] [--today YYYY-MM-DD]
//                       [--password-file FILE]
// The headless driver's password for a server that asks for a login comes from FILE's first
// line, or else from the environment variable VND_PASSWORD; never from the command line.

#include <optional>
#include <string>
#include <vector>

#include "shared/varnoke.h"

namespace host {

struct HostOptions {
  bool headless = false;
  std::string sessionFile;            // empty: session.ini in the working directory, if any
  std::vector<std::string> settings;  // --set key=value, in order
  std::string modulePath;             // empty: beside the executable
  bool open = false;                  // desktop: open the screen at start
  std::optional<std::string> today;   // headless: the date the screen takes as today
  std::string passwordFile;           // headless: the account's password
};

// The desktop host (Qt). Returns the process's exit status.
int RunDesktop(const HostOptions& options, const Varnoke::Session& session, int argc, char** argv);
// The headless driver on standard input and output. Returns the process's exit status.
int RunHeadless(const HostOptions& options, const Varnoke::Session& session);

}  // namespace host
