#include "todo/backup_mode.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "common/app.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

// The five codes in grid order: Identical, Extra in F1, Extra in F2, Newer in F1, Newer in F2.
std::vector<std::string> Codes(const BackupModeDef& m) {
  return {m.Identical, m.ExtraInF1, m.ExtraInF2, m.NewerInF1, m.NewerInF2};
}

// What the editors show after the program last set them; the controls echo what is set
// as change events (onShow), as the window's widgets do.
class EditorScreen : public test::ScriptedScreen {
 public:
  void BackupModeChanged() override {
    shownCodes = Codes(app->Modes.CurrentBackupMode);
    shownExtraF1Item = SelectedDropDownItem(app->Modes.CurrentBackupMode, 1, 0);
    if (onShow) onShow();
  }
  const App* app = nullptr;
  std::vector<std::string> shownCodes;
  int shownExtraF1Item = 0;
  std::function<void()> onShow;
};

struct BackupModeTest : ::testing::Test, test::ProgramFixture<EditorScreen> {
  BackupModeTest() {
    screen.app = &app;
    DefineStandardBackupModes(app.Modes, app.Run.Lifecycle, app.messages);
  }
  const BackupModeDef& mode() const { return app.Modes.CurrentBackupMode; }
  void ClickOption(int row, int column) { OptionClicked(app.Modes, app.Run.Lifecycle, app.messages, row, column); }
  void ClickDropDown(int row, int side, int item) {
    DropDownClicked(app.Modes, app.Run.Lifecycle, app.messages, row, side, item);
  }
  void SelectCombo(int item) { ComboSelected(app.Modes, app.Run.Lifecycle, app.messages, item); }
};

const std::vector<std::string> kIncremental = {"= =", "=->", "= x", "=->", "= ="};
const std::vector<std::string> kSynchronization = {"= =", "=->", "= x", "=->", "<-="};

TEST_F(BackupModeTest, TheEditorsShowTheIncrementalModeAtStart) {
  EXPECT_EQ(screen.shownCodes, kIncremental);
  EXPECT_EQ(app.Modes.SelectedMode, 0);
}

TEST_F(BackupModeTest, StandardModesAreKnownByTheirCodesAlone) {
  app.Modes.CurrentBackupMode = app.Modes.StandardBackupModes[1];
  app.Modes.CurrentBackupMode.Name = "something else";
  EXPECT_EQ(KnownModeOfCurrent(app.Modes), 1);
  app.Modes.CurrentBackupMode.Identical = "=->";
  EXPECT_EQ(KnownModeOfCurrent(app.Modes), 2);
}

TEST_F(BackupModeTest, AChangeDuringASimulationAsksFirst) {
  const RunTicket run = app.Run.Lifecycle.TryBegin(RunKind::Simulation);
  screen.answers = {Answer::No};
  ClickOption(4, 2);
  ASSERT_EQ(screen.keys(), std::vector<std::string>{"[Are you sure for changes?]"});
  EXPECT_EQ(screen.messages[0].buttons, Buttons::YesNo);
}

TEST_F(BackupModeTest, ADeclinedChangeKeepsTheCodesTheSimulationBeganWith) {
  const RunTicket run = app.Run.Lifecycle.TryBegin(RunKind::Simulation);
  screen.answers = {Answer::No, Answer::No};
  ClickOption(4, 2);
  SelectCombo(1);
  EXPECT_EQ(Codes(mode()), kIncremental);
  EXPECT_EQ(screen.shownCodes, kIncremental);
  EXPECT_EQ(app.Modes.SelectedMode, 0);
}

TEST_F(BackupModeTest, AnAcceptedChoiceDuringASimulationTakesTheMode) {
  const RunTicket run = app.Run.Lifecycle.TryBegin(RunKind::Simulation);
  screen.answers = {Answer::Yes};
  SelectCombo(1);
  // Synchronisation copies the newer back and deletes what exists only in F2 rather than copying it back.
  EXPECT_EQ(Codes(mode()), kSynchronization);
  EXPECT_EQ(screen.shownCodes, kSynchronization);
}

TEST_F(BackupModeTest, AClickedOptionMakesTheModeUserDefined) {
  ClickOption(4, 2);
  EXPECT_EQ(screen.shownCodes, (std::vector<std::string>{"= =", "=->", "= x", "=->", "<-="}));
  EXPECT_EQ(app.Modes.SelectedMode, 2);
}

TEST_F(BackupModeTest, ADisabledCodeFromAJobFileStays) {
  app.Modes.CurrentBackupMode.ExtraInF1 = "<-=";
  app.Modes.SelectedMode = KnownModeOfCurrent(app.Modes);
  ShowCurrentBackupMode(app.Modes, app.Run.Lifecycle, app.messages);
  EXPECT_EQ(screen.shownCodes[1], "<-=");
  EXPECT_EQ(SelectedOption(mode(), 1), 2);
  EXPECT_FALSE(IsOptionEnabled(1, 2));
  // The Extra in F1 drop-down cannot show it: it shows its first item.
  EXPECT_EQ(screen.shownExtraF1Item, 1);
}

TEST_F(BackupModeTest, AnUnknownCodeShowsAsDoNothingInBothEditors) {
  app.Modes.CurrentBackupMode.NewerInF1 = "junk";
  EXPECT_EQ(SelectedOption(mode(), 3), 0);
  EXPECT_EQ(SelectedDropDownItem(mode(), 2, 0), 1);
}

TEST_F(BackupModeTest, EventsOfControlsTheProgramSetsAreIgnored) {
  // The controls echo every code the program sets as a click on another one.
  bool echoed = false;
  screen.onShow = [&] {
    if (std::exchange(echoed, true)) return;
    ClickOption(0, 1);
    ClickDropDown(0, 0, 2);
  };
  SelectCombo(1);
  EXPECT_EQ(mode().Identical, "= =");
  EXPECT_EQ(Codes(mode()), kSynchronization);
}

TEST_F(BackupModeTest, ClicksWhileTheProgramSetsTheEditorsChangeNothing) {
  app.Modes.OptionsBeingSet = true;
  ClickOption(0, 1);
  ClickDropDown(0, 0, 2);
  EXPECT_EQ(mode().Identical, "= =");
}

TEST_F(BackupModeTest, AUserClickAfterTheProgramSetTheEditorsCounts) {
  ShowCurrentBackupMode(app.Modes, app.Run.Lifecycle, app.messages);
  ClickDropDown(0, 0, 2);
  EXPECT_EQ(screen.shownCodes[0], "=->");
}

}  // namespace
}  // namespace dd
