// The execution engine.
#pragma once

namespace dd {

class App;

inline constexpr int kExecutionStopped = -1;
inline constexpr int kNothingPending = -2;
// Returned by the commands when no run took place (refused, cancelled or busy).
inline constexpr int kNotRun = -3;

// Carries out the pending list; failures (0+), kExecutionStopped or kNothingPending.
int ExecuteSub(App& app);

}  // namespace dd
