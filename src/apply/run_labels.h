// The run labels: what the screen shows of a simulation or execution in progress.
#pragma once

#include "common/screen.h"

namespace dd {

class App;

// Clears the run statistics before a run.
void ClearRunStatistics(App& app);
// Tree statistics, action text and current item.
void ShowScanProgress(App& app);
// Pending statistics, estimate and progress bar, then the run labels.
void ShowPendingStatistics(App& app);
// The current item with its size.
void ShowCurrentItemLabels(App& app);
// The same when the caller knows already whether the current item is a folder.
void ShowCurrentItemLabels(App& app, bool isFolder);
// The action line of the execution in progress: "Execution in progress: 3 sec",
// the time counted from its start.
void ShowExecutionInProgress(App& app);
// Gives every folder-pair row the same status image.
void SetAllPairIcons(App& app, PairIcon icon);

}  // namespace dd
