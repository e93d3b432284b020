#include <gtest/gtest.h>

#include "common/run_statistics.h"
#include "window/buttons.h"
#include "window/panels.h"

using namespace dd;

namespace {

TEST(ButtonRulesTest, NamesPicturesAndLooks) {
  EXPECT_EQ(BildNrVonKnopfName("Simulate"), 2);
  EXPECT_EQ(BildNrVonKnopfName("Wiederh ToDoList"), 18);
  EXPECT_EQ(BildNrVonKnopfName("simulate"), 0);
  for (int b : {13, 14, 15, 21}) EXPECT_EQ(ButtonPictureFile(b, 2), "B13_2.gif") << b;
  EXPECT_EQ(ButtonPictureFile(12, 4), "B12_4.gif");
  EXPECT_FALSE(IsAusschaltknopf(16));
  EXPECT_EQ(ButtonLook(1, "1Button", false), 3);
  EXPECT_EQ(ButtonLook(1, "1Button", true), 4);
  EXPECT_EQ(ButtonLook(12, "1Button", true), 2);
  EXPECT_EQ(ButtonLook(1, "", false), 1);
  EXPECT_EQ(SkinFolder("/p", 0), "/p/Icons/Skin0");
}

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

TEST(PanelRulesTest, OperationListButtons) {
  PanelState s;
  EXPECT_TRUE(ButtonShown(s, kBtnMaximizeToDoList));
  ToDoListButton(s, kBtnMaximizeToDoList);
  EXPECT_TRUE(ButtonShown(s, kBtnRestoreToDoList));
  EXPECT_FALSE(ButtonShown(s, kBtnMaximizeToDoList));
  ToDoListButton(s, kBtnHideToDoList);
  EXPECT_TRUE(ButtonShown(s, kBtnShowToDoList));
  EXPECT_FALSE(ButtonShown(s, kBtnRestoreToDoList));
  ToDoListButton(s, kBtnShowToDoList);
  EXPECT_FALSE(s.toDoListMaximized);
  ToDoListButton(s, kBtnHideToDoList);
  TogglePanel(s, kBtnBackup);
  ShowListForRun(s);  // before a run
  EXPECT_TRUE(s.toDoListVisible && s.frameMain);
  EXPECT_FALSE(s.frameBackupModes);
  EXPECT_EQ(s.activeButton, "");
}

TEST(KeyRulesTest, EscapeAndCtrlFollowTheRunFlags) {
  RunStatistics r;
  EXPECT_FALSE(EscapeStopsRun(r));
  EXPECT_TRUE(OneKlickShown(true, r));
  EXPECT_FALSE(OneKlickShown(false, r));
  r.ExecutionRunning = true;
  EXPECT_TRUE(EscapeStopsRun(r));
  EXPECT_FALSE(OneKlickShown(true, r));
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
