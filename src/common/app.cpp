#include "common/app.h"

#include "common/language.h"

namespace dd {

void ProgramFiles::SetFolder(const std::string& folder) {
  Folder = folder;
  ToDoFilePath = folder + "/To Do.txt";
  RatesFilePath = folder + "/Rates.txt";
  LogFilePath = folder + "/Log.txt";
  ErrLogFilePath = folder + "/ErrLog.txt";
  SettingsFilePath = folder + "/Settings.txt";
  LanguageFilePath = folder + "/Sprachen.txt";
  SortedDumpPath = folder + "/Alle Dateien Sorted.txt";
  PlanFilePath = folder + "/To Do Plan.txt";
  LockFilePath = folder + "/Dualdock.lock";
}

}  // namespace dd
