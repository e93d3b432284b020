// The commands around a run: Execute, the one-step run, Stop, the report.
#pragma once

#include <string>

#include "apply/execute_sub.h"
#include "plan/folder_comparison.h"

namespace dd {

class App;

// Both begin their run with the command (its questions included) and return the
// engine's result, or RunOutcome::NotRun when nothing was run: another run was
// active or stopping, the lifecycle was closed, or the user declined.
RunResult Execute(App& app);
// Given `changed`, the one-step run compares only those pairs and folders (a watch's run).
RunResult ExecuteOneStep(App& app, const ChangedPairs* changed = nullptr);
// Asks the run in progress to stop; it stays Stopping until it has unwound.
void RequestRunStop(App& app);
// The "[Abort?]" question while a run is in progress.
void AbortQuestion(App& app);
// The names the scan skipped, as lines for a result box: the count, then the first few escaped.
std::string SkippedNamesText(const App& app);
void ReportExecutionFinished(App& app, double start, double end, const RunResult& result);
// A tick of the label timer: elapsed time of an execution, run labels of any run.
void LabelTimerTick(App& app);

}  // namespace dd
