// Runs through the window: the trash it is handed, and runs after a declined one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/trash.h"
#include "support/builders.h"
#include "support/window_fixture.h"
#include "ui/list_views.h"
#include "ui/picture_button.h"
#include "window_rules/buttons.h"

namespace dd {
namespace {

using Keys = std::vector<std::string>;

// Takes the file away and notes it, as a trash would.
class FakeTrash : public Trash {
 public:
  TrashOutcome MoveToTrash(int folder, const std::string& name, const std::string& path) override {
    paths.push_back(path);
    return ::unlinkat(folder, name.c_str(), 0) == 0 ? TrashOutcome::Moved : TrashOutcome::Failed;
  }
  std::vector<std::string> paths;
};

// A trash on a file system that hangs: the first move waits until it is let go
// (or, so that a window that cannot let it go fails instead of hanging, ten seconds).
class HangingTrash : public FakeTrash {
 public:
  TrashOutcome MoveToTrash(int folder, const std::string& name, const std::string& path) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!entered_.exchange(true) && !changed_.wait_for(lock, std::chrono::seconds(10), [this] { return released_; }))
      timedOut = true;
    return FakeTrash::MoveToTrash(folder, name, path);
  }
  // The window thread waits here, answering, until the run hangs in the trash.
  bool WaitUntilHanging() {
    const QDeadlineTimer bound(std::chrono::seconds(20));
    while (!entered_ && !bound.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return entered_;
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  std::atomic<bool> timedOut{false};

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool released_ = false;
  std::atomic<bool> entered_{false};
};

struct RunWindowTest : test::WindowFixture {
  // A job of one mirrored pair dir/s -> dir/t with these files, opened at the start.
  void StartWithJob(const std::vector<std::string>& files) {
    for (const std::string& f : files) test::WriteFile(dir / f, f);
    test::MakeDirs(dir / "s");
    test::MakeDirs(dir / "t");
    test::WriteJob(dir / "job.ddk", {{dir / "s", dir / "t"}});
    Start(dir / "job.ddk");
    boxes.clear();
  }
  // Mirrored s -> t with two files to delete in t through a trash that hangs; the
  // execution is started and left hanging in its first deletion.
  void ExecuteIntoHangingTrash(HangingTrash& hanging) {
    trash = &hanging;
    StartWithJob({"s/a.txt", "t/old1.txt", "t/old2.txt"});
    app().Options.DeletedToTrash = true;
    Press(kBtnSimulate);
    boxes.clear();
    QTest::mouseClick(window->button(kBtnExecute), Qt::LeftButton);
    ASSERT_TRUE(hanging.WaitUntilHanging());
    // What the run posted before it hung reaches the window in batches: let it arrive.
    QLabel* action = window->label(QStringLiteral("lblProgress"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return action->text().startsWith(QStringLiteral("Execution in progress")); }, 5000));
  }
  void Press(int button) {
    QTest::mouseClick(window->button(button), Qt::LeftButton);
    window->WaitForRun();
  }
};

TEST_F(RunWindowTest, TheTrashOptionSendsDeletedFilesToTheTrashTheWindowWasGiven) {
  FakeTrash fake;
  trash = &fake;
  StartWithJob({"s/keep.txt", "t/old.txt"});
  app().Options.DeletedToTrash = true;
  Press(kBtnSimulate);
  Press(kBtnExecute);
  EXPECT_EQ(fake.paths, Keys{dir / "t/old.txt"});
  EXPECT_FALSE(PathExists(dir / "t/old.txt"));
  EXPECT_EQ(boxes,
            (Keys{"[Simulation done in ]", "[Are you sure you want to execute]", "[operations successfully done]"}));
}

TEST_F(RunWindowTest, EachStopOnTheAnsweringWindowEndsARunThatHangsInTheFileSystem) {
  const struct {
    const char* name;
    std::function<void(RunWindowTest&)> stop;
  } rows[] = {
      {"stop button", [](RunWindowTest& t) { t.window->ClickButton(kBtnStopExecution); }},
      {"Escape", [](RunWindowTest& t) { QTest::keyClick(t.window->toDoView(), Qt::Key_Escape); }},
      {"a pair deleted, abort answered Yes",
       [](RunWindowTest& t) {
         t.boxes.clear();
         t.window->folderList()->selectAll();
         QTest::keyClick(t.window->folderList(), Qt::Key_Delete);
         EXPECT_EQ(t.boxes, Keys{"[Abort?]"});
       }},
  };
  for (const auto& row : rows) {
    HangingTrash hanging;
    ExecuteIntoHangingTrash(hanging);
    // The stop happens on the window thread while the run still hangs.
    row.stop(*this);
    hanging.Release();
    window->WaitForRun();
    EXPECT_FALSE(hanging.timedOut) << row.name;
    EXPECT_EQ(hanging.paths.size(), 1u) << row.name;  // the second deletion never began
    EXPECT_EQ(test::ListRecords(home + "/To Do.txt").size(), 2u) << row.name;
    EXPECT_EQ(app().Job.SourceFolders.size(), 1u) << row.name;  // the edit was refused
    EXPECT_FALSE(app().Run.Lifecycle.Active()) << row.name;
    window.reset();
    trash = nullptr;
  }
}

TEST_F(RunWindowTest, AfterAStopDuringExecuteSimulatePlansWhatRemains) {
  HangingTrash hanging;
  ExecuteIntoHangingTrash(hanging);
  window->ClickButton(kBtnStopExecution);
  hanging.Release();
  window->WaitForRun();
  boxes.clear();
  window->action(QStringLiteral("mnuSimulate"))->trigger();
  window->WaitForRun();
  EXPECT_EQ(boxes, Keys{"[Simulation done in ]"});
  EXPECT_EQ(Rows(), 2);  // old2.txt to delete, a.txt to copy
  EXPECT_EQ(test::ListRecords(home + "/To Do.txt").size(), 2u);
}

TEST_F(RunWindowTest, ClosingDuringARunWaitsForItToUnwindThenCloses) {
  HangingTrash hanging;
  ExecuteIntoHangingTrash(hanging);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  hanging.Release();
  window->WaitForRun();
  EXPECT_FALSE(hanging.timedOut);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(test::ListRecords(home + "/To Do.txt").size(), 2u);  // the stopped run saved what remains
}

TEST_F(RunWindowTest, AfterADeclinedOrRefusedRunSimulatePlansTheFullList) {
  const struct {
    const char* name;
    std::function<void(RunWindowTest&)> route;
    Keys boxes;
  } rows[] = {
      {"one-step run answered No",
       [](RunWindowTest& t) {
         t.window->action(QStringLiteral("mnuOneKlickExecute"))->trigger();
         t.window->WaitForRun();
       },
       {"[Simulation and execution]"}},
      {"missing folder answered No",
       [](RunWindowTest& t) {
         t.app().Job.SourceFolders.push_back(t.dir / "s");
         t.app().Job.TargetFolders.push_back(t.dir / "missing");
         t.Press(kBtnSimulate);
         t.app().Job.SourceFolders.pop_back();
         t.app().Job.TargetFolders.pop_back();
       },
       {"[folders do not exist]", "[BackUp aborted by user]"}},
      {"unequal pairs",
       [](RunWindowTest& t) {
         t.app().Job.SourceFolders.push_back(t.dir / "s");
         t.Press(kBtnSimulate);
         t.app().Job.SourceFolders.pop_back();
       },
       {"[same number of folders]"}},
  };
  for (const auto& row : rows) {
    StartWithJob({"s/a.txt", "s/b.txt", "t/old.txt"});
    window->messageHook = [this](const Message& m) {
      boxes.push_back(m.key);
      return m.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    };
    row.route(*this);
    EXPECT_EQ(boxes, row.boxes) << row.name;
    boxes.clear();
    window->action(QStringLiteral("mnuSimulate"))->trigger();
    window->WaitForRun();
    EXPECT_EQ(boxes, Keys{"[Simulation done in ]"}) << row.name;
    EXPECT_EQ(Rows(), 3) << row.name;
    EXPECT_EQ(test::ListRecords(home + "/To Do.txt").size(), 3u) << row.name;
  }
}

const int kRunButtons[] = {kBtnSimulate, kBtnExecute, kBtnOneStep};
const QString kRunEntries[] = {QStringLiteral("mnuSimulate"), QStringLiteral("mnuExecute"),
                               QStringLiteral("mnuOneKlickExecute")};

// An execution hanging in its first deletion, let go when the test ends.
struct HangingRunTest : RunWindowTest {
  HangingTrash hanging;
  void SetUp() override { ExecuteIntoHangingTrash(hanging); }
  void TearDown() override {
    hanging.Release();
    if (window) window->WaitForRun();
    RunWindowTest::TearDown();
  }
};

TEST_F(HangingRunTest, TheButtonsThatStartARunAreOutOfUse) {
  for (int b : kRunButtons) {
    EXPECT_FALSE(window->button(b)->isEnabled()) << b;
    EXPECT_EQ(window->button(b)->look(), kDisabledLook) << b;
  }
}

TEST_F(HangingRunTest, TheMenuEntriesThatStartARunAreOutOfUse) {
  for (const QString& entry : kRunEntries) EXPECT_FALSE(window->action(entry)->isEnabled()) << entry.toStdString();
}

TEST_F(HangingRunTest, TheStopButtonIsThere) {
  EXPECT_TRUE(window->button(kBtnStopExecution)->isVisibleTo(window.get()));
  EXPECT_TRUE(window->button(kBtnStopExecution)->isEnabled());
}

TEST_F(HangingRunTest, AClickOnAStarterOutOfUseAsksNothing) {
  boxes.clear();
  QTest::mouseClick(window->button(kBtnSimulate), Qt::LeftButton);
  for (const QString& entry : kRunEntries) window->action(entry)->trigger();
  EXPECT_EQ(boxes, Keys{});
}

TEST_F(HangingRunTest, EscapeStillStopsTheRun) {
  QTest::keyClick(window->toDoView(), Qt::Key_Escape);
  EXPECT_TRUE(app().Run.Lifecycle.StopRequested());
}

TEST_F(HangingRunTest, AfterTheRunEveryStarterIsBackInUse) {
  QTest::keyClick(window->toDoView(), Qt::Key_Escape);
  hanging.Release();
  window->WaitForRun();
  for (int b : kRunButtons) {
    EXPECT_TRUE(window->button(b)->isEnabled()) << b;
    EXPECT_NE(window->button(b)->look(), kDisabledLook) << b;
  }
  for (const QString& entry : kRunEntries) EXPECT_TRUE(window->action(entry)->isEnabled()) << entry.toStdString();
}

TEST_F(RunWindowTest, TheActionLineSaysAnExecutionWaitsForItsAnswerThenThatItIsInProgress) {
  const struct {
    const char* name;
    bool simulateFirst;
    int button;
  } rows[] = {{"execute after a simulation", true, kBtnExecute}, {"the one-step run", false, kBtnOneStep}};
  for (const auto& row : rows) {
    HangingTrash hanging;
    trash = &hanging;
    StartWithJob({"s/a.txt", "t/old1.txt", "t/old2.txt"});
    app().Options.DeletedToTrash = true;
    if (row.simulateFirst) Press(kBtnSimulate);
    QLabel* action = window->label(QStringLiteral("lblProgress"));
    QString duringQuestion;
    window->messageHook = [&](const Message& m) {
      if (m.kind == MessageKind::ConfirmExecute || m.kind == MessageKind::ConfirmOneClick) {
        // The labels the run posted before its question arrive in batches: wait for them, within reason.
        (void)QTest::qWaitFor([&] { return action->text() == QStringLiteral("Waiting for confirmation"); }, 5000);
        duringQuestion = action->text();
      }
      return m.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    };
    window->ClickButton(row.button);
    ASSERT_TRUE(hanging.WaitUntilHanging()) << row.name;
    (void)QTest::qWaitFor([&] { return action->text().startsWith(QStringLiteral("Execution in progress")); }, 5000);
    EXPECT_EQ(duringQuestion, QStringLiteral("Waiting for confirmation")) << row.name;
    EXPECT_TRUE(action->text().startsWith(QStringLiteral("Execution in progress")))
        << row.name << " " << action->text().toStdString();
    hanging.Release();
    window->WaitForRun();
    window.reset();
    trash = nullptr;
  }
}

}  // namespace
}  // namespace dd
