// What the window must not lose without a word, its German, and how a run's end
// reaches a user who looks elsewhere.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "apply/statistics_labels.h"
#include "support/builders.h"
#include "support/window_fixture.h"
#include "todo/list_plan.h"
#include "ui/backup_mode_panel.h"
#include "ui/list_views.h"
#include "ui/schedule_panel.h"
#include "window_rules/buttons.h"
#include "window_rules/todo_view.h"

using namespace dd;
using dd::test::WriteFile;
using Keys = std::vector<std::string>;

namespace {

constexpr const char* kList =
    "Delete in F2       \t= x\tExtra in F2\t/a/x\t/b/x\t0\t3\r\n"
    "Delete in F2       \t= x\tExtra in F2\t/a/y\t/b/y\t0\t4";

struct WindowSafetyTest : test::WindowFixture {
  // Answers the next real message box with `answer` and returns what it showed.
  struct Shown {
    QString yes, no;
    bool noIsDefault = false;
  };
  Shown AnswerNextBox(QMessageBox::StandardButton answer, const std::function<void()>& action) {
    Shown shown;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll.stop();
      shown.yes = box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&'));
      shown.no = box->button(QMessageBox::No)->text().remove(QLatin1Char('&'));
      shown.noIsDefault = static_cast<QAbstractButton*>(box->defaultButton()) == box->button(QMessageBox::No);
      box->button(answer)->click();
    });
    poll.start();
    window->messageHook = nullptr;  // a real box
    action();
    return shown;
  }
  void Language(int language) { window->action(QStringLiteral("mnuLanguage(%1)").arg(language))->trigger(); }
};

// The discard question of a dropped job, in English and in German, answered No.
struct DiscardQuestionTest : WindowSafetyTest {
  struct Row {
    const char* name;
    int language;
    const char* yes;
    const char* no;
  };
  static constexpr Row kRows[] = {{"German", 1, "Ja", "Nein"}, {"English", 0, "Yes", "No"}};
  std::string job = dir / "job1.ddk";
  void SetUp() override {
    WriteFile(home + "/To Do.txt", kList);
    test::WriteJob(job, {{"/x", "/y"}});
    Start();
    ASSERT_EQ(Rows(), 2);
  }
  Shown DropJobAnsweringNo(const Row& row) {
    Language(row.language);
    return AnswerNextBox(QMessageBox::No, [&] { DropFiles(window.get(), QPoint(5, 5), {job}); });
  }
};

TEST_F(DiscardQuestionTest, HasNoAsItsDefault) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    EXPECT_TRUE(DropJobAnsweringNo(row).noIsDefault);
  }
}

TEST_F(DiscardQuestionTest, QtsButtonsFollowTheLanguage) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    const Shown shown = DropJobAnsweringNo(row);
    EXPECT_EQ(shown.yes, QString::fromUtf8(row.yes));
    EXPECT_EQ(shown.no, QString::fromUtf8(row.no));
  }
}

TEST_F(DiscardQuestionTest, AnsweredNoChangesNothing) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    DropJobAnsweringNo(row);
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(app().Job.SourceFolders.empty());
  }
}

struct FileNewTest : WindowSafetyTest {
  void SetUp() override {
    Start();
    app().Job.SourceFolders = {"/mine"};
    app().Job.TargetFolders = {"/theirs"};
    app().screen.FolderPairsChanged();
  }
  Shown NewAnswering(QMessageBox::StandardButton answer) {
    return AnswerNextBox(answer, [&] { window->action(QStringLiteral("mnuNew"))->trigger(); });
  }
};

TEST_F(FileNewTest, TheQuestionBeforeUnsavedPairsGoHasNoAsItsDefault) {
  EXPECT_TRUE(NewAnswering(QMessageBox::No).noIsDefault);
}

TEST_F(FileNewTest, AnsweredNoKeepsTheUnsavedPairs) {
  NewAnswering(QMessageBox::No);
  EXPECT_EQ(app().Job.SourceFolders, Keys{"/mine"});
  EXPECT_EQ(window->folderList()->rowCount(), 1);
  EXPECT_TRUE(window->windowTitle().startsWith(QLatin1Char('*')));
}

TEST_F(FileNewTest, AnsweredYesEmptiesThePairs) {
  NewAnswering(QMessageBox::No);
  NewAnswering(QMessageBox::Yes);
  EXPECT_TRUE(app().Job.SourceFolders.empty());
  EXPECT_FALSE(window->windowTitle().startsWith(QLatin1Char('*')));
}

TEST_F(WindowSafetyTest, AJobDroppedOnTheFolderListLoadsOnlyAfterYes) {
  WriteFile(home + "/To Do.txt", kList);
  const std::string job = dir / "job1.ddk";
  test::WriteJob(job, {{"/x", "/y"}});
  Start();
  DropFiles(window->folderList()->viewport(), QPoint(5, 5), {job});
  EXPECT_EQ(boxes, Keys{"[Discard pending list?]"});  // the fixture answers Yes
  EXPECT_EQ(app().Job.SourceFolders, Keys{"/x"});
  EXPECT_EQ(Rows(), 0);
}

struct NoJobDropTest : WindowSafetyTest {
  void SetUp() override {
    Start();
    app().Job.SourceFolders = {"/mine"};
    app().screen.FolderPairsChanged();
    WriteFile(dir / "notes.txt", "shopping list\r\nmilk\r\n");
    DropFiles(window.get(), QPoint(5, 5), {dir / "notes.txt"});
  }
};

TEST_F(NoJobDropTest, ADroppedFileThatIsNoJobIsRefused) {
  EXPECT_EQ(boxes, Keys{"[Not a job file]"});
}

TEST_F(NoJobDropTest, ADroppedFileThatIsNoJobLeavesThePairs) {
  EXPECT_EQ(app().Job.SourceFolders, Keys{"/mine"});
  EXPECT_EQ(window->folderList()->rowCount(), 1);
}

TEST_F(WindowSafetyTest, AfterARestartThePendingListShowsWithThePairsOfTheJobThatPlannedIt) {
  const std::string job = dir / "job1.ddk";
  test::WriteJob(job, {{"/x", "/y"}});
  WriteFile(home + "/To Do.txt", kList);
  ListPlan plan;
  plan.Known = true;
  plan.JobFile = job;
  plan.Pairs = {{"/x", "/y", "/x", "/y"}};
  WriteFile(home + "/To Do Plan.txt", FormatListPlan(plan, 0));
  Start();
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(app().Job.CurrentJobFile, job);
  ASSERT_EQ(window->folderList()->rowCount(), 1);
  EXPECT_EQ(window->folderList()->item(0, 1)->text(), QStringLiteral("/x"));
  EXPECT_EQ(Rows(), 2);
}

TEST_F(WindowSafetyTest, EveryShownTextFollowsTheLanguageAtOnce) {
  WriteFile(home + "/To Do.txt", kList);
  Start();
  app().Run.ActionText = "Finished";
  ShowPendingStatistics(app().Run, app().Rates, app().messages);
  const struct {
    const char* name;
    std::function<QString(WindowSafetyTest&)> shown;
    const char* german;
    const char* english;
  } rows[] = {
      {"action line", [](WindowSafetyTest& t) { return t.window->label(QStringLiteral("lblProgress"))->text(); },
       "Beendet", "Finished"},
      {"skin menu",
       [](WindowSafetyTest& t) { return t.window->findChild<QAction*>(QStringLiteral("mnuSkin(0)"))->text(); },
       "Design 1", "Skin 1"},
      {"mode names", [](WindowSafetyTest& t) { return t.window->backupModePanel()->combo()->itemText(0); },
       "A->B inkrementell", "A->B incremental"},
      {"operation cell",
       [](WindowSafetyTest& t) { return t.window->toDoModel()->index(0, kColOperation).data().toString(); },
       "Im Ziel löschen", "Delete in Target"},
      {"status cell",
       [](WindowSafetyTest& t) { return t.window->toDoModel()->index(0, kColStatus2).data().toString(); }, "Nur hier",
       "Extra"},
  };
  ASSERT_EQ(window->label(QStringLiteral("lblProgress"))->text(), QStringLiteral("Finished"));
  ASSERT_NE(window->findChild<QAction*>(QStringLiteral("mnuSkin(0)")), nullptr);
  Language(1);
  for (const auto& row : rows) EXPECT_EQ(row.shown(*this), QString::fromUtf8(row.german)) << row.name;
  Language(0);
  for (const auto& row : rows) EXPECT_EQ(row.shown(*this), QString::fromUtf8(row.english)) << row.name;
}

TEST_F(WindowSafetyTest, AScheduledRunThatEndsBehindAnotherWindowIsToldOnTheDesktop) {
  Start();
  const std::string src = dir / "src", dst = dir / "dst";
  WriteFile(src + "/a.txt", "a");
  test::MakeDirs(dst);
  app().Job.SourceFolders = {src};
  app().Job.TargetFolders = {dst};
  app().screen.FolderPairsChanged();
  std::vector<DesktopNotice> notices;
  window->noticeHook = [&](const DesktopNotice& n) { notices.push_back(n); };
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  ASSERT_FALSE(window->isActiveWindow());

  double now = 1000;
  window->scheduleClockHook = [&now] { return now; };
  window->ClickButton(kBtnScheduleOff);
  window->schedulePanel()->txtScheduleTime()->setText(QStringLiteral("0,01"));
  window->ClickButton(kBtnScheduleOffInPanel);
  now += 40;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !notices.empty(); }, 5000));
  window->WaitForRun();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].summary, "Done");
  EXPECT_NE(notices[0].body.find("Copied files:"), std::string::npos);
  EXPECT_FALSE(notices[0].failed);
}

}  // namespace
