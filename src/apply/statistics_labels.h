// The run statistics labels: what the screen shows of a simulation or execution in progress.
#pragma once

#include "common/messages.h"
#include "common/run_statistics.h"
#include "common/screen.h"
#include "common/state.h"

namespace dd {

// Clears the run statistics before a run.
void ClearRunStatistics(RunStatistics& run, Screen& screen);
// Tree statistics, action text and current item.
void ShowScanProgress(Screen& screen, const RunStatistics& run);
// Pending statistics, estimate and progress bar, then the run labels.
void ShowPendingStatistics(RunStatistics& run, RateState& rates, Messages& messages);
// The current item with its size.
void ShowCurrentItemLabels(Screen& screen, const RunStatistics& run);
// The same when the caller knows already whether the current item is a folder.
void ShowCurrentItemLabels(Screen& screen, const RunStatistics& run, bool isFolder);
// The action line of the execution in progress: "Execution in progress: 3 sec",
// the time counted from its start.
void ShowExecutionInProgress(RunStatistics& run, const Messages& messages);
// Gives every folder-pair row of the job the same status image.
void SetAllPairIcons(Screen& screen, const JobState& job, PairIcon icon);

}  // namespace dd
