#include "window_rules/job_loads.h"

#include <algorithm>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "flows/execute_flow.h"
#include "job/folder_pairs.h"
#include "job/job_file.h"
#include "job/run_guard.h"
#include "window_rules/window_title.h"

namespace dd {

namespace {

bool SameJobFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  const std::string ra = ResolvedPath(a), rb = ResolvedPath(b);
  return (ra.empty() ? a : ra) == (rb.empty() ? b : rb);
}

// The question's key: what the load (or New) would lose.
std::string DiscardKey(bool changes, bool list, bool forNew) {
  const std::string tail = forNew ? " for a new job?]" : "?]";
  if (changes && list) return "[Discard unsaved pairs and pending list" + tail;
  return (changes ? "[Discard unsaved pairs" : "[Discard pending list") + tail;
}

// Asks before unsaved changes or the pending list go; true when nothing goes or
// the answer was Yes.
bool MayDiscard(App& app, bool list, bool forNew) {
  const bool changes = JobHasUnsavedChanges(app);
  if (!changes && !list) return true;
  Message m;
  m.kind = MessageKind::DiscardForLoad;
  m.key = DiscardKey(changes, list, forNew);
  m.prompt = app.Text(m.key);
  m.title = app.Text("[Attention!]");
  m.buttons = Buttons::YesNo;
  m.icon = Icon::Question;
  m.defaultIsNo = true;
  return app.screen.ShowMessage(m) == Answer::Yes;
}

}  // namespace

bool HasPendingList(const App& app) {
  const auto& list = app.ToDo.ToDoList;
  return std::any_of(list.begin(), list.end(), [](const std::string& record) { return !record.empty(); });
}

bool LoadKeepsList(const App& app, const std::string& path) {
  return app.ToDo.Plan.Known && SameJobFile(StripAffixOnce(path, "\""), app.ToDo.Plan.JobFile);
}

bool MayLoadJob(App& app, const std::string& path) {
  return MayDiscard(app, HasPendingList(app) && !LoadKeepsList(app, path), false);
}

bool LoadJobAsked(App& app, const std::string& path) {
  const std::string plain = StripAffixOnce(path, "\"");
  if (!PathExists(plain)) {
    app.Show("[File does not exist.]", "[Can't load file]", Buttons::Ok, Icon::Critical);
    return false;
  }
  if (!ReadJobFileAside(app, plain)) {
    app.Show("[Not a job file]", app.Text("[Not a job file]") + std::string(kCrLf) + plain,
             app.Text("[Can't load file]"), Buttons::Ok, Icon::Exclamation);
    return false;
  }
  if (!MayLoadJob(app, plain)) return false;
  // A job without pairs loads its options, although the reader reports the missing pairs.
  const JobLoadStatus status = LoadJobFile(app, plain, nullptr, LoadKeepsList(app, plain));
  return status == JobLoadStatus::Loaded || status == JobLoadStatus::WrongFormat;
}

bool NewJobAsked(App& app) {
  if (RefusedDuringRun(app) || !MayDiscard(app, HasPendingList(app), true)) return false;
  FileNew(app);
  return true;
}

void OpenJobAsked(App& app) {
  if (RefusedDuringRun(app)) return;
  const std::string path =
      app.screen.FileDialog(FileDialogMode::Open, app.Text("[Open]"), app.Job.CurrentJobFile, JobFileFilter(app));
  if (!path.empty()) LoadJobAsked(app, path);
}

bool DropOnFolderListAsked(App& app, const std::vector<std::string>& items, int x, int boundary) {
  if (items.size() == 1 && !IsDirectory(items[0]) && PathExists(items[0])) {
    if (RefusedDuringRun(app)) return false;
    return LoadJobAsked(app, items[0]);
  }
  DropOnFolderList(app, items, x, boundary);
  return false;
}

bool DropOnWindowAsked(App& app, const std::vector<std::string>& items) {
  if (items.empty() || IsDirectory(items[0])) return false;
  if (RefusedDuringRun(app)) return false;
  return LoadJobAsked(app, items[0]);
}

bool ShowPlanningJob(App& app) {
  const ListPlan& plan = app.ToDo.Plan;
  if (!plan.Known || !HasPendingList(app) || SameJobFile(plan.JobFile, app.Job.CurrentJobFile)) return false;
  if (!JobHasUnsavedChanges(app) && ReadJobFileAside(app, plan.JobFile))
    return LoadJobFile(app, plan.JobFile, nullptr, true) == JobLoadStatus::Loaded;
  std::string prompt = app.Text("[Pending list planned by job]") + std::string(kCrLf) + plan.JobFile;
  for (const PlannedPair& pair : plan.Pairs) prompt += std::string(kCrLf) + pair.Source + "  ->  " + pair.Target;
  app.Show("[Pending list planned by job]", prompt, app.Text("[Attention!]"), Buttons::Ok, Icon::Information);
  return false;
}

}  // namespace dd
