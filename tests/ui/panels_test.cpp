// The option panels and the scheduler, driven through the window like a user would.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <filesystem>

#include "common/files.h"
#include "support/window_fixture.h"
#include "ui/backup_mode_panel.h"
#include "ui/filter_panel.h"
#include "ui/list_views.h"
#include "ui/picture_button.h"
#include "ui/progress_picture.h"
#include "ui/schedule_panel.h"
#include "window_rules/buttons.h"

using namespace dd;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

struct PanelsTest : test::WindowFixture {
  void SetUp() override { Start(); }
  ui::BackupModePanel& modes() { return *window->backupModePanel(); }
  ui::FilterPanel& filters() { return *window->filterPanel(); }
  QCheckBox* Check(const char* name) { return filters().check(QString::fromLatin1(name)); }
  void Pair(const std::string& src, const std::string& dst) {
    app().Job.SourceFolders = {src};
    app().Job.TargetFolders = {dst};
    app().screen.FolderPairsChanged();
  }
  // The user picks item `index` of a combo box.
  static void Pick(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  static void Focus(QWidget* w, QEvent::Type type) {
    QFocusEvent e(type, Qt::OtherFocusReason);
    QApplication::sendEvent(w, &e);
  }
};

TEST_F(PanelsTest, EachBackupModeEditorShowsInTheOtherTwo) {
  window->ClickButton(kBtnBackup);
  EXPECT_TRUE(modes().isVisibleTo(window.get()));
  EXPECT_EQ(modes().combo()->currentIndex(), 0);
  EXPECT_TRUE(modes().option(3, 1)->isChecked());  // Newer in F1: copy to the target

  // A grid click: the combo says "user defined" and the Newer drop-down follows.
  modes().option(3, 0)->click();
  EXPECT_EQ(app().Modes.CurrentBackupMode.NewerInF1, "= =");
  EXPECT_EQ(modes().combo()->currentIndex(), 2);
  EXPECT_EQ(modes().dropDown(2, 0)->currentIndex(), 0);

  // A drop-down item back to the standard codes: the combo names the standard mode, the grid follows.
  Pick(modes().dropDown(2, 0), 1);
  EXPECT_EQ(modes().combo()->currentIndex(), 0);
  EXPECT_TRUE(modes().option(3, 1)->isChecked());
  // The Extra F2 drop-down holds three items: its third is "= x".
  Pick(modes().dropDown(1, 1), 1);
  EXPECT_EQ(app().Modes.CurrentBackupMode.ExtraInF2, "<-=");
  EXPECT_TRUE(modes().option(2, 2)->isChecked());

  // The combo: both other editors show the synchronization mode.
  Pick(modes().combo(), 1);
  EXPECT_EQ(app().Modes.CurrentBackupMode.NewerInF2, "<-=");
  EXPECT_TRUE(modes().option(4, 2)->isChecked());
  EXPECT_EQ(modes().dropDown(2, 1)->currentIndex(), 2);
  EXPECT_EQ(modes().dropDown(1, 1)->currentIndex(), 2);
  EXPECT_FALSE(app().Modes.OptsBeingSet);

  EXPECT_EQ(modes().option(1, 2)->isEnabled(), false);
  EXPECT_FALSE(modes().option(1, 1)->accessibleName().isEmpty());
  EXPECT_FALSE(modes().dropDown(0, 0)->accessibleName().isEmpty());
  EXPECT_EQ(modes().dropDown(0, 0)->itemData(1, Qt::AccessibleTextRole).toString(),
            ui::Display(app().Text("lblOperation(1)")));
  window->ClickButton(kBtnHideFrameBUM);
  EXPECT_FALSE(modes().isVisibleTo(window.get()));
  EXPECT_TRUE(window->panels().frameMain);
}

TEST_F(PanelsTest, AFilterTypedInThePanelThinsTheNextSimulation) {
  const std::string src = dir / "src", dst = dir / "dst";
  WriteFile(src + "/a.txt", "a");
  WriteFile(src + "/b.TMP", "b");
  WriteFile(src + "/c.tmp", "c");
  Pair(src, dst);
  window->ClickButton(kBtnExclude);
  QCheckBox* enable = Check("chkEnableExcl");
  ASSERT_NE(enable, nullptr);
  EXPECT_TRUE(filters().txtExclude()->isReadOnly());
  enable->click();
  EXPECT_TRUE(app().Options.ExclEnabled);
  EXPECT_FALSE(filters().txtExclude()->isReadOnly());

  // The placeholder goes when the box gets the focus and counts as empty in a run.
  window->ClickButton(kBtnSimulate);
  window->WaitForRun();
  EXPECT_EQ(Rows(), 3);
  Focus(filters().txtExclude(), QEvent::FocusIn);
  EXPECT_EQ(filters().txtExclude()->toPlainText(), QString());
  QTest::keyClicks(filters().txtExclude(), QStringLiteral(".tmp"));
  EXPECT_EQ(app().Options.ExcludeText, ".tmp");
  window->ClickButton(kBtnSimulate);
  window->WaitForRun();
  ASSERT_EQ(Rows(), 1);  // case-insensitive: both .tmp files go
  EXPECT_EQ(window->toDoModel()->index(0, kColF1).data().toString(), QStringLiteral("a.txt"));

  Check("chkExclCaseSenstiv")->click();
  window->ClickButton(kBtnSimulate);
  window->WaitForRun();
  EXPECT_EQ(Rows(), 2);

  // Emptied and left: the placeholder is back, and follows a language switch.
  filters().txtExclude()->clear();
  Focus(filters().txtExclude(), QEvent::FocusOut);
  EXPECT_EQ(app().Options.ExcludeText, app().Options.ExclPlaceholder);
  window->action(QStringLiteral("mnuLanguage(1)"))->trigger();
  EXPECT_EQ(filters().txtExclude()->toPlainText(), ui::Display(app().Text("txtExclude")));
  EXPECT_EQ(enable->text(), ui::Display(app().Text("chkEnableExcl")));
  EXPECT_EQ(enable->accessibleName(), enable->text());
}

// The log file typed in the panel is the job's: a run appends its record there, and a loaded job shows its own.
TEST_F(PanelsTest, TheLogFileTypedInThePanelGetsTheRecordOfTheNextRun) {
  const std::string src = dir / "src", dst = dir / "dst", log = dir / "runs.log";
  WriteFile(src + "/a.txt", "a");
  Pair(src, dst);
  window->ClickButton(kBtnExclude);
  QTest::keyClicks(filters().txtLogFile(), ui::DisplayPath(log));
  EXPECT_EQ(app().Options.LogFile, log);
  window->ClickButton(kBtnSimulate);
  window->WaitForRun();
  EXPECT_TRUE(ReadTextFile(log).starts_with("Run: simulate\nStart: ")) << ReadTextFile(log);

  app().Options.LogFile = "/elsewhere/other.log";
  filters().ShowOptions();
  EXPECT_EQ(filters().txtLogFile()->text(), QStringLiteral("/elsewhere/other.log"));
  EXPECT_FALSE(filters().txtLogFile()->accessibleName().isEmpty());
}

TEST_F(PanelsTest, FilesDroppedOnAFilterBoxAddTheirNamesAndSwitchItOn) {
  DropFiles(filters().txtInclude()->viewport(), QPoint(5, 5), {"/x/a.doc", "/y/b.txt"});
  EXPECT_EQ(app().Options.IncludeText, "a.doc\r\nb.txt\r\n");
  EXPECT_TRUE(app().Options.InclEnabled);
  EXPECT_TRUE(Check("chkEnableIncl")->isChecked());
}

TEST_F(PanelsTest, AJobSavedAndReopenedShowsEveryPanelValue) {
  modes().option(0, 1)->click();  // Identical: copy to the target
  for (const char* name :
       {"chkEnableExcl", "chkInclCaseSenstiv", "chkDaylightSaving", "[Deleted files to trash]", "chkCompareContent"})
    Check(name)->click();
  Focus(filters().txtExclude(), QEvent::FocusIn);
  QTest::keyClicks(filters().txtExclude(), QStringLiteral("\\Temp\\"));
  QTest::keyClick(filters().txtExclude(), Qt::Key_Return);
  QTest::keyClicks(filters().txtExclude(), QStringLiteral(".bak"));
  savePath = dir / "job.ddk";
  window->action(QStringLiteral("mnuSaveAs"))->trigger();
  ASSERT_TRUE(PathExists(savePath));

  window->action(QStringLiteral("mnuNew"))->trigger();
  EXPECT_FALSE(Check("chkEnableExcl")->isChecked());
  EXPECT_TRUE(modes().option(0, 0)->isChecked());

  window->action(QStringLiteral("mnuOpen"))->trigger();
  EXPECT_TRUE(modes().option(0, 1)->isChecked());
  EXPECT_EQ(modes().combo()->currentIndex(), 2);
  EXPECT_EQ(modes().dropDown(0, 1)->currentIndex(), 1);
  for (const char* name : {"chkEnableExcl", "chkInclCaseSenstiv", "[Deleted files to trash]", "chkCompareContent"})
    EXPECT_TRUE(Check(name)->isChecked()) << name;
  for (const char* name : {"chkExclCaseSenstiv", "chkDaylightSaving", "chkVerifyCopies"})
    EXPECT_FALSE(Check(name)->isChecked()) << name;
  EXPECT_EQ(filters().txtExclude()->toPlainText(), QStringLiteral("\\Temp\\\n.bak"));
}

TEST_F(PanelsTest, TheSchedulerFiresAOneStepRunWhenItsPeriodHasPassed) {
  const std::string src = dir / "src", dst = dir / "dst";
  WriteFile(src + "/a.txt", "a");
  test::MakeDirs(dst);
  Pair(src, dst);
  double now = 1000;
  window->scheduleClockHook = [&now] { return now; };

  window->ClickButton(kBtnScheduleOff);
  ui::SchedulePanel& panel = *window->schedulePanel();
  EXPECT_TRUE(panel.isVisibleTo(window.get()));
  EXPECT_EQ(window->panels().activeButton, kBtnScheduleOff);
  panel.txtScheduleTime()->selectAll();
  QTest::keyClicks(panel.txtScheduleTime(), QStringLiteral("0,01"));  // 36 seconds
  EXPECT_DOUBLE_EQ(app().Options.SchedulePeriodHours, 0.01);
  window->ClickButton(kBtnScheduleOffImFrame);
  EXPECT_TRUE(window->scheduleTimer().isActive());
  EXPECT_EQ(window->panels().activeButton, kBtnScheduleOn);
  EXPECT_TRUE(window->button(kBtnScheduleOn)->isVisibleTo(window.get()));
  EXPECT_FALSE(window->button(kBtnScheduleOff)->isVisibleTo(window.get()));

  now += 20;
  ASSERT_TRUE(QTest::qWaitFor([&] { return panel.bar()->percent() > 0; }, 2000));
  EXPECT_EQ(panel.bar()->percent(), 56);
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(PathExists(dst + "/a.txt"));

  now += 16;
  ASSERT_TRUE(QTest::qWaitFor([&] { return PathExists(dst + "/a.txt"); }, 2000));
  window->WaitForRun();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.front(), "[Simulation and execution]");
  EXPECT_TRUE(window->panels().frameMain);  // the run shows the main panel
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "[Simulation and execution]"), 1);

  // Escape on the main panel switches the scheduler off.
  QTest::keyClick(window->toDoView(), Qt::Key_Escape);
  EXPECT_FALSE(window->scheduler().IsOn());
  EXPECT_FALSE(window->scheduleTimer().isActive());
}

TEST_F(PanelsTest, APeriodSetThroughTheAccessibilityInterfaceIsTheSchedulesPeriod) {
  window->ClickButton(kBtnScheduleOff);
  ui::SchedulePanel& panel = *window->schedulePanel();
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(panel.txtScheduleTime());
  ASSERT_NE(box, nullptr);
  box->setText(QAccessible::Value, QStringLiteral("2,5"));
  ASSERT_EQ(panel.txtScheduleTime()->text(), QStringLiteral("2,5"));
  EXPECT_EQ(app().Options.ScheduleTimeText, "2,5");
  window->ClickButton(kBtnScheduleOffImFrame);
  EXPECT_DOUBLE_EQ(app().Options.SchedulePeriodHours, 2.5);
}

TEST_F(PanelsTest, OnChangeSyncsWhatIsWrittenInTheSource) {
  const std::string src = dir / "src", dst = dir / "dst";
  WriteFile(src + "/a.txt", "a");
  test::MakeDirs(dst);
  Pair(src, dst);
  // The watch reads the clock on its own thread too.
  std::atomic<double> now{1000};
  window->scheduleClockHook = [&now] { return now.load(); };

  window->ClickButton(kBtnScheduleOff);
  ui::SchedulePanel& panel = *window->schedulePanel();
  panel.chkScheduleOnChange()->click();
  EXPECT_TRUE(window->scheduler().OnChange());
  EXPECT_FALSE(panel.txtScheduleTime()->isEnabled());
  window->ClickButton(kBtnScheduleOffImFrame);
  // Switched on, it first brings everything in step.
  ASSERT_TRUE(QTest::qWaitFor([&] { return PathExists(dst + "/a.txt"); }, 5000));
  window->WaitForRun();

  WriteFile(src + "/b.txt", "b");
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        now = now + 1;
        return PathExists(dst + "/b.txt");
      },
      5000));
  window->WaitForRun();
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "[Simulation and execution]"), 2);
  panel.chkScheduleOnChange()->click();
  EXPECT_FALSE(window->scheduler().OnChange());
  EXPECT_TRUE(panel.txtScheduleTime()->isEnabled());
}

TEST_F(PanelsTest, EveryPanelTakesTheSamePlaceFromTheSmallestWindowToFullScreen) {
  window->show();
  auto listTop = [this] {
    QApplication::processEvents();
    return window->toDoView()->mapTo(window.get(), QPoint(0, 0)).y();
  };
  for (int language : {0, 1}) {
    window->action(QStringLiteral("mnuLanguage(%1)").arg(language))->trigger();
    // Every caption fits: the panels need no more than the smallest window.
    for (QWidget* panel : std::initializer_list<QWidget*>{&modes(), &filters(), window->schedulePanel()})
      EXPECT_LE(panel->minimumSizeHint().width(), 1024 - 16) << panel->objectName().toStdString() << language;
    for (QSize size : {QSize(1024, 700), QSize(1920, 1080)}) {
      window->resize(size);
      const int top = listTop();
      for (int b : {kBtnBackup, kBtnExclude, kBtnScheduleOff}) {
        window->ClickButton(b);
        EXPECT_EQ(listTop(), top) << b << " at " << size.width();
        window->ClickButton(b);
      }
      // Enlarged, the list takes the panel's place; restored, it is back.
      window->ClickButton(kBtnExclude);
      window->ClickButton(kBtnMaximizeToDoList);
      EXPECT_LT(listTop(), top - 100);
      window->ClickButton(kBtnRestoreToDoList);
      EXPECT_EQ(listTop(), top);
      EXPECT_TRUE(filters().isVisible());
      window->ClickButton(kBtnExclude);
    }
  }
}

using SkinMenuTest = test::WindowFixture;

TEST_F(SkinMenuTest, AChoiceIsSavedAndTheFlashAfterASaveLeavesTheWindowAsItWas) {
  const std::string icons = std::string(DUALDOCK_SOURCE_DIR) + "/resources/Icons/";
  test::MakeDirs(home + "/Icons/Skin0");
  test::MakeDirs(home + "/Icons/Skin3");
  // Skin 4 lacks the main panel's background, which the flashed skin 1 has.
  for (const char* file : {"BG1.jpg", "BG2.jpg"})
    std::filesystem::copy_file(icons + "Skin0/" + file, home + "/Icons/Skin0/" + file);
  std::filesystem::copy_file(icons + "Skin3/BG1.jpg", home + "/Icons/Skin3/BG1.jpg");
  WriteFile(home + "/Settings.txt", "[Skin]\t\t3\r\n[Language]\t0\r\n[FileTypes]\t0\r\n");
  Start();
  window->resize(1024, 700);
  window->show();
  QApplication::processEvents();
  EXPECT_TRUE(window->findChild<QAction*>(QStringLiteral("mnuSkin(3)"))->isChecked());
  const QImage before = window->grab().toImage();
  window->BGFlash();
  QApplication::processEvents();
  EXPECT_EQ(window->grab().toImage(), before);

  window->findChild<QAction*>(QStringLiteral("mnuSkin(1)"))->trigger();
  EXPECT_EQ(app().settings.SkinNumber, 1);
  EXPECT_TRUE(window->findChild<QAction*>(QStringLiteral("mnuSkin(1)"))->isChecked());
  EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("mnuSkin(3)"))->isChecked());
  EXPECT_EQ(ReadTextFile(home + "/Settings.txt").substr(0, 11), "[Skin]\t\t1\r\n");
}

TEST(SkinPictureTest, AMissingFileKeepsTheOldPicture) {
  TempDir dir;
  const std::string folder = dir / "Skin";
  test::MakeDirs(folder);
  std::filesystem::copy_file(std::string(DUALDOCK_SOURCE_DIR) + "/resources/Icons/Skin0/B2_1.gif",
                             folder + "/B2_1.gif");
  QIcon icon;
  ASSERT_TRUE(ui::LoadPicture(icon, folder + "/B2_1.gif"));
  const qint64 key = icon.cacheKey();
  EXPECT_FALSE(ui::LoadPicture(icon, folder + "/BG5.jpg"));
  EXPECT_EQ(icon.cacheKey(), key);
  WriteFile(folder + "/BG4.jpg", "not a picture");
  EXPECT_FALSE(ui::LoadPicture(icon, folder + "/BG4.jpg"));
  EXPECT_EQ(icon.cacheKey(), key);
}

}  // namespace
