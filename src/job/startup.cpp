#include "job/startup.h"

#include "apply/rates.h"
#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "common/write_report.h"
#include "desktop/file_types.h"
#include "flows/todo_files.h"
#include "job/job_file.h"
#include "job/settings.h"
#include "todo/todo_list.h"

namespace dd {

void ApplyLanguage(App& app) {
  if (!PathExists(app.Files.LanguageFilePath)) {
    app.Show("", "Language file not found", "Error", Buttons::Ok, Icon::Critical);
    return;
  }
  if (app.LanguageFileEmpty()) {
    app.Show("", "Language File empty", "Error", Buttons::Ok, Icon::Critical);
    return;
  }
  JobOptions& o = app.Options;
  std::string exclude = app.Text("txtExclude");
  if (o.ExcludeText == o.ExclPlaceholder) o.ExcludeText = exclude;
  o.ExclPlaceholder = exclude;
  std::string include = app.Text("txtInclude");
  if (o.IncludeText == o.InclPlaceholder) o.IncludeText = include;
  o.InclPlaceholder = include;
  app.screen.LanguageChanged();
}

void SelectLanguage(App& app, int language) {
  app.settings.LanguageIndex = language;
  ApplyLanguage(app);
}

std::string StartUp(App& app, const std::string& folder, const std::string& commandLine,
                    const StartUpOptions& options) {
  app.Files.SetFolder(folder);
  LoadSettings(app);
  app.screen.SkinChanged(app.settings.SkinNumber);
  SelectLanguage(app, app.settings.LanguageIndex);

  // The pending list of the previous run survives the new job; its file is never emptied on the way.
  FileNewKeepingList(app);
  app.ToDo.ToDoList.assign(1, std::string());
  // A damaged list file (a pipe, a device, an oversized file) is reported like an invalid list and gives way to an
  // empty one.
  if (ReadWholeFile(app.Files.ToDoFilePath, kListFileLimit, false).status == FileReadStatus::Damaged) {
    app.Show("[Not a valid ToDo list]", "[Loading ToDo List]", Buttons::Ok, Icon::Critical);
    if (!SaveToDoList(app.ToDo, app.Files, app.screen)) ReportFileNotWritten(app.messages, app.Files.ToDoFilePath);
  }
  LoadToDoListFile(app);
  if (options.measureRates) LoadOrMeasureRates(app.Rates, app.Files, app.messages);
  if (options.checkFileTypes) AssociateFileTypes(app);

  if (commandLine.empty()) return {};
  return ReadJobFile(app, commandLine);
}

}  // namespace dd
