#include <gtest/gtest.h>

#include "common/app.h"
#include "support/test_support.h"
#include "window/buttons.h"
#include "window/dialog_filter.h"
#include "window/panels.h"
#include "window/skins.h"

namespace dd {
namespace {

TEST(PanelRulesTest, OnePanelAtATimeAndASecondClickOrItsCloseButtonReturnsToTheMainPanel) {
  PanelState s;
  TogglePanel(s, kBtnBackup);
  EXPECT_TRUE(s.frameBackupModes);
  EXPECT_FALSE(s.frameMain);
  EXPECT_EQ(ButtonLook(kBtnBackup, s.activeButton, false), 3);
  TogglePanel(s, kBtnExclude);  // the other panel replaces it
  EXPECT_FALSE(s.frameBackupModes);
  EXPECT_TRUE(s.frameExclude);
  EXPECT_EQ(s.activeButton, "12Button");
  ToggleSchedulePanel(s, false);
  EXPECT_TRUE(s.frameSchedule);
  EXPECT_FALSE(s.frameExclude);
  EXPECT_FALSE(s.frameMain);
  EXPECT_EQ(s.activeButton, "19Button");
  EXPECT_EQ(ButtonLook(kBtnScheduleOff, s.activeButton, false), 3);

  // Switched on inside the panel: the button now shown takes the active look.
  ScheduleSwitched(s, true);
  EXPECT_EQ(s.activeButton, "20Button");
  ToggleSchedulePanel(s, true);  // the close button 21 or a second click
  EXPECT_FALSE(s.frameSchedule);
  EXPECT_TRUE(s.frameMain);
  EXPECT_EQ(s.activeButton, "");
  ScheduleSwitched(s, false);  // a closed panel marks nothing
  EXPECT_EQ(s.activeButton, "");
  ToggleSchedulePanel(s, true);
  EXPECT_EQ(s.activeButton, "20Button");

  TogglePanel(s, kBtnExclude);
  EXPECT_FALSE(s.frameSchedule);
  TogglePanel(s, kBtnHideFrameEXCL);  // its close button
  EXPECT_FALSE(s.frameExclude);
  EXPECT_TRUE(s.frameMain);
  EXPECT_EQ(ButtonLook(kBtnExclude, s.activeButton, false), 1);
  TogglePanel(s, kBtnBackup);
  ClosePanels(s);  // Escape
  EXPECT_TRUE(s.frameMain);
  EXPECT_FALSE(s.frameBackupModes);
  EXPECT_EQ(s.activeButton, "");
}

TEST(ProgressTest, PercentIsClampedAndWrittenBack) {
  struct Case {
    int percent, width, fill, clamped;
  };
  for (Case c : {Case{150, 200, 200, 100}, Case{-5, 200, 0, 0}, Case{50, 201, 100, 50}}) {
    int percent = c.percent;
    EXPECT_EQ(ProgressFillWidth(percent, c.width), c.fill) << c.percent;
    EXPECT_EQ(percent, c.clamped) << c.percent;
  }
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

TEST(SkinRulesTest, AMenuEntryLoadsItsFolderAndTheFlashShowsTheNext) {
  SkinScreen screen;
  App app(screen);
  SkinAendern(app, 3);
  SkinAendern(app, 4);  // no such entry
  SkinAendern(app, -1);
  EXPECT_EQ(screen.loaded, std::vector<int>{3});
  EXPECT_EQ(app.settings.SkinNumber, 3);
  // "Skin 1" is the entry of index 0 and its folder is Skin0.
  SkinAendern(app, 0);
  EXPECT_EQ(SkinFolder("/opt/dd", app.settings.SkinNumber), "/opt/dd/Icons/Skin0");

  EXPECT_EQ(BGFlashSkin(0), 1);
  EXPECT_EQ(BGFlashSkin(2), 3);
  EXPECT_EQ(BGFlashSkin(kSkinCount - 1), 0);
}

}  // namespace
}  // namespace dd
