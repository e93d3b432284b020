#include "flows/execute_flow.h"

#include <string>
#include <vector>

#include "apply/execute_sub.h"
#include "apply/run_scope.h"
#include "apply/statistics_labels.h"
#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "common/write_report.h"
#include "flows/command_lock.h"
#include "flows/log_file.h"
#include "flows/simulate.h"
#include "flows/todo_files.h"
#include "plan/run_log.h"
#include "todo/filters.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

// A command that could not begin its run: while another is active, the user may stop that one.
void Refused(App& app) {
  if (app.Run.Lifecycle.Active()) AbortQuestion(app);
}

void FinishCommand(App& app) {
  app.screen.RefreshButtons();
  app.Run.ActionText = app.Text("[Finished]");
  ShowScanProgress(app.screen, app.Run);
}

// While a run's question is open the action line says so, not what the last run did.
void ShowWaitingForAnswer(App& app) {
  app.Run.ActionText = app.Text("[Waiting for confirmation]");
  ShowScanProgress(app.screen, app.Run);
}

std::string ConfirmationPrompt(App& app) {
  const RunStatistics& r = app.Run;
  auto line = [&](const char* key, int64_t count, int64_t size) {
    return app.Text(key) + "\t" + std::to_string(count) + "\t" + FormatSize(static_cast<double>(size));
  };
  return app.Text("[Are you sure you want to execute]") + std::to_string(r.PendingOpsAtCount) +
         app.Text("[operations from the simulation?]") + "\r\n" +
         line("[Files to be deleted:  ]", r.Pending.Count(OpKind::Delete), r.Pending.Bytes(OpKind::Delete)) + "\r\n" +
         line("[Files to be created:  ]", r.Pending.Count(OpKind::New), r.Pending.Bytes(OpKind::New)) + "\r\n" +
         line("[Files to be replaced: ]", r.Pending.Count(OpKind::Replace), r.Pending.Bytes(OpKind::Replace)) +
         // Only a list with moves says so: the question stays as it was for every other list.
         (r.Pending.Count(OpKind::Move) > 0
              ? "\r\n" + line("[Items to be moved:    ]", r.Pending.Count(OpKind::Move), r.Pending.Bytes(OpKind::Move))
              : std::string());
}

// Items under a heading: a few by name, the rest as a count, so that the box stays readable.
std::string ItemsText(const std::string& heading, const std::vector<const std::string*>& items) {
  constexpr std::size_t kNamed = 20;
  std::string text = "\r\n" + heading + "\t" + std::to_string(items.size());
  for (std::size_t i = 0; i < items.size() && i < kNamed; ++i) text += "\r\n" + *items[i];
  if (items.size() > kNamed) text += "\r\n...";
  return text;
}

// The items left alone because they changed since the simulation, then those
// that failed for another named reason, by reason.
std::string NamedItemsText(const App& app) {
  std::string text;
  std::vector<const std::string*> items;
  for (const std::string& path : app.Run.ChangedItems) items.push_back(&path);
  if (!items.empty()) text += ItemsText(app.Text("[Changed since the simulation]"), items);
  const auto& failures = app.Run.NamedFailures;
  for (std::size_t i = 0; i < failures.size(); ++i) {
    const std::string& key = failures[i].reasonKey;
    bool first = true;
    for (std::size_t j = 0; j < i && first; ++j) first = failures[j].reasonKey != key;
    if (!first) continue;
    items.clear();
    for (std::size_t j = i; j < failures.size(); ++j)
      if (failures[j].reasonKey == key) items.push_back(&failures[j].path);
    text += ItemsText(app.Text(key), items);
  }
  return text;
}

}  // namespace

std::string SkippedNamesText(const App& app) {
  constexpr std::size_t kNamed = 20;
  const RunStatistics& r = app.Run;
  std::string text = "\r\n" + app.Text("[Skipped names]") + " \t" + std::to_string(r.SkippedNames);
  for (std::size_t i = 0; i < r.SkippedPaths.size() && i < kNamed; ++i) text += "\r\n" + EscapedText(r.SkippedPaths[i]);
  if (r.SkippedNames > static_cast<int64_t>(kNamed)) text += "\r\n...";
  return text;
}

void AbortQuestion(App& app) {
  const char* title = app.Run.Lifecycle.Execution() ? "[Execution]" : "[Simulation]";
  if (app.Show("[Abort?]", title, Buttons::YesNo, Icon::Question, MessageKind::AbortRun) == Answer::Yes)
    RequestRunStop(app);
}

void RequestRunStop(App& app) {
  RunStatistics& r = app.Run;
  const bool simulation = r.Lifecycle.Simulation();
  const bool execution = r.Lifecycle.Execution();
  // The run stays Stopping until it has unwound: nothing new may start inside it.
  r.Lifecycle.RequestStop();
  app.screen.RefreshButtons();
  app.screen.SetStopButtonVisible(StopButton::Simulation, false);
  app.screen.SetStopButtonVisible(StopButton::Execution, false);
  if (app.screen.PassStopToRun()) return;
  if (simulation) r.ActionText = app.Text("[Simulation aborted]");
  if (execution) r.ActionText = app.Text("[Execution aborted]");
  ShowScanProgress(app.screen, app.Run);
}

RunResult Execute(App& app) {
  // The run begins with the command, so that nothing else starts while its question is open.
  RunScope scope(app.Run.Lifecycle, app.screen, RunKind::Execution);
  if (!scope.Begun()) {
    Refused(app);
    return {};
  }
  RunStatistics& r = app.Run;
  const CommandLock lock(app);
  if (!lock.Held()) return {};
  // Another run may have replaced the list since it was shown: what is carried out is what is on disk.
  ReloadListIfChanged(app);
  if (r.PendingOps() == 0) {
    std::string exclude = ExcludeTextForRun(app.Options);
    ExcludeFromToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, exclude);
    std::string include = IncludeTextForRun(app.Options);
    IncludeInToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, include);
    CountOperations(app.ToDo.ToDoList, app.Run);
    ShowPendingStatistics(app.Run, app.Rates, app.messages);
  }
  app.screen.RefreshButtons();
  if (r.PendingOpsAtCount > 0) {
    ShowWaitingForAnswer(app);
    Answer a = app.Show("[Are you sure you want to execute]", ConfirmationPrompt(app),
                        app.Text("[Synchronization of folders]"), Buttons::OkCancel, Icon::Question,
                        MessageKind::ConfirmExecute);
    if (a != Answer::Ok) return {};
  }
  const double start = MonotonicSeconds();
  ExecutionContext context{app.ToDo, app.Run, app.Rates, app.Job, app.Options, app.Files, app.trash, app.messages};
  const RunResult result = ExecuteBegun(context, scope);
  const double end = MonotonicSeconds();
  ReportExecutionFinished(app, start, end, result);
  FinishCommand(app);
  return result;
}

RunResult ExecuteOneStep(App& app, const ChangedPairs* changed) {
  RunScope scope(app.Run.Lifecycle, app.screen, RunKind::OneStep);
  if (!scope.Begun()) {
    Refused(app);
    return {};
  }
  const CommandLock lock(app);
  if (!lock.Held()) return {};
  app.screen.RefreshButtons();
  ShowWaitingForAnswer(app);
  app.Yield();
  // A No ends the command before its run did anything: nothing to stop.
  if (app.Show("[Simulation and execution]", "[One-Klick Synchronisation]", Buttons::YesNo, Icon::Question,
               MessageKind::ConfirmOneClick) != Answer::Yes)
    return {};
  const double start = MonotonicSeconds();
  SimulateBegun(app, scope, changed);
  // Nothing comes between: the counts of the simulation are those of the list. A
  // stopped simulation executes nothing.
  ExecutionContext context{app.ToDo, app.Run, app.Rates, app.Job, app.Options, app.Files, app.trash, app.messages};
  const RunResult result = scope.Advance() ? ExecuteBegun(context, scope, true) : RunResult{RunOutcome::Stopped, 0};
  const double end = MonotonicSeconds();
  ReportExecutionFinished(app, start, end, result);
  FinishCommand(app);
  return result;
}

void ReportExecutionFinished(App& app, double start, double end, const RunResult& result) {
  const RunStatistics& r = app.Run;
  std::string report = app.Text("[Time needed: ]") + "\t" + FormatDuration(end - start) + "\r\n";
  if (r.DeletedBytes > 0)
    report += app.Text("[Deleted files: ]") + "\t" + std::to_string(r.DeletedCount) + "\t(" +
              FormatSize(static_cast<double>(r.DeletedBytes)) + ")\r\n";
  if (r.ReplacedBytes > 0 || r.NewBytes > 0)
    report += app.Text("[Copied files:  ]") + "\t" + std::to_string(r.ReplacedCount + r.NewCount) + "\t(" +
              FormatSize(static_cast<double>(r.ReplacedBytes + r.NewBytes)) + ")";
  if (r.MovedCount > 0) report += "\r\n" + app.Text("[Moved items:   ]") + "\t" + std::to_string(r.MovedCount);
  report += NamedItemsText(app);
  // Items the scan had to leave out are not in step: the run did not do all it should.
  const bool skipped = r.SkippedNames > 0;
  if (skipped) report += SkippedNamesText(app);

  std::string prompt;
  if (result.outcome == RunOutcome::Done && result.failures == 0 && !skipped) {
    prompt = app.Text("[operations successfully done]") + "\r\n" + report;
    app.Show("[operations successfully done]", prompt, app.Text("[Done]"), Buttons::Ok, Icon::None,
             MessageKind::RunReport);
  } else if (result.outcome == RunOutcome::Stopped) {
    prompt = app.Text("[Aborted]") + "\r\n" + report;
    app.Show("[Aborted]", prompt, app.Text("[Operation stopped]"), Buttons::Ok, Icon::None, MessageKind::RunReport);
  } else if (result.outcome == RunOutcome::NothingPending && !skipped) {
    prompt = app.Text("[no operations pending!]");
    app.Show("[no operations pending!]", prompt, app.Text("[Done]"), Buttons::Ok, Icon::None, MessageKind::RunReport);
  } else if (result.outcome == RunOutcome::Done || result.outcome == RunOutcome::NothingPending) {
    prompt = app.Text("[Errors occured!]") + "\r\n" + report;
    app.Show("[Errors occured!]", prompt, app.Text("[Errors]"), Buttons::Ok, Icon::Critical, MessageKind::RunReport);
  }
  if (!WriteRunLogEntry(app.Files.LogFilePath, "Execute", start, end, prompt))
    ReportFileNotWritten(app.messages, app.Files.LogFilePath, false);
  const char* outcome = result.outcome == RunOutcome::Stopped          ? "stopped"
                        : result.failures > 0 || skipped               ? "failed"
                        : result.outcome == RunOutcome::NothingPending ? "nothing pending"
                                                                       : "done";
  AppendToLogFile(app, r.Lifecycle.OneStep() ? "sync" : "execute", start, end, outcome);
}

void LabelTimerTick(App& app) {
  RunStatistics& r = app.Run;
  if (r.Lifecycle.State() == RunState::Executing) ShowExecutionInProgress(app.Run, app.messages);
  if (r.Lifecycle.Active()) ShowScanProgress(app.screen, app.Run);
}

}  // namespace dd
