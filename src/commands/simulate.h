// The Simulate command.
#pragma once

namespace dd {

class App;
class RunScope;

// Begins a simulation and runs it; while another run is active it asks
// whether to stop that one instead.
void Simulate(App& app);
// The simulation within a run its caller has begun.
void SimulateBegun(App& app, RunScope& scope);

}  // namespace dd
