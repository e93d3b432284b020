#include "window_rules/panels.h"

#include <algorithm>

#include "common/run_statistics.h"
#include "window_rules/buttons.h"

namespace dd {

void HideAllPanels(PanelState& s) {
  s.frameMain = false;
  s.frameBackupModes = s.frameExclude = s.frameSchedule = false;
}

void TogglePanel(PanelState& s, int button) {
  bool* panel = nullptr;
  int owner = 0;
  if (button == kBtnBackup || button == kBtnHideModesPanel) {
    panel = &s.frameBackupModes, owner = kBtnBackup;
  } else if (button == kBtnExclude || button == kBtnHideExcludePanel) {
    panel = &s.frameExclude, owner = kBtnExclude;
  } else {
    return;
  }
  const bool wasVisible = *panel;
  HideAllPanels(s);
  if (!wasVisible) {
    *panel = true;
    s.activeButton = owner;
  } else {
    s.activeButton = 0;
    s.frameMain = true;
  }
}

void ToDoListButton(PanelState& s, int button) {
  switch (button) {
    case kBtnHideToDoList:
      s.toDoListVisible = false;
      s.toDoListMaximized = false;
      break;
    case kBtnShowToDoList:
      s.toDoListVisible = true;
      break;
    case kBtnMaximizeToDoList:
      s.toDoListVisible = true;
      s.toDoListMaximized = true;
      break;
    case kBtnRestoreToDoList:
      s.toDoListMaximized = false;
      break;
    default:
      break;
  }
}

void ClosePanels(PanelState& s) {
  HideAllPanels(s);
  s.activeButton = 0;
  s.frameMain = true;
}

void ShowListForRun(PanelState& s) {
  if (s.frameBackupModes) TogglePanel(s, kBtnBackup);
  s.toDoListVisible = true;
}

bool ButtonShown(const PanelState& s, int button) {
  switch (button) {
    case kBtnHideToDoList:
      return s.toDoListVisible;
    case kBtnShowToDoList:
      return !s.toDoListVisible;
    case kBtnMaximizeToDoList:
      return s.toDoListVisible && !s.toDoListMaximized;
    case kBtnRestoreToDoList:
      return s.toDoListVisible && s.toDoListMaximized;
    default:
      return true;
  }
}

bool OneStepButtonShown(bool ctrlHeld, const RunStatistics& run) {
  return ctrlHeld && !run.Lifecycle.Active();
}

int ProgressFillWidth(int& percent, int width) {
  percent = std::clamp(percent, 0, 100);
  return width * percent / 100;
}

}  // namespace dd

namespace dd {

void ToggleSchedulePanel(PanelState& s, bool schedulerOn) {
  const bool wasVisible = s.frameSchedule;
  HideAllPanels(s);
  if (!wasVisible) {
    s.frameSchedule = true;
    s.activeButton = schedulerOn ? kBtnScheduleOn : kBtnScheduleOff;
  } else {
    s.activeButton = 0;
    s.frameMain = true;
  }
}

void ScheduleSwitched(PanelState& s, bool schedulerOn) {
  if (s.frameSchedule) s.activeButton = schedulerOn ? kBtnScheduleOn : kBtnScheduleOff;
}

bool ScheduleButtonShown(int button, bool schedulerOn) {
  switch (button) {
    case kBtnScheduleOn:
    case kBtnScheduleOnInPanel:
      return schedulerOn;
    case kBtnScheduleOff:
    case kBtnScheduleOffInPanel:
      return !schedulerOn;
    default:
      return true;
  }
}

}  // namespace dd
