// Carries out the to-do list as one run.
#pragma once

#include <cstdint>

#include "apply/execution_context.h"

namespace dd {

class RunScope;

enum class RunOutcome {
  Done,            // every pending operation was attempted
  Stopped,         // a stop ended the run (or came before it)
  NothingPending,  // the list held nothing to do
  NotRun,          // the command ran nothing: refused, cancelled or busy
};

struct RunResult {
  RunOutcome outcome = RunOutcome::NotRun;
  int64_t failures = 0;  // operations that failed or were left alone
  bool operator==(const RunResult&) const = default;
};

// Carries out the to-do list. `countedJustNow`: the pending counts were made
// from this very list a moment ago (a one-step run, right after its
// simulation), so they are kept instead of counted once more.
// Begins an execution for it; NotRun when another run is active.
RunResult ExecuteSub(ExecutionContext& context, bool countedJustNow = false);
// The same within a run its caller has begun (and ends, or has moved on to
// its execution).
RunResult ExecuteBegun(ExecutionContext& context, RunScope& scope, bool countedJustNow = false);

}  // namespace dd
