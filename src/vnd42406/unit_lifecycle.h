#pragma once
// Start and stop of the screen's unit, called by the module's start and stop. Each does its
// work only once per process however many loaders ask: start resets the form-exists flag the
// first time, stop empties the exported error text when as many stops as starts have run.

namespace vnd42406 {

void UnitInitialization();
void UnitFinalization();

}  // namespace vnd42406
