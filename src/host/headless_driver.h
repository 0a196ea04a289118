#pragma once
// The headless driver: plays the user of the screen from commands (driver_command.h) and
// answers each with one line of JSON:
//
//   {"ok": true, "exception": null, "messages": [...], "lists": [...]}
//
// `ok` is false only when the command could not be carried out at all (an unknown command or
// control, a disabled control, bad arguments, no open screen); `exception` then says why and
// nothing happened. Otherwise `exception` is the exception that ended the user's event (the
// silent EAbort included) or null; `messages` and `lists` are every box and list shown during
// the command. `state` prints the screen's state instead. The journal's commands
// (history_commands.h) need no open screen and add what the server answered.

#include <nlohmann/json.hpp>
#include <string>

#include "host/driver_command.h"
#include "host/history_commands.h"

namespace tk {
class TApplication;
}

namespace host {

class ScreenModule;

class HeadlessDriver {
 public:
  HeadlessDriver(ScreenModule& module, tk::TApplication& application);

  // The reply to one line, or nothing for a blank or comment line.
  std::optional<nlohmann::ordered_json> Handle(const std::string& line);
  // True once `quit` was handled.
  bool Quitting() const { return quitting_; }

 private:
  nlohmann::ordered_json Execute(const DriverCommand& command);
  nlohmann::ordered_json Refused(const std::string& className, const std::string& why);

  ScreenModule& module_;
  tk::TApplication& app_;
  HistoryCommands history_;
  bool quitting_ = false;
};

}  // namespace host
