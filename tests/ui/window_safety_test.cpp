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
#include "todo/list_plan.h"
#include "support/builders.h"
#include "support/window_fixture.h"
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

TEST_F(WindowSafetyTest, TheDiscardQuestionHasNoAsItsDefaultAndQtsButtonsFollowTheLanguage) {
  WriteFile(home + "/To Do.txt", kList);
  const std::string job = dir / "job1.ddk";
  test::WriteJob(job, {{"/x", "/y"}});
  Start();
  ASSERT_EQ(Rows(), 2);
  const struct {
    int language;
    const char* yes;
    const char* no;
  } rows[] = {{1, "Ja", "Nein"}, {0, "Yes", "No"}};
  for (const auto& row : rows) {
    Language(row.language);
    const Shown shown = AnswerNextBox(QMessageBox::No, [&] { DropFiles(window.get(), QPoint(5, 5), {job}); });
    EXPECT_EQ(shown.yes, QString::fromUtf8(row.yes));
    EXPECT_EQ(shown.no, QString::fromUtf8(row.no));
    EXPECT_TRUE(shown.noIsDefault);
    EXPECT_EQ(Rows(), 2);  // No kept the list
    EXPECT_TRUE(app().Job.SourceFolders.empty());
  }
}

TEST_F(WindowSafetyTest, FileNewAsksBeforeItDiscardsUnsavedPairsAndOnlyYesEmptiesThem) {
  Start();
  app().Job.SourceFolders = {"/mine"};
  app().Job.TargetFolders = {"/theirs"};
  app().screen.FolderPairsChanged();
  const Shown shown = AnswerNextBox(QMessageBox::No, [&] { window->action(QStringLiteral("mnuNew"))->trigger(); });
  EXPECT_TRUE(shown.noIsDefault);
  EXPECT_EQ(app().Job.SourceFolders, Keys{"/mine"});
  EXPECT_EQ(window->folderList()->rowCount(), 1);
  EXPECT_TRUE(window->windowTitle().startsWith(QLatin1Char('*')));
  AnswerNextBox(QMessageBox::Yes, [&] { window->action(QStringLiteral("mnuNew"))->trigger(); });
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

TEST_F(WindowSafetyTest, ADroppedFileThatIsNoJobIsRefusedAndThePairsStay) {
  Start();
  app().Job.SourceFolders = {"/mine"};
  app().screen.FolderPairsChanged();
  WriteFile(dir / "notes.txt", "shopping list\r\nmilk\r\n");
  DropFiles(window.get(), QPoint(5, 5), {dir / "notes.txt"});
  EXPECT_EQ(boxes, Keys{"[Not a job file]"});
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

TEST_F(WindowSafetyTest, TheActionLineSkinsModesAndListCellsFollowTheLanguageAtOnce) {
  WriteFile(home + "/To Do.txt", kList);
  Start();
  app().Run.ActionText = app().Text("[Finished]");
  ShowPendingStatistics(app().Run, app().Rates, app().messages);
  ASSERT_EQ(window->label(QStringLiteral("lblProgress"))->text(), QStringLiteral("Finished"));
  Language(1);
  EXPECT_EQ(window->label(QStringLiteral("lblProgress"))->text(), QStringLiteral("Beendet"));
  QAction* skin = window->findChild<QAction*>(QStringLiteral("mnuSkin(0)"));
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->text(), QStringLiteral("Design 1"));
  QComboBox* modes = window->backupModePanel()->combo();
  EXPECT_EQ(modes->itemText(0), QStringLiteral("A->B inkrementell"));
  const QModelIndex operation = window->toDoModel()->index(0, kColOperation);
  EXPECT_EQ(operation.data().toString(), QStringLiteral("Im Ziel löschen"));
  EXPECT_EQ(window->toDoModel()->index(0, kColStatus2).data().toString(), QStringLiteral("Nur hier"));
  Language(0);
  EXPECT_EQ(operation.data().toString(), QStringLiteral("Delete in Target"));
  EXPECT_EQ(skin->text(), QStringLiteral("Skin 1"));
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
  window->ClickButton(kBtnScheduleOffImFrame);
  now += 40;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !notices.empty(); }, 5000));
  window->WaitForRun();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].summary, app().Text("[Done]"));
  EXPECT_NE(notices[0].body.find(app().Text("[Copied files:  ]")), std::string::npos);
  EXPECT_FALSE(notices[0].failed);
}

}  // namespace
