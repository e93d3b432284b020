// The shared state of the current run: flags, tree statistics, pending and done
// counters, phase times and the texts the run labels show.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace dd {

struct RunStatistics {
  // Run flags. StopRequested is atomic because a signal handler and the second
  // scanning thread read or set it; everything else belongs to the main thread.
  std::atomic<bool> StopRequested{false};
  bool SimulationRunning = false;
  bool ExecutionRunning = false;
  bool OneClickRunning = false;
  bool ScanningF1 = false;
  bool ScanningF2 = false;

  // Tree statistics of the simulation (and kept current by the execution).
  int64_t TreeFoldersF1 = 0, TreeFoldersF2 = 0;
  int64_t TreeFilesF1 = 0, TreeFilesF2 = 0;
  int64_t TreeSizeF1 = 0, TreeSizeF2 = 0;
  bool TreeStatisticsValid = false;

  // Items left out of the comparison because their name holds a TAB, CR, LF or NUL,
  // which the record formats cannot carry.
  int64_t SkippedNames = 0;
  // Folders that could not be listed: nothing below them is planned on either side.
  int64_t UnlistedFolders = 0;
  // Pairs left out of the plan: one root inside the other, or a mass deletion the user refused.
  int64_t OverlappingPairs = 0;
  int64_t RefusedPairs = 0;

  // Pending operations by kind and side (counted from the operation list).
  int64_t PendingDeleteF1 = 0, PendingDeleteF2 = 0;
  int64_t PendingReplaceF1 = 0, PendingReplaceF2 = 0;
  int64_t PendingNewF1 = 0, PendingNewF2 = 0;
  int64_t PendingDeleteSizeF1 = 0, PendingDeleteSizeF2 = 0;
  int64_t PendingReplaceSizeF1 = 0, PendingReplaceSizeF2 = 0;
  int64_t PendingNewSizeF1 = 0, PendingNewSizeF2 = 0;
  int64_t PendingDeleteTotal = 0, PendingReplaceTotal = 0, PendingNewTotal = 0;
  int64_t PendingDeleteSize = 0, PendingReplaceSize = 0, PendingNewSize = 0;
  int64_t PendingOps = 0;
  int64_t PendingOpsAtCount = 0;

  // Done by the execution.
  int64_t DeletedCount = 0, ReplacedCount = 0, NewCount = 0;
  int64_t DeletedBytes = 0, ReplacedBytes = 0, NewBytes = 0;

  // Phase start times in monotonic seconds; 0 = not begun.
  double ExecutionStartTime = 0, FirstDeleteTime = 0, FirstNewTime = 0, FirstReplaceTime = 0;

  // Items of the last execution left alone because they changed since the
  // simulation (or a link now stands in their path).
  std::vector<std::string> ChangedItems;

  // Display texts.
  std::string ActionText;
  std::string CurrentFile;
  std::string CurrentSizeText;
  std::string LastOperationKind;  // "Delete", "New", "Replace" or ""
};

}  // namespace dd
