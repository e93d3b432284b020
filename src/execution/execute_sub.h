// The execution engine.
#pragma once

namespace dd {

class App;

inline constexpr int kExecutionStopped = -1;
inline constexpr int kNothingPending = -2;

// Carries out the pending list; failures (0+), kExecutionStopped or kNothingPending.
int ExecuteSub(App& app);

}  // namespace dd
