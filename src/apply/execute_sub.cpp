#include "apply/execute_sub.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "common/write_report.h"
#include "apply/execution_walk.h"
#include "apply/rates.h"
#include "apply/run_labels.h"
#include "apply/run_scope.h"
#include "todo/record_texts.h"
#include "todo/todo_list.h"

namespace dd {

RunResult ExecuteSub(App& app, bool countedJustNow) {
  RunScope scope(app, RunKind::Execution);
  if (!scope.Begun()) return {};
  return ExecuteBegun(app, scope, countedJustNow);
}

RunResult ExecuteBegun(App& app, RunScope& scope, bool countedJustNow) {
  RunStatistics& r = app.Run;
  r.ChangedItems.clear();
  r.NamedFailures.clear();
  r.FailedItems.clear();
  if (r.Lifecycle.StopRequested()) return {RunOutcome::Stopped, 0};
  if (r.PendingOpsAtCount == 0) return {RunOutcome::NothingPending, 0};

  SetAllPairIcons(app, PairIcon::Operation);
  // Rows built from the list are in order already.
  if (!std::is_sorted(app.ToDo.Rows.begin(), app.ToDo.Rows.end()))
    std::sort(app.ToDo.Rows.begin(), app.ToDo.Rows.end());
  app.screen.ToDoRowsRebuilt();
  scope.Show(StopButton::Execution);
  r.ExecutionStartTime = MonotonicSeconds();
  // Shown from the start, not from the label timer's first tick.
  ShowExecutionInProgress(app);
  const PendingTable counted = r.Pending;
  const int64_t countedOps = r.PendingOpsAtCount;
  ClearRunStatistics(app);
  if (countedJustNow) {
    r.Pending = counted;
    r.PendingOpsAtCount = countedOps;
  } else {
    CountOperations(app.ToDo.ToDoList, app.Run);
  }
  ShowPendingStatistics(app);

  int failures = RunExecutionWalk(app);

  SaveRates(app);
  // Also rebuilds the rows from the remaining records. A list not written back would offer the done
  // operations again: the run did not succeed.
  if (!SaveToDoList(app.ToDo, app.Files, app.screen)) {
    ReportFileNotWritten(app, app.Files.ToDoFilePath);
    ++failures;
  }
  CountOperations(app.ToDo.ToDoList, app.Run);
  ShowPendingStatistics(app);
  app.screen.SetStatusText(2, "");
  SetAllPairIcons(app, PairIcon::Dualdock);
  scope.Hide();
  r.CurrentFile.clear();
  app.screen.ShowCurrentItem(r.CurrentFile, std::string());
  return {r.Lifecycle.StopRequested() ? RunOutcome::Stopped : RunOutcome::Done, failures};
}

}  // namespace dd
