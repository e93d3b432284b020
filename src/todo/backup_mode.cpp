#include "todo/backup_mode.h"

#include "common/messages.h"
#include "common/run_lifecycle.h"

namespace dd {

namespace {

// The field a grid row edits: 0 Identical, 1 Extra in F1, 2 Extra in F2, 3 Newer in F1, 4 Newer in F2.
std::string* GridField(BackupModeDef& mode, int row) {
  switch (row) {
    case 0:
      return &mode.Identical;
    case 1:
      return &mode.ExtraInF1;
    case 2:
      return &mode.ExtraInF2;
    case 3:
      return &mode.NewerInF1;
    case 4:
      return &mode.NewerInF2;
    default:
      return nullptr;
  }
}

const std::string* GridField(const BackupModeDef& mode, int row) {
  return GridField(const_cast<BackupModeDef&>(mode), row);
}

// The field a drop-down edits: both Identical drop-downs share one field.
std::string* DropDownField(BackupModeDef& mode, int row, int side) {
  if (side != 0 && side != 1) return nullptr;
  switch (row) {
    case 0:
      return &mode.Identical;
    case 1:
      return side == 0 ? &mode.ExtraInF1 : &mode.ExtraInF2;
    case 2:
      return side == 0 ? &mode.NewerInF1 : &mode.NewerInF2;
    default:
      return nullptr;
  }
}

bool SameCodes(const BackupModeDef& a, const BackupModeDef& b) {
  return a.Identical == b.Identical && a.ExtraInF1 == b.ExtraInF1 && a.ExtraInF2 == b.ExtraInF2 &&
         a.NewerInF1 == b.NewerInF1 && a.NewerInF2 == b.NewerInF2;
}

BackupModeDef MakeMode(std::string name, const char* identical, const char* extraF1, const char* extraF2,
                       const char* newerF1, const char* newerF2) {
  return BackupModeDef{std::move(name), identical, extraF1, extraF2, newerF1, newerF2};
}

// The mode editors' state and what they need to ask and show.
struct Editors {
  BackupModeState& modes;
  const RunLifecycle& run;
  Messages& messages;
};

// A running simulation reads the codes for every item it classifies, so a
// change then needs the user's consent. False when the user declined.
bool ChangeAllowed(const Editors& e) {
  if (!e.run.Simulation()) return true;
  return e.messages.Show("[Are you sure for changes?]", "[Attention!]", Buttons::YesNo, Icon::None,
                         MessageKind::ChangeMode) != Answer::No;
}

// Lets the window show the current mode; the change events that setting the
// controls raises arrive during the yield and are ignored by the handlers.
void ShowInEditors(const Editors& e) {
  e.modes.OptionsBeingSet = true;
  e.messages.screen().BackupModeChanged();
  e.messages.Yield();
  e.modes.OptionsBeingSet = false;
}

// Applies the selected combo item; false when the user declined the change.
bool ApplySelection(const Editors& e) {
  BackupModeState& m = e.modes;
  if (m.SelectedMode == 0 || m.SelectedMode == 1) m.CurrentBackupMode = m.StandardBackupModes[m.SelectedMode];
  if (!ChangeAllowed(e)) return false;
  ShowInEditors(e);
  return true;
}

// Runs a user edit; when the user declines it during a simulation, the
// previous mode comes back so the rest of the run keeps the codes it began with.
template <typename Edit>
void UserEdit(const Editors& e, Edit edit) {
  const BackupModeDef before = e.modes.CurrentBackupMode;
  const int selectedBefore = e.modes.SelectedMode;
  edit();
  if (ApplySelection(e)) return;
  e.modes.CurrentBackupMode = before;
  e.modes.SelectedMode = selectedBefore;
  ShowInEditors(e);
}

}  // namespace

void DefineStandardBackupModes(BackupModeState& modes, const RunLifecycle& run, Messages& messages) {
  BackupModeState& m = modes;
  m.StandardBackupModes[0] = MakeMode(messages.Text("[A->B Incremental]"), kDoNothing, kCopyToTarget, kDeleteInTarget,
                                      kCopyToTarget, kDoNothing);
  m.StandardBackupModes[1] = MakeMode(messages.Text("[A<->B Synchronization]"), kDoNothing, kCopyToTarget,
                                      kDeleteInTarget, kCopyToTarget, kCopyToSource);
  m.ComboItems = {m.StandardBackupModes[0].Name, m.StandardBackupModes[1].Name, messages.Text("[User defined]")};
  m.CurrentBackupMode = m.StandardBackupModes[0];
  m.SelectedMode = 0;
  RefreshBackUpModes(modes, run, messages);
}

int KnownModeOfCurrent(const BackupModeState& modes) {
  int result = 2;
  for (int i = 0; i < 2; ++i)
    if (SameCodes(modes.StandardBackupModes[i], modes.CurrentBackupMode)) result = i;
  return result;
}

void RefreshBackUpModes(BackupModeState& modes, const RunLifecycle& run, Messages& messages) {
  ApplySelection({modes, run, messages});
}

void ShowCurrentBackupMode(BackupModeState& modes, const RunLifecycle& run, Messages& messages) {
  const Editors e{modes, run, messages};
  if (!ChangeAllowed(e)) return;
  ShowInEditors(e);
}

int OperationNumberOfCode(const std::string& code) {
  if (code == kCopyToTarget) return 1;
  if (code == kCopyToSource) return 2;
  if (code == kDeleteInSource) return 3;
  if (code == kDeleteInTarget) return 4;
  return 0;
}

std::string OperationCodeOfNumber(int number) {
  switch (number) {
    case 0:
      return kDoNothing;
    case 1:
      return kCopyToTarget;
    case 2:
      return kCopyToSource;
    case 3:
      return kDeleteInSource;
    case 4:
      return kDeleteInTarget;
    default:
      return {};
  }
}

int PictureOfOperationName(const std::string& nameOrCode) {
  const std::string& s = nameOrCode;
  if (s == "CopyToTarget" || s == kCopyToTarget) return 2;
  if (s == "CopyToSource" || s == kCopyToSource) return 3;
  if (s == "DeleteInTarget" || s == kDeleteInTarget) return 4;
  if (s == "DeleteInSource" || s == kDeleteInSource) return 5;
  return 1;
}

std::string OperationNameOfPicture(int number) {
  switch (number) {
    case 2:
      return kCopyToTarget;
    case 3:
      return kCopyToSource;
    case 4:
      return kDeleteInTarget;
    case 5:
      return kDeleteInSource;
    default:
      return kDoNothing;
  }
}

bool IsOptionEnabled(int row, int column) {
  if (row < 0 || row > 4 || column < 0 || column > 4) return false;
  // Extra in F1 has no F2 file to copy back or delete; Extra in F2 no F1 file.
  if (row == 1) return column != 2 && column != 4;
  if (row == 2) return column != 1 && column != 3;
  return true;
}

int SelectedOption(const BackupModeDef& mode, int row) {
  const std::string* field = GridField(mode, row);
  return field ? OperationNumberOfCode(*field) : 0;
}

void OptionClicked(BackupModeState& modes, const RunLifecycle& run, Messages& messages, int row, int column) {
  if (modes.OptionsBeingSet || !IsOptionEnabled(row, column)) return;
  UserEdit({modes, run, messages}, [&] {
    *GridField(modes.CurrentBackupMode, row) = OperationCodeOfNumber(column);
    modes.SelectedMode = 2;
  });
}

int DropDownItemCount(int row) {
  return row == 1 ? 3 : 5;
}

int SelectedDropDownItem(const BackupModeDef& mode, int row, int side) {
  const std::string* field = DropDownField(const_cast<BackupModeDef&>(mode), row, side);
  if (!field) return 1;
  int item = PictureOfOperationName(*field);
  if (row != 1) return item;
  // The Extra drop-downs hold three items each; codes they cannot show land on item 1.
  if (side == 0) {
    if (*field == kCopyToSource || *field == kDeleteInTarget) item = 1;
    if (*field == kDeleteInSource) item = 3;
  } else {
    if (*field == kCopyToTarget) item = 1;
    if (*field == kCopyToSource) item = 2;
    if (*field == kDeleteInTarget) item = 3;
    if (*field == kDeleteInSource) item = 1;
  }
  return item;
}

void DropDownClicked(BackupModeState& modes, const RunLifecycle& run, Messages& messages, int row, int side, int item) {
  if (modes.OptionsBeingSet) return;
  if (!DropDownField(modes.CurrentBackupMode, row, side) || item < 1 || item > DropDownItemCount(row)) return;
  // Item numbers of the Extra drop-downs back to picture numbers.
  int k = item;
  if (row == 1 && side == 0 && item == 3) k = 5;
  if (row == 1 && side == 1 && item == 3) k = 4;
  if (row == 1 && side == 1 && item == 2) k = 3;
  UserEdit({modes, run, messages}, [&] {
    *DropDownField(modes.CurrentBackupMode, row, side) = OperationNameOfPicture(k);
    modes.SelectedMode = KnownModeOfCurrent(modes);
  });
}

void ComboSelected(BackupModeState& modes, const RunLifecycle& run, Messages& messages, int item) {
  if (item < 0 || item > 2) return;
  UserEdit({modes, run, messages}, [&] { modes.SelectedMode = item; });
}

}  // namespace dd
