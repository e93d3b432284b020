#include "window_rules/language_switch.h"

#include <algorithm>

#include "apply/statistics_labels.h"
#include "common/app.h"
#include "job/startup.h"
#include "todo/backup_mode.h"
#include "window_rules/todo_view.h"

namespace dd {

namespace {

// What the action line may show while no run is active.
constexpr const char* kIdleActionKeys[] = {"[Finished]", "[Aborted]", "[Simulation aborted]", "[Execution aborted]",
                                           "[Ready]"};

// The key of the current action text in the current language, "" when it is none of the idle texts.
std::string IdleActionKey(const App& app) {
  for (const char* key : kIdleActionKeys) {
    const std::string text = app.Text(key);
    if (!text.empty() && text == app.Run.ActionText) return key;
  }
  return {};
}

void RenameStandardModes(App& app) {
  BackupModeState& m = app.Modes;
  m.StandardBackupModes[0].Name = app.Text("[A->B Incremental]");
  m.StandardBackupModes[1].Name = app.Text("[A<->B Synchronization]");
  m.ComboItems = {m.StandardBackupModes[0].Name, m.StandardBackupModes[1].Name, app.Text("[User defined]")};
  if (m.SelectedMode == 0 || m.SelectedMode == 1) m.CurrentBackupMode.Name = m.StandardBackupModes[m.SelectedMode].Name;
  app.screen.BackupModeChanged();
}

}  // namespace

void SwitchLanguage(App& app, int language) {
  const bool idle = !app.Run.Lifecycle.Active();
  const std::string actionKey = idle ? IdleActionKey(app) : std::string();
  SelectLanguage(app, language);
  if (!idle) return;
  if (!actionKey.empty()) app.Run.ActionText = app.Text(actionKey);
  RenameStandardModes(app);
  ShowPendingStatistics(app.Run, app.Rates, app.messages);
}

std::string QtTranslationName(const App& app) {
  const std::string name = app.Text("[Qt translations]");
  const std::string_view prefix = "qtbase_";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return {};
  const bool plain = std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                                 [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; });
  return plain ? name : std::string();
}

std::string ToDoCellTextKey(int column, std::string_view text) {
  if (column != kColStatus1 && column != kColStatus2 && column != kColOperation) return {};
  // Some operation texts are indented by a space.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return {};
  return "[" + std::string(text) + "]";
}

}  // namespace dd
