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

enum { kMain = 1, kModes = 2, kExclude = 4, kSchedule = 8 };
using PanelStep = std::function<void(PanelState&)>;

struct PanelRow {
  const char* name;
  std::vector<PanelStep> steps;
  int panels;
  int active;
};

const PanelStep kBackup = [](PanelState& s) { TogglePanel(s, kBtnBackup); };
const PanelStep kExcludeButton = [](PanelState& s) { TogglePanel(s, kBtnExclude); };
const PanelStep kScheduleOff = [](PanelState& s) { ToggleSchedulePanel(s, false); };
const PanelStep kScheduleOn = [](PanelState& s) { ToggleSchedulePanel(s, true); };
const PanelStep kSwitchedOn = [](PanelState& s) { ScheduleSwitched(s, true); };
const PanelStep kSwitchedOff = [](PanelState& s) { ScheduleSwitched(s, false); };

void ExpectPanels(const PanelRow& row) {
  PanelState s;
  for (const PanelStep& step : row.steps) step(s);
  EXPECT_EQ(s.frameMain + 2 * s.frameBackupModes + 4 * s.frameExclude + 8 * s.frameSchedule, row.panels) << row.name;
  EXPECT_EQ(s.activeButton, row.active) << row.name;
}

TEST(PanelRulesTest, OnePanelAtATime) {
  const PanelRow rows[] = {
      {"the modes panel", {kBackup}, kModes, kBtnBackup},
      {"the other panel replaces it", {kBackup, kExcludeButton}, kExclude, kBtnExclude},
      {"the schedule replaces that", {kBackup, kExcludeButton, kScheduleOff}, kSchedule, kBtnScheduleOff},
      {"the button now shown takes the look", {kScheduleOff, kSwitchedOn}, kSchedule, kBtnScheduleOn},
      {"reopened while switched on",
       {kScheduleOff, kSwitchedOn, kScheduleOn, kSwitchedOff, kScheduleOn},
       kSchedule,
       kBtnScheduleOn},
      {"the exclude panel replaces the schedule",
       {kScheduleOff, kSwitchedOn, kScheduleOn, kSwitchedOff, kScheduleOn, kExcludeButton},
       kExclude,
       kBtnExclude},
  };
  for (const PanelRow& row : rows) ExpectPanels(row);
}

TEST(PanelRulesTest, ASecondClickOrItsCloseButtonReturnsToTheMainPanel) {
  const PanelRow rows[] = {
      {"a second click on the schedule", {kScheduleOff, kSwitchedOn, kScheduleOn}, kMain, 0},
      {"a closed panel marks nothing", {kScheduleOff, kSwitchedOn, kScheduleOn, kSwitchedOff}, kMain, 0},
      {"its close button", {kExcludeButton, [](PanelState& s) { TogglePanel(s, kBtnHideExcludePanel); }}, kMain, 0},
      {"Escape", {kBackup, [](PanelState& s) { ClosePanels(s); }}, kMain, 0},
  };
  for (const PanelRow& row : rows) ExpectPanels(row);
}

TEST(PanelRulesTest, TheActivePanelsButtonShowsItsLook) {
  EXPECT_EQ(ButtonLook(kBtnBackup, kBtnBackup, false), 3);
  EXPECT_EQ(ButtonLook(kBtnScheduleOff, kBtnScheduleOff, true), 4);
  EXPECT_EQ(ButtonLook(kBtnExclude, 0, false), 1);
}

struct MenuRow {
  const char* entry;
  RunState state;
  bool enabled;
};

void ExpectMenuEntries(std::initializer_list<MenuRow> rows) {
  for (const auto& row : rows)
    EXPECT_EQ(MenuEntryEnabled(row.entry, row.state), row.enabled) << row.entry << static_cast<int>(row.state);
}

TEST(MenuRulesTest, TheEntriesThatStartARunFollowTheirButtons) {
  ExpectMenuEntries({
      {"mnuSimulate", RunState::Idle, true},
      {"mnuSimulate", RunState::Executing, false},
      {"mnuExecute", RunState::Simulating, false},
      {"mnuOneKlickExecute", RunState::Stopping, false},
      {"mnuOneKlickExecute", RunState::Idle, true},
  });
}

TEST(MenuRulesTest, TheOtherEntriesStayInUseDuringARun) {
  ExpectMenuEntries({
      {"mnuNew", RunState::Executing, true},  // it asks to abort
      {"mnuLanguage(1)", RunState::Simulating, true},
      {"mnuEnd", RunState::Stopping, true},
  });
}

// An entry without a pattern in brackets is left out.
TEST(DialogFilterTest, EachEntryGivesADescriptionWithItsPattern) {
  EXPECT_EQ(ParseDialogFilter("Dualdock files (*.ddk) | Text files (*.txt) |broken| All files (*.*)"),
            (std::vector<std::pair<std::string, std::string>>{
                {"Dualdock files", "*.ddk"}, {"Text files", "*.txt"}, {"All files", "*.*"}}));
}

struct SkinScreen : test::ScriptedScreen {
  std::vector<int> loaded;
  void SkinChanged(int skin) override { loaded.push_back(skin); }
};

TEST(SkinRulesTest, OnlyAMenuEntryLoadsASkin) {
  SkinScreen screen;
  App app(screen);
  ChangeSkin(app, 3);
  ChangeSkin(app, 4);  // no such entry
  ChangeSkin(app, -1);
  EXPECT_EQ(screen.loaded, std::vector<int>{3});
  EXPECT_EQ(app.settings.SkinNumber, 3);
}

TEST(SkinRulesTest, TheFlashShowsTheNextSkinRoundTheMenu) {
  EXPECT_EQ(FlashSkin(2), 3);
  EXPECT_EQ(FlashSkin(kSkinCount - 1), 0);
}

}  // namespace
}  // namespace dd
