// The Simulate command.
#pragma once

#include "plan/folder_comparison.h"

namespace dd {

class App;
class RunScope;

// Begins a simulation and runs it; while another run is active it asks
// whether to stop that one instead.
void Simulate(App& app);
// The simulation within a run its caller has begun; given `changed`, only the pairs and folders
// named there are compared.
void SimulateBegun(App& app, RunScope& scope, const ChangedPairs* changed = nullptr);

}  // namespace dd
