// Which panels of the main window are open, and the keyboard rules of runs.
#pragma once

#include <string>

namespace dd {

struct RunStatistics;

struct PanelState {
  bool frameMain = true;
  bool frameBackupModes = false;
  bool frameExclude = false, frameSchedule = false;
  int activeButton = 0;  // the button that looks pressed (its panel is open); 0 for none

  // The to-do list panel: shown or hidden, normal or enlarged.
  bool toDoListVisible = true;
  bool toDoListMaximized = false;
};

// Hides the main panel and every option panel.
void HideAllPanels(PanelState& state);

// A click on a panel button (1, 12 and their close buttons 14, 15): at most
// one option panel is open; a second click returns to the main panel.
void TogglePanel(PanelState& state, int button);

// A click on one of the to-do list buttons 13, 16, 17, 18.
void ToDoListButton(PanelState& state, int button);

// Escape closes an open option panel: the main panel shows again.
void ClosePanels(PanelState& state);

// Before a run is carried out: the backup-mode panel closes and the to-do list shows.
void ShowListForRun(PanelState& state);

// Whether a picture button is shown in this state (the run and Ctrl buttons aside).
bool ButtonShown(const PanelState& state, int button);

// The one-step button shows while Ctrl is held and no run is in progress.
bool OneStepButtonShown(bool ctrlHeld, const RunStatistics& run);

// The bar of PaintProgress: clamps `percent` to 0..100 and returns the filled width.
int ProgressFillWidth(int& percent, int width);

}  // namespace dd

namespace dd {

// The schedule panel's buttons: 19 or 20 on the main panel (whichever shows the
// scheduler's state) and its close button 21 open the panel with that button
// active; a second click returns to the main panel.
void ToggleSchedulePanel(PanelState& state, bool schedulerOn);
// The scheduler was switched while its panel is open: the active look moves to
// the button that now shows.
void ScheduleSwitched(PanelState& state, bool schedulerOn);
// Whether one of the schedule switch buttons (19, 20, 22, 23) shows.
bool ScheduleButtonShown(int button, bool schedulerOn);

}  // namespace dd
