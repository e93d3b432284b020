#include "engine/simulation.h"

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string>
#include <vector>

#include "app/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "engine/comparison.h"
#include "engine/pair_guards.h"
#include "engine/root_check.h"
#include "engine/run_log.h"
#include "execution/execute_flow.h"
#include "execution/file_ops.h"
#include "execution/rates.h"
#include "execution/run_scope.h"
#include "oplist/filters.h"
#include "oplist/todo_list.h"

namespace dd {

namespace {

// The previous list may have been large; its memory goes back to the system
// before the scans need theirs.
void ReleaseFreedMemory() {
#ifdef __GLIBC__
  ::malloc_trim(0);
#endif
}

// Ends the run (also after the pair-count error): buttons, flags and labels back to idle.
void EndSimulation(App& app, RunScope& scope) {
  scope.End();
  app.Run.CurrentFile.clear();
  app.Run.ActionText = app.Text("[Finished]");
  app.Run.CurrentSizeText = "0";
  LabelsWaehrendSimuAuffuellen(app);
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
    Stoppen(app);
    return false;
  }
  std::vector<std::string> paths = Split(missing, kCrLf);
  std::size_t created = 0;
  for (const auto& p : paths) created += MakePath(p);
  if (created < paths.size()) app.Show("[Could not create folders]", "[Error]", Buttons::Ok, Icon::Critical);
  return true;
}

}  // namespace

void SetAllPairIcons(App& app, PairIcon icon) {
  std::size_t pairs = std::max(app.Job.SourceFolders.size(), app.Job.TargetFolders.size());
  for (std::size_t i = 0; i < pairs; ++i) app.screen.SetPairIcon(static_cast<int>(i), icon);
}

void SimuDatenLoeschen(App& app) {
  RunStatistics& r = app.Run;
  if (!r.ExecutionRunning) {
    r.CurrentFile.clear();
    r.TreeFoldersF1 = r.TreeFoldersF2 = r.TreeFilesF1 = r.TreeFilesF2 = 0;
    r.TreeSizeF1 = r.TreeSizeF2 = 0;
    r.ActionText.clear();
    r.TreeStatisticsValid = false;
    r.SkippedNames = 0;
    r.UnlistedFolders = 0;
    r.OverlappingPairs = 0;
    r.RefusedPairs = 0;
  }
  r.PendingDeleteF1 = r.PendingDeleteF2 = r.PendingReplaceF1 = r.PendingReplaceF2 = 0;
  r.PendingNewF1 = r.PendingNewF2 = 0;
  r.PendingDeleteSizeF1 = r.PendingDeleteSizeF2 = r.PendingReplaceSizeF1 = r.PendingReplaceSizeF2 = 0;
  r.PendingNewSizeF1 = r.PendingNewSizeF2 = 0;
  r.PendingDeleteTotal = r.PendingReplaceTotal = r.PendingNewTotal = 0;
  r.PendingDeleteSize = r.PendingReplaceSize = r.PendingNewSize = 0;
  r.PendingOps = r.PendingOpsAtCount = 0;
  r.DeletedCount = r.ReplacedCount = r.NewCount = 0;
  r.DeletedBytes = r.ReplacedBytes = r.NewBytes = 0;
  r.FirstDeleteTime = r.FirstNewTime = r.FirstReplaceTime = 0;
  app.screen.SetStatusText(2, "");
}

void LabelsWaehrendSimuAuffuellen(App& app) {
  app.screen.ShowRunLabels(app.Run);
}

void LabelsMitSimuDatenAuffuellen(App& app) {
  RunStatistics& r = app.Run;
  r.PendingOps =
      r.PendingDeleteF1 + r.PendingDeleteF2 + r.PendingNewF1 + r.PendingNewF2 + r.PendingReplaceF1 + r.PendingReplaceF2;
  PendingLabels labels;
  labels.EstimateText = ZeitAbschaetzen(app);
  if (r.PendingOps == 0) {
    r.CurrentFile.clear();
    r.CurrentSizeText = "0";
  }
  double percent = r.PendingOpsAtCount == 0
                       ? 0.0
                       : static_cast<double>(r.PendingOpsAtCount - r.PendingOps) * 100.0 / r.PendingOpsAtCount;
  labels.ProgressPercent = std::clamp(static_cast<int>(percent + 0.5), 0, 100);
  if (r.LastOperationKind == "Delete") {
    labels.ProgressRed = 255;
  } else if (r.LastOperationKind == "New") {
    labels.ProgressRed = 179, labels.ProgressGreen = 125, labels.ProgressBlue = 186;
  } else if (r.LastOperationKind == "Replace") {
    labels.ProgressRed = 67, labels.ProgressGreen = 142, labels.ProgressBlue = 142;
  }
  app.screen.ShowPendingLabels(r, labels);
  LabelsWaehrendSimuAuffuellen(app);
}

void LabelsCurrentAusgeben(App& app) {
  LabelsCurrentAusgeben(app, IsDirectory(app.Run.CurrentFile));
}

void LabelsCurrentAusgeben(App& app, bool isFolder) {
  app.screen.ShowCurrentItem(app.Run.CurrentFile, isFolder ? std::string() : app.Run.CurrentSizeText);
}

void Simulate(App& app) {
  RunStatistics& r = app.Run;
  if (r.SimulationRunning || r.ExecutionRunning) {
    AbortQuestion(app);
    return;
  }
  // A stop that came before the run is kept: the front end clears the flag when the user starts a run.
  app.screen.RefreshButtons();
  RunScope scope(app, &RunStatistics::SimulationRunning, StopButton::Simulation);
  SetAllPairIcons(app, PairIcon::Dualdock);
  SimuDatenLoeschen(app);
  LabelsMitSimuDatenAuffuellen(app);
  const double start = MonotonicSeconds();

  if (app.Job.SourceFolders.size() != app.Job.TargetFolders.size()) {
    app.Show("[same number of folders]", "[Simulation]", Buttons::Ok, Icon::Critical);
    Stoppen(app);
    EndSimulation(app, scope);
    return;
  }
  if (!HandleMissingFolders(app)) return;

  DeleteFileForced(app.Files.ToDoFilePath);
  std::vector<std::string>(1).swap(app.ToDo.ToDoList);
  app.ToDo.Rows.clear();
  ReleaseFreedMemory();

  const auto& sources = app.Job.SourceFolders;
  const auto& targets = app.Job.TargetFolders;
  const int last = static_cast<int>(sources.size()) - 1;
  std::string unreadable, overlapping;
  auto& toDo = app.ToDo.ToDoList;
  for (int i = 0; i <= last; ++i) {
    app.Yield();
    if (r.StopRequested) break;
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
    const PairPlan plan = SimulatePfade(app, sources[i], targets[i], i, last);
    if (plan.Complete && app.settings.MassDeleteGuard && IsMassDeletion(plan) &&
        !ConfirmMassDeletion(app, sources[i], targets[i], plan)) {
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
  if (!overlapping.empty())
    app.Show("[Folders inside each other]",
             app.Text("[Folders inside each other]") + "\r\n" + StripAffixOnce(overlapping, kCrLf), app.Text("[Error]"),
             Buttons::Ok, Icon::Critical, MessageKind::FoldersInsideEachOther);

  r.TreeStatisticsValid = true;
  r.ActionText = app.Text("[Sorting list with operations]");
  LabelsWaehrendSimuAuffuellen(app);
  app.Yield();
  SortExecutionFile(app);
  const double end = MonotonicSeconds();

  r.ActionText = app.Text("[Excluding files..]");
  LabelsWaehrendSimuAuffuellen(app);
  int filtered = 0;
  std::string exclude = ExcludeTextForRun(app);
  app.Yield();
  if (!exclude.empty()) filtered += ExcludeFromToDoList(app, exclude);
  std::string include = IncludeTextForRun(app);
  if (!include.empty()) filtered += IncludeInToDoList(app, include);

  CountOperations(app);
  LabelsMitSimuDatenAuffuellen(app);

  r.ActionText = app.Text("[Displaying operations..]");
  app.Yield();
  ListViewAusfuellen(app);

  if (r.StopRequested) {
    app.Show("[Aborted]", app.Text("[Aborted]"), std::string());
    r.ActionText = app.Text("[Aborted]");
    SetAllPairIcons(app, PairIcon::Dualdock);
    EndSimulation(app, scope);
    return;
  }

  const int64_t pending =
      r.PendingDeleteF1 + r.PendingDeleteF2 + r.PendingNewF1 + r.PendingNewF2 + r.PendingReplaceF1 + r.PendingReplaceF2;
  std::string summary = app.Text("[Excluded Files]") + " \t" + std::to_string(filtered) + "\r\n" +
                        app.Text("[Operations Pending:]") + " \t" + std::to_string(pending);
  if (r.UnlistedFolders > 0)
    summary += "\r\n" + app.Text("[Folders not read]") + " \t" + std::to_string(r.UnlistedFolders);
  if (r.OverlappingPairs > 0)
    summary += "\r\n" + app.Text("[Pairs inside each other]") + " \t" + std::to_string(r.OverlappingPairs);
  if (r.RefusedPairs > 0) summary += "\r\n" + app.Text("[Pairs not planned]") + " \t" + std::to_string(r.RefusedPairs);
  if (r.SkippedNames > 0) summary += "\r\n" + app.Text("[Skipped names]") + " \t" + std::to_string(r.SkippedNames);
  if (!r.OneClickRunning)
    app.Show("[Simulation done in ]",
             app.Text("[Simulation done in ]") + FormatDuration(end - start) + "\r\n" + summary, std::string());
  LogSpeichern(app.Files.LogFilePath, "Simulate", start, end, summary);
  EndSimulation(app, scope);
}

}  // namespace dd
