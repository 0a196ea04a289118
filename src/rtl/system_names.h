#pragma once
// Who runs this program and on which machine, as the journal and the session record them.

#include <string>

namespace rtl {

// The user's login name: $USER, else the terminal's login, else the account the process runs
// as. A program started by a service manager or from cron has neither of the first two, and
// its changes must still say whose they are. "" only when the account has no entry.
std::string LoginName();

// The machine's host name; "" when it has none.
std::string MachineName();

}  // namespace rtl
