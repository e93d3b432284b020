// The backup-mode matrix: operation codes, the two standard modes and the
// logic of the mode combo, the option grid and the picture drop-downs.
#pragma once

#include <string>

#include "common/state.h"
#include "todo/record_texts.h"

namespace dd {

class Messages;
class RunLifecycle;

inline constexpr const char* kDoNothing = "= =";
inline constexpr const char* kCopyToTarget = "=->";
inline constexpr const char* kCopyToSource = "<-=";
inline constexpr const char* kDeleteInSource = "x =";
inline constexpr const char* kDeleteInTarget = "= x";

// The editors of the mode below work on `modes`; while `run` is a simulation a change asks the user
// first, through `messages`, which also tells the window to show the mode.

// Defines the standard modes (names from the language), fills the combo and makes mode 0 current.
void DefineStandardBackupModes(BackupModeState& modes, const RunLifecycle& run, Messages& messages);
// 0 or 1 when the five codes equal that standard mode, else 2.
int KnownModeOfCurrent(const BackupModeState& modes);
// Applies the selected combo item.
void RefreshBackUpModes(BackupModeState& modes, const RunLifecycle& run, Messages& messages);
// Shows the current mode in the editors (asks first while a simulation runs).
void ShowCurrentBackupMode(BackupModeState& modes, const RunLifecycle& run, Messages& messages);

int OperationNumberOfCode(const std::string& code);
std::string OperationCodeOfNumber(int number);
int PictureOfOperationName(const std::string& nameOrCode);
std::string OperationNameOfPicture(int number);

// The code the mode holds for a file status text ("" for an unknown status).
inline const std::string& CodeForStatus(const BackupModeDef& mode, const std::string& status) {
  static const std::string none;
  if (status == kStatusIdentical) return mode.Identical;
  if (status == kStatusExtraInF1) return mode.ExtraInF1;
  if (status == kStatusExtraInF2) return mode.ExtraInF2;
  if (status == kStatusNewerInF1) return mode.NewerInF1;
  if (status == kStatusNewerInF2) return mode.NewerInF2;
  return none;
}

// The editors, as plain functions over the current mode.
// Grid rows: 0 Identical, 1 Extra in F1, 2 Extra in F2, 3 Newer in F1, 4 Newer in F2.
bool IsOptionEnabled(int row, int column);
int SelectedOption(const BackupModeDef& mode, int row);  // column selected in a grid row
void OptionClicked(BackupModeState& modes, const RunLifecycle& run, Messages& messages, int row, int column);
// Drop-downs: rows 0 Identical, 1 Extra, 2 Newer; sides 0 F1, 1 F2; items numbered from 1.
int DropDownItemCount(int row);
int SelectedDropDownItem(const BackupModeDef& mode, int row, int side);
void DropDownClicked(BackupModeState& modes, const RunLifecycle& run, Messages& messages, int row, int side, int item);
// A new selection in the mode combo.
void ComboSelected(BackupModeState& modes, const RunLifecycle& run, Messages& messages, int item);

}  // namespace dd
