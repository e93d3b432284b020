#include <gtest/gtest.h>

#include "window/buttons.h"
#include "window/panels.h"

using namespace dd;

namespace {

TEST(PanelRulesTest, APanelButtonOpensItsPanelAndASecondClickReturnsToTheMainPanel) {
  PanelState s;
  TogglePanel(s, kBtnBackup);
  EXPECT_TRUE(s.frameBackupModes);
  EXPECT_FALSE(s.frameMain);
  EXPECT_EQ(ButtonLook(kBtnBackup, s.activeButton, false), 3);
  TogglePanel(s, kBtnExclude);  // the other panel replaces it
  EXPECT_FALSE(s.frameBackupModes);
  EXPECT_TRUE(s.frameExclude);
  EXPECT_EQ(s.activeButton, "12Button");
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
  int percent = 150;
  EXPECT_EQ(ProgressFillWidth(percent, 200), 200);
  EXPECT_EQ(percent, 100);
  percent = -5;
  EXPECT_EQ(ProgressFillWidth(percent, 200), 0);
  EXPECT_EQ(percent, 0);
  percent = 50;
  EXPECT_EQ(ProgressFillWidth(percent, 201), 100);
}

}  // namespace

#include "window/dialog_filter.h"

namespace {

TEST(DialogFilterTest, EntriesSplitIntoDescriptionAndPattern) {
  auto f = dd::ParseDialogFilter("Dualdock files (*.ddk) | Text files (*.txt) |broken| All files (*.*)");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].first, "Dualdock files");
  EXPECT_EQ(f[0].second, "*.ddk");
  EXPECT_EQ(f[2].second, "*.*");
}

}  // namespace
