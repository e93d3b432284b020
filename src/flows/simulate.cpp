#include "flows/simulate.h"

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string>
#include <vector>

#include "apply/file_ops.h"
#include "apply/leftovers.h"
#include "apply/rates.h"
#include "apply/run_scope.h"
#include "apply/statistics_labels.h"
#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "common/write_report.h"
#include "flows/command_lock.h"
#include "flows/execute_flow.h"
#include "flows/log_file.h"
#include "plan/comparison.h"
#include "plan/pair_guards.h"
#include "plan/root_check.h"
#include "plan/run_log.h"
#include "todo/filters.h"
#include "todo/list_plan.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

// The previous list may have been large; its memory goes back to the system
// before the scans need theirs.
void ReleaseFreedMemory() {
#ifdef __GLIBC__
  ::malloc_trim(0);
#endif
}

// Ends the simulation (also after the pair-count error): buttons and labels back to idle.
void EndSimulation(App& app, RunScope& scope) {
  scope.Hide();
  app.Run.CurrentFile.clear();
  app.Run.ActionText = app.Text("[Finished]");
  app.Run.CurrentSizeText.assign(1, '0');  // not = "0": GCC 12 warns falsely (-Wrestrict)
  ShowScanProgress(app.screen, app.Run);
}

// Asks for the missing folders and creates them. False when the user said No.
bool HandleMissingFolders(App& app) {
  std::string missing;
  for (const auto* list : {&app.Job.SourceFolders, &app.Job.TargetFolders})
    for (const auto& folder : *list)
      // A path with a NUL byte or a line break would be created cut or as another name.
      if (IsRecordableText(folder) && !PathExists(folder)) missing += folder + "\r\n";
  missing = StripAffixOnce(missing, kCrLf);
  if (missing.empty()) return true;

  Answer a =
      app.Show("[folders do not exist]", app.Text("[folders do not exist]") + "\r\n" + missing,
               app.Text("[Not existing folders]"), Buttons::YesNo, Icon::Question, MessageKind::CreateMissingFolders);
  if (a != Answer::Yes) {
    app.Show("[BackUp aborted by user]", "[Simulation]", Buttons::Ok, Icon::None, MessageKind::AbortedByUser);
    RequestRunStop(app);
    return false;
  }
  std::vector<std::string> paths = Split(missing, kCrLf);
  std::size_t created = 0;
  for (const auto& p : paths) created += MakePath(p) ? 1 : 0;
  if (created < paths.size()) app.Show("[Could not create folders]", "[Error]", Buttons::Ok, Icon::Critical);
  return true;
}

void ShowOverlapping(App& app, const std::string& pairs) {
  app.Show("[Folders inside each other]", app.Text("[Folders inside each other]") + "\r\n" + pairs, app.Text("[Error]"),
           Buttons::Ok, Icon::Critical, MessageKind::FoldersInsideEachOther);
}

// Pairs writing into each other's folders undo each other's work (one deletes what the other
// copies): such a job plans nothing at all. True when it was refused and the run ended.
bool RefuseCrossingPairs(App& app, RunScope& scope) {
  const std::string crossing =
      PairsOverlappingEachOther(app.Job.SourceFolders, app.Job.TargetFolders, app.Modes.CurrentBackupMode);
  if (crossing.empty()) return false;
  ShowOverlapping(app, crossing);
  RequestRunStop(app);
  RebuildToDoRows(app.ToDo, app.screen);
  EndSimulation(app, scope);
  return true;
}

// A program file that could not be written ends the simulation as a failure, never as a success.
void FailUnwritten(App& app, RunScope& scope, const std::string& path) {
  ReportFileNotWritten(app.messages, path);
  RequestRunStop(app);
  EndSimulation(app, scope);
}

// Removes the old list and its record, the record first: no moment pairs a list with another job's
// record. Then the record of this simulation waits in app.ToDo.Plan. False when a file stayed.
bool ClearOldList(App& app, RunScope& scope) {
  const std::string& list = app.Files.ToDoFilePath;
  if (!RemoveListPlan(app.ToDo, app.Files)) {
    FailUnwritten(app, scope, app.Files.PlanFilePath);
    return false;
  }
  DeleteFile(list);
  RememberListFile(app.ToDo, app.Files);
  if (PathExists(list)) {
    FailUnwritten(app, scope, list);
    return false;
  }
  app.ToDo.Plan = PlanOfCurrentJob(app.Job, app.Modes.CurrentBackupMode, app.Options);
  return true;
}

// Compares every pair that can be compared (of `changed` only, when given) and plans it into
// the list; tells of the pairs left out.
void PlanAllPairs(App& app, const ChangedPairs* changed) {
  RunStatistics& r = app.Run;
  const auto& sources = app.Job.SourceFolders;
  const auto& targets = app.Job.TargetFolders;
  const int last = static_cast<int>(sources.size()) - 1;
  std::string unreadable, overlapping;
  auto& toDo = app.ToDo.ToDoList;
  for (int i = 0; i <= last; ++i) {
    app.Yield();
    if (r.Lifecycle.StopRequested()) break;
    const auto folders = changed ? changed->find(i) : ChangedPairs::const_iterator();
    if (changed && folders == changed->end()) continue;
    if (!PathExists(sources[i]) || !PathExists(targets[i])) continue;
    // A root that exists but cannot be listed would look empty, and the other
    // side would be planned for deletion: such a pair is left alone.
    std::string bad = UnlistableRoots(sources[i], targets[i]);
    if (!bad.empty()) {
      unreadable += bad;
      continue;
    }
    // One root inside the other: each side would see the other as its own
    // content, delete it or copy it into itself.
    if (RootsOverlap(sources[i], targets[i])) {
      overlapping += sources[i] + "\t" + targets[i] + "\r\n";
      ++r.OverlappingPairs;
      continue;
    }
    app.screen.SetPairIcon(i, PairIcon::Search);
    const std::size_t planned = toDo.size();
    const ComparisonContext context{app.Options, app.Modes.CurrentBackupMode, app.Files, toDo, r, app.messages};
    const PairPlan plan = changed ? SimulateChangedFolders(context, sources[i], targets[i], i, last, folders->second)
                                  : ComparePair(context, sources[i], targets[i], i, last);
    // Copies a killed run never named: the scan left them out, and nobody will finish them.
    RemoveDeadTemporaryCopies(sources[i], plan.TemporaryCopiesF1);
    RemoveDeadTemporaryCopies(targets[i], plan.TemporaryCopiesF2);
    // A pair that could not be compared plans nothing and is named with the roots that could not be read.
    if (plan.Failure) {
      toDo.resize(planned);
      unreadable += plan.Failure->Folder + "\t" + plan.Failure->Reason + "\r\n";
      ++r.UnlistedFolders;
      app.screen.SetPairIcon(i, PairIcon::Dualdock);
      continue;
    }
    if (plan.Complete && app.settings.MassDeleteGuard && IsMassDeletion(plan) &&
        !ConfirmMassDeletion(app.messages, sources[i], targets[i], plan)) {
      // Nothing of a refused pair goes into the list, so no later execution can carry it out.
      toDo.resize(planned);
      ++r.RefusedPairs;
      app.screen.SetPairIcon(i, PairIcon::Dualdock);
      continue;
    }
    app.screen.SetPairIcon(i, PairIcon::Done);
  }
  if (!unreadable.empty())
    app.Show("[Could not read folders]",
             app.Text("[Could not read folders]") + "\r\n" + StripAffixOnce(unreadable, kCrLf), app.Text("[Error]"),
             Buttons::Ok, Icon::Critical);
  if (!overlapping.empty()) ShowOverlapping(app, StripAffixOnce(overlapping, kCrLf));
}

// The counts the result box and the log show.
std::string SimulationSummary(const App& app, int filtered) {
  const RunStatistics& r = app.Run;
  const int64_t pending = r.PendingOps();
  std::string summary = app.Text("[Excluded Files]") + " \t" + std::to_string(filtered) + "\r\n" +
                        app.Text("[Operations Pending:]") + " \t" + std::to_string(pending);
  if (r.UnlistedFolders > 0)
    summary += "\r\n" + app.Text("[Folders not read]") + " \t" + std::to_string(r.UnlistedFolders);
  if (r.OverlappingPairs > 0)
    summary += "\r\n" + app.Text("[Pairs inside each other]") + " \t" + std::to_string(r.OverlappingPairs);
  if (r.RefusedPairs > 0) summary += "\r\n" + app.Text("[Pairs not planned]") + " \t" + std::to_string(r.RefusedPairs);
  if (r.SkippedNames > 0) summary += SkippedNamesText(app);
  return summary;
}

}  // namespace

void Simulate(App& app) {
  RunScope scope(app.Run.Lifecycle, app.screen, RunKind::Simulation);
  if (!scope.Begun()) {
    if (app.Run.Lifecycle.Active()) AbortQuestion(app);
    return;
  }
  const CommandLock lock(app);
  if (!lock.Held()) return;
  SimulateBegun(app, scope);
}

void SimulateBegun(App& app, RunScope& scope, const ChangedPairs* changed) {
  RunStatistics& r = app.Run;
  app.screen.RefreshButtons();
  scope.Show(StopButton::Simulation);
  SetAllPairIcons(app.screen, app.Job, PairIcon::Dualdock);
  ClearRunStatistics(app.Run, app.screen);
  ShowPendingStatistics(app.Run, app.Rates, app.messages);
  const double start = MonotonicSeconds();

  if (app.Job.SourceFolders.size() != app.Job.TargetFolders.size()) {
    app.Show("[same number of folders]", "[Simulation]", Buttons::Ok, Icon::Critical);
    RequestRunStop(app);
    EndSimulation(app, scope);
    return;
  }
  if (!HandleMissingFolders(app)) return;

  if (!ClearOldList(app, scope)) return;
  std::vector<std::string>(1).swap(app.ToDo.ToDoList);
  app.ToDo.Rows.clear();
  ReleaseFreedMemory();

  if (RefuseCrossingPairs(app, scope)) return;
  // What changes after this moment changed after planning.
  app.ToDo.PlannedAtNs = WallClockNs();
  PlanAllPairs(app, changed);

  r.TreeStatisticsValid = true;
  r.ActionText = app.Text("[Sorting list with operations]");
  ShowScanProgress(app.screen, app.Run);
  app.Yield();
  // The record first, then the list: a list on disk always has its own job's record.
  if (!WriteListPlan(app.ToDo, app.Files)) return FailUnwritten(app, scope, app.Files.PlanFilePath);
  if (!SortExecutionFile(app.ToDo, app.Files)) return FailUnwritten(app, scope, app.Files.ToDoFilePath);
  const double end = MonotonicSeconds();

  r.ActionText = app.Text("[Excluding files..]");
  ShowScanProgress(app.screen, app.Run);
  int filtered = 0;
  std::string exclude = ExcludeTextForRun(app.Options);
  app.Yield();
  if (!exclude.empty())
    filtered += ExcludeFromToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, exclude);
  std::string include = IncludeTextForRun(app.Options);
  if (!include.empty()) filtered += IncludeInToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, include);

  CountOperations(app.ToDo.ToDoList, app.Run);
  ShowPendingStatistics(app.Run, app.Rates, app.messages);

  r.ActionText = app.Text("[Displaying operations..]");
  app.Yield();
  RebuildToDoRows(app.ToDo, app.screen);

  if (r.Lifecycle.StopRequested()) {
    app.Show("[Aborted]", app.Text("[Aborted]"), std::string());
    r.ActionText = app.Text("[Aborted]");
    SetAllPairIcons(app.screen, app.Job, PairIcon::Dualdock);
    EndSimulation(app, scope);
    return;
  }

  const std::string summary = SimulationSummary(app, filtered);
  if (!r.Lifecycle.OneStep())
    app.Show("[Simulation done in ]",
             app.Text("[Simulation done in ]") + FormatDuration(end - start) + "\r\n" + summary, std::string());
  if (!WriteRunLogEntry(app.Files.LogFilePath, "Simulate", start, end, summary))
    ReportFileNotWritten(app.messages, app.Files.LogFilePath, false);
  // The one-step run writes one record, after its execution.
  if (!r.Lifecycle.OneStep())
    AppendToLogFile(app, "simulate", start, end, r.UnlistedFolders + r.SkippedNames > 0 ? "failed" : "done");
  EndSimulation(app, scope);
}

}  // namespace dd
