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

// The backup-mode panel opened on the standard mode.
struct ModesPanelTest : PanelsTest {
  void SetUp() override {
    PanelsTest::SetUp();
    window->ClickButton(kBtnBackup);
  }
};

TEST_F(ModesPanelTest, OpensOnTheStandardMode) {
  EXPECT_TRUE(modes().isVisibleTo(window.get()));
  EXPECT_EQ(modes().combo()->currentIndex(), 0);
  EXPECT_TRUE(modes().option(3, 1)->isChecked());  // Newer in F1: copy to the target
}

// The combo says "user defined" and the Newer drop-down follows.
TEST_F(ModesPanelTest, AGridClickIsShownByTheOtherEditors) {
  modes().option(3, 0)->click();
  EXPECT_EQ(app().Modes.CurrentBackupMode.NewerInF1, "= =");
  EXPECT_EQ(modes().combo()->currentIndex(), 2);
  EXPECT_EQ(modes().dropDown(2, 0)->currentIndex(), 0);
}

TEST_F(ModesPanelTest, ADropDownBackToTheStandardCodesNamesTheStandardMode) {
  modes().option(3, 0)->click();
  Pick(modes().dropDown(2, 0), 1);
  EXPECT_EQ(modes().combo()->currentIndex(), 0);
  EXPECT_TRUE(modes().option(3, 1)->isChecked());
}

// The Extra F2 drop-down holds three items: its third is "= x".
TEST_F(ModesPanelTest, ADropDownItemIsShownInTheGrid) {
  Pick(modes().dropDown(1, 1), 1);
  EXPECT_EQ(app().Modes.CurrentBackupMode.ExtraInF2, "<-=");
  EXPECT_TRUE(modes().option(2, 2)->isChecked());
}

TEST_F(ModesPanelTest, AComboChoiceIsShownByTheOtherEditors) {
  Pick(modes().combo(), 1);
  EXPECT_EQ(app().Modes.CurrentBackupMode.NewerInF2, "<-=");
  EXPECT_TRUE(modes().option(4, 2)->isChecked());
  EXPECT_EQ(modes().dropDown(2, 1)->currentIndex(), 2);
  EXPECT_EQ(modes().dropDown(1, 1)->currentIndex(), 2);
  EXPECT_FALSE(app().Modes.OptionsBeingSet);
}

TEST_F(ModesPanelTest, AFixedCellIsOutOfUse) {
  EXPECT_FALSE(modes().option(1, 2)->isEnabled());
}

TEST_F(ModesPanelTest, TheEditorsHaveNamesForScreenReaders) {
  EXPECT_FALSE(modes().option(1, 1)->accessibleName().isEmpty());
  EXPECT_FALSE(modes().dropDown(0, 0)->accessibleName().isEmpty());
  EXPECT_EQ(modes().dropDown(0, 0)->itemData(1, Qt::AccessibleTextRole).toString(),
            QStringLiteral("Copy to the target"));
}

TEST_F(ModesPanelTest, ItsCloseButtonReturnsToTheMainPanel) {
  window->ClickButton(kBtnHideModesPanel);
  EXPECT_FALSE(modes().isVisibleTo(window.get()));
  EXPECT_TRUE(window->panels().frameMain);
}

// The exclude panel open on a pair with a.txt, b.TMP and c.tmp to copy; its box is switched off.
struct ExcludePanelTest : PanelsTest {
  QCheckBox* enable = nullptr;
  void SetUp() override {
    PanelsTest::SetUp();
    const std::string src = dir / "src", dst = dir / "dst";
    WriteFile(src + "/a.txt", "a");
    WriteFile(src + "/b.TMP", "b");
    WriteFile(src + "/c.tmp", "c");
    Pair(src, dst);
    window->ClickButton(kBtnExclude);
    enable = Check("chkEnableExcl");
    ASSERT_NE(enable, nullptr);
  }
  void Simulate() {
    window->ClickButton(kBtnSimulate);
    window->WaitForRun();
  }
  void TypeSwitchedOn(const QString& text) {
    enable->click();
    Focus(filters().txtExclude(), QEvent::FocusIn);
    QTest::keyClicks(filters().txtExclude(), text);
  }
};

TEST_F(ExcludePanelTest, TheSwitchOpensTheBoxForTyping) {
  EXPECT_TRUE(filters().txtExclude()->isReadOnly());
  enable->click();
  EXPECT_TRUE(app().Options.ExclEnabled);
  EXPECT_FALSE(filters().txtExclude()->isReadOnly());
}

TEST_F(ExcludePanelTest, ThePlaceholderCountsAsEmptyInARun) {
  enable->click();
  Simulate();
  EXPECT_EQ(Rows(), 3);
}

TEST_F(ExcludePanelTest, ThePlaceholderGoesWhenTheBoxGetsTheFocus) {
  enable->click();
  Focus(filters().txtExclude(), QEvent::FocusIn);
  EXPECT_EQ(filters().txtExclude()->toPlainText(), QString());
}

TEST_F(ExcludePanelTest, ATypedNameThinsTheNextSimulationInAnyCase) {
  TypeSwitchedOn(QStringLiteral(".tmp"));
  EXPECT_EQ(app().Options.ExcludeText, ".tmp");
  Simulate();
  ASSERT_EQ(Rows(), 1);  // case-insensitive: both .tmp files go
  EXPECT_EQ(window->toDoModel()->index(0, kColF1).data().toString(), QStringLiteral("a.txt"));
}

TEST_F(ExcludePanelTest, ACaseSensitiveNameLeavesOtherCases) {
  TypeSwitchedOn(QStringLiteral(".tmp"));
  Check("chkExclCaseSenstiv")->click();
  Simulate();
  EXPECT_EQ(Rows(), 2);
}

// Emptied and left: the placeholder is back.
TEST_F(ExcludePanelTest, AnEmptiedBoxGetsThePlaceholderBack) {
  TypeSwitchedOn(QStringLiteral(".tmp"));
  filters().txtExclude()->clear();
  Focus(filters().txtExclude(), QEvent::FocusOut);
  EXPECT_EQ(app().Options.ExcludeText, app().Options.ExclPlaceholder);
}

TEST_F(ExcludePanelTest, ThePlaceholderFollowsTheLanguage) {
  TypeSwitchedOn(QStringLiteral(".tmp"));
  filters().txtExclude()->clear();
  Focus(filters().txtExclude(), QEvent::FocusOut);
  window->action(QStringLiteral("mnuLanguage(1)"))->trigger();
  EXPECT_TRUE(
      filters().txtExclude()->toPlainText().startsWith(QStringLiteral("Dateien hierher ziehen oder Namensteile\n")))
      << filters().txtExclude()->toPlainText().toStdString();
}

TEST_F(ExcludePanelTest, TheSwitchFollowsTheLanguage) {
  window->action(QStringLiteral("mnuLanguage(1)"))->trigger();
  EXPECT_EQ(enable->text(), QString::fromUtf8("Diese Dateien ausschließen"));
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

TEST_F(PanelsTest, FilesDroppedOnAFilterBoxAddTheirNames) {
  DropFiles(filters().txtInclude()->viewport(), QPoint(5, 5), {"/x/a.doc", "/y/b.txt"});
  EXPECT_EQ(app().Options.IncludeText, "a.doc\r\nb.txt\r\n");
}

TEST_F(PanelsTest, FilesDroppedOnASwitchedOffFilterBoxSwitchItOn) {
  DropFiles(filters().txtInclude()->viewport(), QPoint(5, 5), {"/x/a.doc", "/y/b.txt"});
  EXPECT_TRUE(app().Options.InclEnabled);
  EXPECT_TRUE(Check("chkEnableIncl")->isChecked());
}

TEST_F(PanelsTest, AReopenedJobShowsEveryPanelValueItWasSavedWith) {
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
  window->ClickButton(kBtnScheduleOffInPanel);
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
  window->ClickButton(kBtnScheduleOffInPanel);
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
  window->ClickButton(kBtnScheduleOffInPanel);
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

// Starts in skin 4, which lacks the main panel's background that the flashed skin 1 has.
struct SkinMenuTest : test::WindowFixture {
  void StartInSkin4() {
    const std::string icons = std::string(DUALDOCK_SOURCE_DIR) + "/resources/Icons/";
    test::MakeDirs(home + "/Icons/Skin0");
    test::MakeDirs(home + "/Icons/Skin3");
    for (const char* file : {"BG1.jpg", "BG2.jpg"})
      std::filesystem::copy_file(icons + "Skin0/" + file, home + "/Icons/Skin0/" + file);
    std::filesystem::copy_file(icons + "Skin3/BG1.jpg", home + "/Icons/Skin3/BG1.jpg");
    WriteFile(home + "/Settings.txt", "[Skin]\t\t3\r\n[Language]\t0\r\n[FileTypes]\t0\r\n");
    Start();
    window->resize(1024, 700);
    window->show();
    QApplication::processEvents();
  }
  QAction* Entry(int skin) { return window->findChild<QAction*>(QStringLiteral("mnuSkin(%1)").arg(skin)); }
};

TEST_F(SkinMenuTest, TheFlashAfterASaveLeavesTheWindowAsItWas) {
  StartInSkin4();
  const QImage before = window->grab().toImage();
  window->FlashBackground();
  QApplication::processEvents();
  EXPECT_EQ(window->grab().toImage(), before);
}

TEST_F(SkinMenuTest, TheSkinInUseIsTicked) {
  StartInSkin4();
  EXPECT_TRUE(Entry(3)->isChecked());
}

TEST_F(SkinMenuTest, AChosenSkinIsTickedInsteadOfTheOldOne) {
  StartInSkin4();
  Entry(1)->trigger();
  EXPECT_EQ(app().settings.SkinNumber, 1);
  EXPECT_TRUE(Entry(1)->isChecked());
  EXPECT_FALSE(Entry(3)->isChecked());
}

TEST_F(SkinMenuTest, AChosenSkinIsSavedInTheSettings) {
  StartInSkin4();
  Entry(1)->trigger();
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
