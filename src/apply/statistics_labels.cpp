#include "apply/statistics_labels.h"

#include <algorithm>
#include <string>

#include "apply/rates.h"
#include "common/clock.h"
#include "common/duration_text.h"
#include "common/files.h"
#include "common/progress.h"

namespace dd {

void SetAllPairIcons(Screen& screen, const JobState& job, PairIcon icon) {
  std::size_t pairs = std::max(job.SourceFolders.size(), job.TargetFolders.size());
  for (std::size_t i = 0; i < pairs; ++i) screen.SetPairIcon(static_cast<int>(i), icon);
}

void ClearRunStatistics(RunStatistics& r, Screen& screen) {
  if (!r.Lifecycle.Execution()) {
    r.CurrentFile.clear();
    r.TreeFoldersF1 = r.TreeFoldersF2 = r.TreeFilesF1 = r.TreeFilesF2 = 0;
    r.TreeSizeF1 = r.TreeSizeF2 = 0;
    r.ActionText.clear();
    r.TreeStatisticsValid = false;
    r.SkippedNames = 0;
    r.SkippedPaths.clear();
    r.OwnEntriesLeftOut = 0;
    r.UnlistedFolders = 0;
    r.OverlappingPairs = 0;
    r.RefusedPairs = 0;
    // A new plan: the failures of the last execution are no longer this run's.
    r.FailedItems.clear();
    r.Compared = {};
  }
  r.Verified = {};
  r.Pending.Clear();
  r.PendingOpsAtCount = 0;
  r.DeletedCount = r.ReplacedCount = r.NewCount = 0;
  r.DeletedBytes = r.ReplacedBytes = r.NewBytes = 0;
  r.MovedCount = r.MovedBytes = r.MovedByCopy = 0;
  r.FirstDeleteTime = r.FirstNewTime = r.FirstReplaceTime = 0;
  screen.SetStatusText(2, "");
}

void ShowExecutionInProgress(RunStatistics& r, const Messages& messages) {
  r.ActionText = messages.Text("[Execution in progress]") + ": " +
                 ShortDurationText(messages, MonotonicSeconds() - r.ExecutionStartTime);
}

void ShowScanProgress(Screen& screen, const RunStatistics& run) {
  screen.ShowRunLabels(run);
}

void ShowPendingStatistics(RunStatistics& r, RateState& rates, Messages& messages) {
  const int64_t pending = r.PendingOps();
  PendingLabels labels;
  labels.EstimateText = EstimateRemainingTime(r, rates, messages);
  if (pending == 0) {
    r.CurrentFile.clear();
    r.CurrentSizeText.assign(1, '0');  // not = "0": GCC 12 warns falsely (-Wrestrict)
  }
  labels.ProgressPercent =
      ProgressPercent(static_cast<double>(r.PendingOpsAtCount - pending), static_cast<double>(r.PendingOpsAtCount));
  if (r.LastOperationKind == OpKind::Delete) {
    labels.ProgressRed = 255;
  } else if (r.LastOperationKind == OpKind::New) {
    labels.ProgressRed = 179, labels.ProgressGreen = 125, labels.ProgressBlue = 186;
  } else if (r.LastOperationKind == OpKind::Replace) {
    labels.ProgressRed = 67, labels.ProgressGreen = 142, labels.ProgressBlue = 142;
  } else if (r.LastOperationKind == OpKind::Move) {
    labels.ProgressRed = 96, labels.ProgressGreen = 150, labels.ProgressBlue = 90;
  }
  messages.screen().ShowPendingLabels(r, labels);
  ShowScanProgress(messages.screen(), r);
}

void ShowCurrentItemLabels(Screen& screen, const RunStatistics& run) {
  ShowCurrentItemLabels(screen, run, IsDirectory(run.CurrentFile));
}

void ShowCurrentItemLabels(Screen& screen, const RunStatistics& run, bool isFolder) {
  screen.ShowCurrentItem(run.CurrentFile, isFolder ? std::string() : run.CurrentSizeText);
}

}  // namespace dd
