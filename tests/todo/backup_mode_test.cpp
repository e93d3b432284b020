#include "todo/backup_mode.h"

#include <gtest/gtest.h>

#include "common/app.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

// Records what the editors would show each time the program sets them.
class EditorScreen : public test::ScriptedScreen {
 public:
  void BackupModeChanged() override {
    ++refreshes;
    guardedDuringRefresh = guardedDuringRefresh && app->Modes.OptsBeingSet;
    shownExtraF1Item = SelectedDropDownItem(app->Modes.CurrentBackupMode, 1, 0);
  }
  const App* app = nullptr;
  int refreshes = 0;
  bool guardedDuringRefresh = true;
  int shownExtraF1Item = 0;
};

struct BackupModeTest : ::testing::Test, test::ProgramFixture<EditorScreen> {
  BackupModeTest() {
    screen.app = &app;
    StdBackupModesDef(app.Modes, app.Run.Lifecycle, app.messages);
  }
  const BackupModeDef& mode() const { return app.Modes.CurrentBackupMode; }
};

TEST_F(BackupModeTest, StandardModesAreKnownByTheirCodesAloneAndAChangeDuringASimulationAsksFirst) {
  EXPECT_EQ(app.Modes.SelectedMode, 0);
  EXPECT_EQ(screen.refreshes, 1);
  EXPECT_TRUE(screen.guardedDuringRefresh);
  EXPECT_FALSE(app.Modes.OptsBeingSet);
  app.Modes.CurrentBackupMode = app.Modes.StdBackupModes[1];
  app.Modes.CurrentBackupMode.Name = "something else";
  EXPECT_EQ(CheckIfKnownBUM(app.Modes), 1);
  app.Modes.CurrentBackupMode.Identical = "=->";
  EXPECT_EQ(CheckIfKnownBUM(app.Modes), 2);

  app.Modes.CurrentBackupMode = app.Modes.StdBackupModes[0];
  const RunTicket run = app.Run.Lifecycle.TryBegin(RunKind::Simulation);
  screen.answers = {Answer::No, Answer::No};
  OptionClicked(app.Modes, app.Run.Lifecycle, app.messages, 4, 2);
  ASSERT_EQ(screen.keys(), std::vector<std::string>{"[Are you sure for changes?]"});
  EXPECT_EQ(screen.messages[0].buttons, Buttons::YesNo);
  // The running comparison keeps the codes it started with, and the editors show them again.
  EXPECT_EQ(mode().NewerInF2, "= =");
  EXPECT_EQ(screen.refreshes, 2);
  ComboSelected(app.Modes, app.Run.Lifecycle, app.messages, 1);
  EXPECT_EQ(mode().NewerInF2, "= =");
  EXPECT_EQ(app.Modes.SelectedMode, 0);
  ComboSelected(app.Modes, app.Run.Lifecycle, app.messages, 1);  // Yes
  EXPECT_EQ(screen.messages.size(), 3u);
  // Synchronisation copies the newer back and deletes what exists only in F2 rather than copying it back.
  EXPECT_EQ(mode().NewerInF2, "<-=");
  EXPECT_EQ(mode().ExtraInF2, "= x");
}

TEST_F(BackupModeTest, DisabledCodeFromJobFileStaysAndProgramSetEventsAreIgnored) {
  app.Modes.CurrentBackupMode.ExtraInF1 = "<-=";
  app.Modes.SelectedMode = CheckIfKnownBUM(app.Modes);
  ShowCurrentBackupMode(app.Modes, app.Run.Lifecycle, app.messages);
  EXPECT_EQ(mode().ExtraInF1, "<-=");
  EXPECT_FALSE(IsOptionEnabled(1, SelectedOption(mode(), 1)));
  EXPECT_EQ(SelectedOption(mode(), 1), 2);
  EXPECT_EQ(screen.shownExtraF1Item, 1);
  // An unknown code shows as "= =" in both editors.
  app.Modes.CurrentBackupMode.NewerInF1 = "junk";
  EXPECT_EQ(SelectedOption(mode(), 3), 0);
  EXPECT_EQ(SelectedDropDownItem(mode(), 2, 0), 1);

  app.Modes.OptsBeingSet = true;
  OptionClicked(app.Modes, app.Run.Lifecycle, app.messages, 0, 1);
  DropDownClicked(app.Modes, app.Run.Lifecycle, app.messages, 0, 0, 2);
  EXPECT_EQ(mode().Identical, "= =");
}

}  // namespace
}  // namespace dd
