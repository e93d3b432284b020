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

std::string App::Text(const std::string& key) const {
  return texts_.Lookup(Files.LanguageFilePath, key, settings.LanguageIndex);
}

Answer App::Show(const std::string& promptKey, const std::string& titleKey, Buttons buttons, Icon icon,
                 MessageKind kind) {
  return Show(promptKey, Text(promptKey), titleKey.empty() ? std::string() : Text(titleKey), buttons, icon, kind);
}

Answer App::Show(const std::string& key, std::string prompt, std::string title, Buttons buttons, Icon icon,
                 MessageKind kind) {
  Message m;
  m.kind = kind;
  m.key = key;
  m.prompt = std::move(prompt);
  m.title = std::move(title);
  m.buttons = buttons;
  m.icon = icon;
  return screen.ShowMessage(m);
}

}  // namespace dd
