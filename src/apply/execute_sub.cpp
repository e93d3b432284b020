#include "apply/execute_sub.h"

#include <algorithm>
#include <string>
#include <vector>

#include "apply/execution_walk.h"
#include "apply/rates.h"
#include "apply/run_scope.h"
#include "apply/statistics_labels.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "common/write_report.h"
#include "todo/record_texts.h"
#include "todo/todo_list.h"

namespace dd {

RunResult ExecuteSub(ExecutionContext& context, bool countedJustNow) {
  RunScope scope(context.run.Lifecycle, context.messages.screen(), RunKind::Execution);
  if (!scope.Begun()) return {};
  return ExecuteBegun(context, scope, countedJustNow);
}

RunResult ExecuteBegun(ExecutionContext& context, RunScope& scope, bool countedJustNow) {
  RunStatistics& r = context.run;
  ToDoState& toDo = context.toDo;
  Screen& screen = context.messages.screen();
  r.ChangedItems.clear();
  r.NamedFailures.clear();
  r.FailedItems.clear();
  if (r.Lifecycle.StopRequested()) return {RunOutcome::Stopped, 0};
  if (r.PendingOpsAtCount == 0) return {RunOutcome::NothingPending, 0};

  SetAllPairIcons(screen, context.job, PairIcon::Operation);
  // Rows built from the list are in order already.
  if (!std::is_sorted(toDo.Rows.begin(), toDo.Rows.end())) std::sort(toDo.Rows.begin(), toDo.Rows.end());
  screen.ToDoRowsRebuilt();
  scope.Show(StopButton::Execution);
  r.ExecutionStartTime = MonotonicSeconds();
  // Shown from the start, not from the label timer's first tick.
  ShowExecutionInProgress(r, context.messages);
  const PendingTable counted = r.Pending;
  const int64_t countedOps = r.PendingOpsAtCount;
  ClearRunStatistics(r, screen);
  if (countedJustNow) {
    r.Pending = counted;
    r.PendingOpsAtCount = countedOps;
  } else {
    CountOperations(toDo.ToDoList, r);
  }
  ShowPendingStatistics(r, context.rates, context.messages);

  int failures = RunExecutionWalk(context);

  SaveRates(context.rates, context.files, context.messages);
  // Also rebuilds the rows from the remaining records. A list not written back would offer the done
  // operations again: the run did not succeed.
  if (!SaveToDoList(toDo, context.files, screen)) {
    ReportFileNotWritten(context.messages, context.files.ToDoFilePath);
    ++failures;
  }
  CountOperations(toDo.ToDoList, r);
  ShowPendingStatistics(r, context.rates, context.messages);
  screen.SetStatusText(2, "");
  SetAllPairIcons(screen, context.job, PairIcon::Dualdock);
  scope.Hide();
  r.CurrentFile.clear();
  screen.ShowCurrentItem(r.CurrentFile, std::string());
  return {r.Lifecycle.StopRequested() ? RunOutcome::Stopped : RunOutcome::Done, failures};
}

}  // namespace dd
