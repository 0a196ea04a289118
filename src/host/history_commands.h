#pragma once
// The headless driver's commands for the journal of changes (driver_command.h): `changes`
// lists them, `change` shows one with a page of its products, `restore` undoes one. Each runs
// as one user event through the family's history client, so a refusal of the server shows as
// an error message and the silent abort, as on the screen. What the server answered is added
// to the reply, under "changes", "change" and "items", or "restored" (README, "Driving the
// screen from a script").

#include <nlohmann/json.hpp>

#include "host/driver_command.h"
#include "shared/history_client.h"

namespace host {

class HistoryCommands {
 public:
  // Runs `command` (one for which IsHistoryCommand holds) and adds its answer to `reply`.
  // Raises what the call raised.
  void Run(const DriverCommand& command, nlohmann::ordered_json& reply);

 private:
  shared::HistoryClient client_;
};

}  // namespace host
