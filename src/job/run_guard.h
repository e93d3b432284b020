// Commands that change the job or the list wait for a run to end.
#pragma once

namespace dd {

class App;

// True when a simulation or execution is active; asks then whether to stop it
// (the caller drops its command either way). A run walks the list and the pairs
// while it yields, so they must not change under it.
bool RefusedDuringRun(App& app);

}  // namespace dd
