#pragma once
// The state the headless driver prints for `state`: the open screen's window, focus, cursor
// and busy animations, every control's text, enabled and checked state, the radio groups'
// item indexes, the product selection list, the data sets, and the module's globals.

#include <nlohmann/json.hpp>

namespace host {

class ScreenModule;

// {"form": null | {...}, "globals": {...}}, as the driver's command language fixes it.
nlohmann::ordered_json ScreenState(const ScreenModule& module, int busy);

}  // namespace host
