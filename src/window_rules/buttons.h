// The picture buttons: numbers, names, picture files and the four looks.
#pragma once

#include <string>
#include <string_view>

#include "common/run_lifecycle.h"

namespace dd {

// The buttons by number; the number is also the one in the picture file name.
enum ButtonNumber {
  kBtnBackup = 1,
  kBtnSimulate = 2,
  kBtnExecute = 3,
  kBtnOneStep = 4,
  kBtnStopExecution = 5,
  kBtnSave = 6,
  kBtnOpen = 7,
  kBtnInfo = 10,
  kBtnStopSimulation = 11,
  kBtnExclude = 12,
  kBtnHideToDoList = 13,
  kBtnHideModesPanel = 14,
  kBtnHideExcludePanel = 15,
  kBtnShowToDoList = 16,
  kBtnMaximizeToDoList = 17,
  kBtnRestoreToDoList = 18,
  kBtnScheduleOff = 19,
  kBtnScheduleOn = 20,
  kBtnHideSchedule = 21,
  kBtnScheduleOffInPanel = 22,
  kBtnScheduleOnInPanel = 23,
  kHighestButton = 23
};

// True for the close buttons, which all show the pictures of button 13.
bool IsCloseButton(int button);
// The picture file of a button in look 1..4, e.g. "B2_1.gif".
std::string ButtonPictureFile(int button, int look);
// The look of a button: 1 normal, 2 mouse over, 3 active, 4 active with the mouse over.
int ButtonLook(int button, int activeButton, bool mouseOver);
// The same for a button that may be out of use: 5 when it is (the mouse changes nothing then).
inline constexpr int kDisabledLook = 5;
int ButtonLook(int button, int activeButton, bool mouseOver, bool enabled);

// Whether a button can be pressed in this state of the run lifecycle: the buttons
// that start a run (Simulate, Execute, the one-step run) cannot while one is on.
bool ButtonEnabled(int button, RunState state);

// The button a menu entry stands for ("mnuSimulate" -> 2); 0 for an entry of its own.
int ButtonOfMenuEntry(std::string_view entry);
// Whether a menu entry (and so its key) can be chosen in this state: an entry
// that stands for a button follows ButtonEnabled, every other one always can.
bool MenuEntryEnabled(std::string_view entry, RunState state);

// The skin folder of skin n below the program folder.
std::string SkinFolder(const std::string& programFolder, int skin);

}  // namespace dd
