#include "window_rules/buttons.h"

#include <array>
#include <utility>

namespace dd {

bool IsCloseButton(int button) {
  return button == 13 || button == 14 || button == 15 || button == 21;
}

std::string ButtonPictureFile(int button, int look) {
  const int k = IsCloseButton(button) ? 13 : button;
  return "B" + std::to_string(k) + "_" + std::to_string(look) + ".gif";
}

int ButtonLook(int button, int activeButton, bool mouseOver) {
  const bool active = activeButton > 0 && activeButton == button;
  if (active) return mouseOver ? 4 : 3;
  return mouseOver ? 2 : 1;
}

int ButtonLook(int button, int activeButton, bool mouseOver, bool enabled) {
  return enabled ? ButtonLook(button, activeButton, mouseOver) : kDisabledLook;
}

bool ButtonEnabled(int button, RunState state) {
  const bool startsRun = button == kBtnSimulate || button == kBtnExecute || button == kBtnOneStep;
  return !startsRun || state == RunState::Idle;
}

int ButtonOfMenuEntry(std::string_view entry) {
  if (entry == "mnuSimulate") return kBtnSimulate;
  if (entry == "mnuExecute") return kBtnExecute;
  if (entry == "mnuOneKlickExecute") return kBtnOneStep;
  return 0;
}

bool MenuEntryEnabled(std::string_view entry, RunState state) {
  const int button = ButtonOfMenuEntry(entry);
  return button == 0 || ButtonEnabled(button, state);
}

std::string SkinFolder(const std::string& programFolder, int skin) {
  return programFolder + "/Icons/Skin" + std::to_string(skin);
}

}  // namespace dd
