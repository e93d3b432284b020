#include <gtest/gtest.h>

#include <functional>

#include "common/app.h"
#include "support/test_support.h"
#include "window_rules/buttons.h"
#include "window_rules/dialog_filter.h"
#include "window_rules/panels.h"
#include "window_rules/skins.h"

namespace dd {
namespace {

TEST(PanelRulesTest, OnePanelAtATimeAndASecondClickOrItsCloseButtonReturnsToTheMainPanel) {
  PanelState s;
  enum { kMain = 1, kModes = 2, kExclude = 4, kSchedule = 8 };
  const struct {
    std::function<void()> step;
    int panels;
    int active;
  } steps[] = {{[&] { TogglePanel(s, kBtnBackup); }, kModes, kBtnBackup},
               {[&] { TogglePanel(s, kBtnExclude); }, kExclude, kBtnExclude},  // the other panel replaces it
               {[&] { ToggleSchedulePanel(s, false); }, kSchedule, kBtnScheduleOff},
               {[&] { ScheduleSwitched(s, true); }, kSchedule, kBtnScheduleOn},  // the button now shown takes the look
               {[&] { ToggleSchedulePanel(s, true); }, kMain, 0},           // its close button or a second click
               {[&] { ScheduleSwitched(s, false); }, kMain, 0},             // a closed panel marks nothing
               {[&] { ToggleSchedulePanel(s, true); }, kSchedule, kBtnScheduleOn},
               {[&] { TogglePanel(s, kBtnExclude); }, kExclude, kBtnExclude},
               {[&] { TogglePanel(s, kBtnHideFrameEXCL); }, kMain, 0},  // its close button
               {[&] { TogglePanel(s, kBtnBackup); }, kModes, kBtnBackup},
               {[&] { ClosePanels(s); }, kMain, 0}};  // Escape
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    steps[i].step();
    EXPECT_EQ(s.frameMain + 2 * s.frameBackupModes + 4 * s.frameExclude + 8 * s.frameSchedule, steps[i].panels) << i;
    EXPECT_EQ(s.activeButton, steps[i].active) << i;
  }
  EXPECT_EQ(ButtonLook(kBtnBackup, kBtnBackup, false), 3);
  EXPECT_EQ(ButtonLook(kBtnScheduleOff, kBtnScheduleOff, true), 4);
  EXPECT_EQ(ButtonLook(kBtnExclude, 0, false), 1);
}

TEST(MenuRulesTest, TheEntriesThatStartARunFollowTheirButtonsAndTheOthersStayInUse) {
  const struct {
    const char* entry;
    RunState state;
    bool enabled;
  } rows[] = {
      {"mnuSimulate", RunState::Idle, true},          {"mnuSimulate", RunState::Executing, false},
      {"mnuExecute", RunState::Simulating, false},    {"mnuOneKlickExecute", RunState::Stopping, false},
      {"mnuOneKlickExecute", RunState::Idle, true},   {"mnuNew", RunState::Executing, true},  // it asks to abort
      {"mnuLanguage(1)", RunState::Simulating, true}, {"mnuEnd", RunState::Stopping, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(MenuEntryEnabled(row.entry, row.state), row.enabled) << row.entry << static_cast<int>(row.state);
}

TEST(DialogFilterTest, EntriesSplitIntoDescriptionAndPattern) {
  EXPECT_EQ(ParseDialogFilter("Dualdock files (*.ddk) | Text files (*.txt) |broken| All files (*.*)"),
            (std::vector<std::pair<std::string, std::string>>{
                {"Dualdock files", "*.ddk"}, {"Text files", "*.txt"}, {"All files", "*.*"}}));
}

struct SkinScreen : test::ScriptedScreen {
  std::vector<int> loaded;
  void SkinChanged(int skin) override { loaded.push_back(skin); }
};

TEST(SkinRulesTest, OnlyAMenuEntryLoadsASkinAndTheFlashShowsTheNext) {
  SkinScreen screen;
  App app(screen);
  ChangeSkin(app, 3);
  ChangeSkin(app, 4);  // no such entry
  ChangeSkin(app, -1);
  EXPECT_EQ(screen.loaded, std::vector<int>{3});
  EXPECT_EQ(app.settings.SkinNumber, 3);
  EXPECT_EQ(BGFlashSkin(2), 3);
  EXPECT_EQ(BGFlashSkin(kSkinCount - 1), 0);
}

}  // namespace
}  // namespace dd
