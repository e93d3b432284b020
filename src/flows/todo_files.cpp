#include "flows/todo_files.h"

#include <unistd.h>

#include "apply/file_ops.h"
#include "apply/statistics_labels.h"
#include "common/app.h"
#include "common/files.h"
#include "common/program_folder_lock.h"
#include "common/text.h"
#include "common/write_report.h"
#include "flows/command_lock.h"
#include "todo/list_plan.h"
#include "todo/todo_list.h"

namespace dd {

bool CheckIfValidToDoList(App& app) {
  const std::string& file = app.Files.ToDoFilePath;
  FileRead read = ReadWholeFile(file, kListFileLimit, false);
  // A pipe, a device or an oversized file in its place is a damaged list; it is not rewritten.
  if (read.status == FileReadStatus::Damaged) return false;
  const std::string text = NormaliseList(read.text);
  // A list that is already as it would be written is not written again (each write waits for the disk).
  if ((read.status != FileReadStatus::Read || text != read.text) && !WriteTextFile(text, file))
    ReportFileNotWritten(app.messages, file);
  RememberListFile(app.ToDo, app.Files);
  ReadListPlan(app.ToDo, app.Files);
  if (text.empty()) return true;
  app.ToDo.ToDoList = Split(text, kCrLf);
  int bad = 0;
  for (const std::string& line : app.ToDo.ToDoList)
    if (!IsSoundRecord(line)) ++bad;
  return bad == 0;
}

void LoadToDoListFile(App& app) {
  // Read only while no other run of the program writes it; the caller tries again when it changes.
  const ProgramFolderLock lock(app.Files.LockFilePath);
  if (!lock.Held() && !app.Files.Folder.empty()) return;
  if (!CheckIfValidToDoList(app)) {
    app.Show("[Not a valid ToDo list]", "[Loading ToDo List]", Buttons::Ok, Icon::Critical);
    DeleteFile(app.Files.ToDoFilePath);
    app.ToDo.ToDoList = {std::string()};
  }
  CountOperations(app.ToDo.ToDoList, app.Run);
  ShowPendingStatistics(app.Run, app.Rates, app.messages);
  RebuildToDoRows(app.ToDo, app.screen);
  app.Run.ActionText = app.Text("[Ready]");
  app.Run.CurrentFile.clear();
  app.Run.CurrentSizeText.clear();
  ShowCurrentItemLabels(app.screen, app.Run);
}

bool ReloadListIfChanged(App& app) {
  const ProgramFolderLock lock(app.Files.LockFilePath);
  if (!lock.Held() || StampOfFile(app.Files.ToDoFilePath) == app.ToDo.ListFile) return false;
  LoadToDoListFile(app);
  return true;
}

bool SaveListCommand(App& app, std::string path) {
  if (path.empty()) return true;
  const CommandLock lock(app);
  if (!lock.Held()) return true;  // said in its box already
  if (!EndsWith(ToLowerAscii(path), ".txt")) path += ".txt";
  if (PathExists(path) && app.Show("[File exists, replace?]", "", Buttons::OkCancel, Icon::None,
                                   MessageKind::ReplaceFile) == Answer::Cancel)
    return true;
  // The save drops the empty records and renumbers the list; it rebuilds the rows with it.
  if (SaveToDoList(app.ToDo, app.Files, app.screen, path)) return true;
  ReportFileNotWritten(app.messages, path);
  return false;
}

void OpenListCommand(App& app, const std::string& path) {
  if (path.empty()) return;
  if (!PathExists(path) || IsDirectory(path)) {
    app.Show("[File does not exist.]", "[Could not open the file!]", Buttons::Ok, Icon::Critical);
    return;
  }
  const CommandLock lock(app);
  if (!lock.Held()) return;
  if (app.Show("[overwrite current ToDo list?]", "[Attention!]", Buttons::YesNo, Icon::None,
               MessageKind::OverwriteList) == Answer::No)
    return;
  const std::string& listFile = app.Files.ToDoFilePath;
  // Copying the list file onto itself must not touch it; it counts as a failed copy.
  const bool sameFile = path == listFile;
  int created = 0;
  // The opened list is carried out against the current job: the old record goes before the list is
  // replaced, the current job's record comes after it (when it was planned is not known).
  if (!sameFile && !RemoveListPlan(app.ToDo, app.Files))
    return ReportFileNotWritten(app.messages, app.Files.PlanFilePath);
  if (!sameFile && CopyWithFolders(path, listFile, true, created)) {
    app.ToDo.Plan = PlanOfCurrentJob(app.Job, app.Modes.CurrentBackupMode, app.Options);
    app.ToDo.PlannedAtNs = 0;
    if (!WriteListPlan(app.ToDo, app.Files)) ReportFileNotWritten(app.messages, app.Files.PlanFilePath);
    LoadToDoListFile(app);
    return;
  }
  if (sameFile)
    app.Show("[ToDo List already open!]", "[Open ToDoList]");
  else
    app.Show("[Could not open the file!]", "[Open ToDoList]", Buttons::Ok, Icon::Critical);
}

std::string ListFileFilter(const App& app) {
  return app.Text("[Text Files]") + " (*.txt) | " + app.Text("[All Files]") + " (*.*)";
}

std::string SuggestedListPath(const std::string& jobFile) {
  std::string path = jobFile;
  if (NameOfPath(path).size() > 4 && ToLowerAscii(std::string_view(path).substr(path.size() - 4)) == ".ddk")
    path.resize(path.size() - 4);
  return path + " list.txt";
}

bool SaveListWithDialog(App& app) {
  std::string path = app.screen.FileDialog(FileDialogMode::Save, app.Text("[Save]"),
                                           SuggestedListPath(app.Job.CurrentJobFile), ListFileFilter(app));
  return SaveListCommand(app, std::move(path));
}

void OpenListWithDialog(App& app) {
  std::string path =
      app.screen.FileDialog(FileDialogMode::Open, app.Text("[Open]"), app.Job.CurrentJobFile, ListFileFilter(app));
  OpenListCommand(app, path);
}

}  // namespace dd
