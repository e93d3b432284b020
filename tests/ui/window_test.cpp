// The window driven like a user would: start-up, drops, a simulate and execute
// round with scripted message boxes, keys and a language switch.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "common/files.h"
#include "support/window_fixture.h"
#include "ui/list_views.h"
#include "ui/picture_button.h"
#include "ui/progress_picture.h"
#include "window_rules/buttons.h"

using namespace dd;
using dd::test::MakeDirs;
using dd::test::TempDir;
using dd::test::WriteFile;
using dd::ui::PictureButton;

namespace {

struct WindowTest : test::WindowFixture {
  QString Text(const QString& name) { return window->label(name)->text(); }
  // A drop just left or right of the source column's right edge.
  void Drop(const std::string& folder, bool left) {
    const int boundary = window->folderList()->Boundary();
    DropFiles(window->folderList()->viewport(), QPoint(left ? boundary - 2 : boundary + 2, 10), {folder});
  }
};

TEST_F(WindowTest, StartUpShowsThePreviousListThenOpensTheCommandLineJob) {
  const std::string list =
      "Delete in F2       \t= x\tExtra in F2\t/a/x\t/b/x\t0\t3\r\n"
      "Delete in F2       \t= x\tExtra in F2\t/a/y\t/b/y\t0\t4";
  WriteFile(home + "/To Do.txt", list);
  WriteFile(home + "/Rates.txt", "1000000\r\n1000000\r\n1");
  const std::string job = dir / "my jobs/night run.ddk";  // spaces and all
  WriteFile(job, "Dualdock V2.1\r\n\r\nDirectories:\r\n/src one\r\n\r\n/dst one\r\n\r\n\r\n");
  // What the window held when it was shown.
  int rowsAtShow = -1, pairsAtShow = -1;
  struct ShowSpy : QObject {
    std::function<void()> onShow;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Show && onShow) onShow();
      return false;
    }
  } spy;
  spy.onShow = [&] {
    rowsAtShow = Rows();
    pairsAtShow = window->folderList()->rowCount();
  };
  Start(job, true, [&] { window->installEventFilter(&spy); });
  EXPECT_EQ(rowsAtShow, 2);
  EXPECT_EQ(pairsAtShow, 0);
  EXPECT_EQ(window->folderList()->rowCount(), 1);
  EXPECT_EQ(window->folderList()->item(0, 1)->text(), QStringLiteral("/src one"));
  EXPECT_EQ(app().Job.CurrentJobFile, job);
  EXPECT_EQ(window->statusBar()->findChild<QLabel*>(QStringLiteral("StatusBar1.Panel1"))->text(),
            QString::fromStdString(job));
}

TEST_F(WindowTest, WithoutALanguageFileTheMenusStillShowCaptions) {
  Start({}, false);
  EXPECT_EQ(boxes, std::vector<std::string>{"Language file not found"});
  EXPECT_EQ(window->menu(QStringLiteral("mnuFile"))->title(), QStringLiteral("File"));
  EXPECT_EQ(window->action(QStringLiteral("mnuSimulate"))->text(), QStringLiteral("Simulate"));
}

// A pair made by drops: src with three new files, dst with one extra; `simulated` after a click on Simulate.
struct WindowRoundTest : WindowTest {
  std::string src = dir / "src", dst = dir / "dst";
  void SetUp() override {
    Start();
    WriteFile(src + "/a.txt", "aaaa");
    WriteFile(src + "/b.txt", "bbbbbbbb");
    WriteFile(src + "/keep out.txt", "x");
    WriteFile(dst + "/old.txt", "old");
    Drop(src, true);
    Drop(dst, false);
  }
  void Simulate() {
    QTest::mouseClick(window->button(kBtnSimulate), Qt::LeftButton);
    window->WaitForRun();
  }
  // The user drops one planned copy from the list.
  void DeleteKeepOutRow() {
    const QModelIndexList found = window->toDoModel()->match(window->toDoModel()->index(0, kColF1), Qt::DisplayRole,
                                                             QStringLiteral("keep out.txt"), 1, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    window->toDoView()->selectRow(found[0].row());
    QTest::keyClick(window->toDoView(), Qt::Key_Delete);
  }
  void Execute() {
    boxes.clear();
    QTest::mouseClick(window->button(kBtnExecute), Qt::LeftButton);
    window->WaitForRun();
  }
};

TEST_F(WindowRoundTest, FoldersDroppedEitherSideOfTheBoundaryMakeOnePair) {
  ASSERT_EQ(window->folderList()->rowCount(), 1);
  ASSERT_NE(window->folderList()->item(0, 3), nullptr);
  EXPECT_EQ(app().Job.TargetFolders, std::vector<std::string>{dst});
}

TEST_F(WindowRoundTest, SimulateShowsThePlannedList) {
  Simulate();
  EXPECT_EQ(boxes, std::vector<std::string>{"[Simulation done in ]"});
  EXPECT_EQ(Rows(), 4);  // three new copies and one deletion
  EXPECT_EQ(Text(QStringLiteral("lblNewInF2")), QStringLiteral("3"));
  EXPECT_EQ(Text(QStringLiteral("lblF1Files")), QStringLiteral("3"));
  EXPECT_FALSE(window->button(kBtnStopSimulation)->isVisible());
}

TEST_F(WindowRoundTest, ARowDeletedFromTheListLeavesItsCount) {
  Simulate();
  DeleteKeepOutRow();
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Text(QStringLiteral("lblNewInF2")), QStringLiteral("2"));
}

TEST_F(WindowRoundTest, ExecuteCarriesOutWhatIsLeftOfTheList) {
  Simulate();
  DeleteKeepOutRow();
  Execute();
  EXPECT_EQ(boxes, (std::vector<std::string>{"[Are you sure you want to execute]", "[operations successfully done]"}));
  EXPECT_EQ(ReadTextFile(dst + "/a.txt"), "aaaa");
  EXPECT_EQ(ReadTextFile(dst + "/b.txt"), "bbbbbbbb");
  EXPECT_FALSE(PathExists(dst + "/keep out.txt"));
  EXPECT_FALSE(PathExists(dst + "/old.txt"));
}

TEST_F(WindowRoundTest, AfterExecuteTheEmptiedListIsShownRecounted) {
  Simulate();
  Execute();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ReadTextFile(home + "/To Do.txt"), "");
  EXPECT_EQ(window->progress()->percent(), 0);
  EXPECT_FALSE(window->labelTimer().isActive());
}

// One pair dropped in, and a run held open by a ticket of the test's own.
struct WindowKeysTest : WindowTest {
  void SetUp() override {
    Start();
    MakeDirs(dir / "s");
    Drop(dir / "s", true);
  }
};

TEST_F(WindowKeysTest, EscapeOutsideARunStopsNothing) {
  QTest::keyClick(window->folderList(), Qt::Key_Escape);
  EXPECT_FALSE(app().Run.Lifecycle.StopRequested());
}

TEST_F(WindowKeysTest, DeletingAPairDuringARunAsksToStopItInstead) {
  const RunTicket run = app().Run.Lifecycle.TryBegin(RunKind::Simulation);
  window->folderList()->selectAll();
  QTest::keyClick(window->folderList(), Qt::Key_Delete);
  EXPECT_EQ(boxes, std::vector<std::string>{"[Abort?]"});
  EXPECT_EQ(window->folderList()->rowCount(), 1);
  EXPECT_EQ(app().Run.Lifecycle.State(), RunState::Stopping);  // the answer was Yes
}

TEST_F(WindowKeysTest, EscapeDuringARunStopsIt) {
  const RunTicket run = app().Run.Lifecycle.TryBegin(RunKind::Execution);
  QTest::keyClick(window->folderList(), Qt::Key_Escape);
  EXPECT_EQ(app().Run.Lifecycle.State(), RunState::Stopping);
}

// New would empty the list and the pairs the run is walking, also while it stops.
TEST_F(WindowKeysTest, NewDuringAStoppingRunKeepsThePairs) {
  const RunTicket run = app().Run.Lifecycle.TryBegin(RunKind::Execution);
  QTest::keyClick(window->folderList(), Qt::Key_Escape);
  window->action(QStringLiteral("mnuNew"))->trigger();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(window->folderList()->rowCount(), 1);
}

TEST_F(WindowKeysTest, CtrlShowsTheOneStepButtonWhileHeld) {
  PictureButton* oneStep = window->button(kBtnOneStep);
  QTest::keyPress(window->folderList(), Qt::Key_Control, Qt::ControlModifier);
  EXPECT_TRUE(oneStep->isVisible());
  QTest::keyRelease(window->folderList(), Qt::Key_Control);
  EXPECT_FALSE(oneStep->isVisible());
}

TEST_F(WindowKeysTest, CtrlOffersNoOneStepButtonDuringARun) {
  const RunTicket run = app().Run.Lifecycle.TryBegin(RunKind::Simulation);
  QTest::keyPress(window->folderList(), Qt::Key_Control, Qt::ControlModifier);
  EXPECT_FALSE(window->button(kBtnOneStep)->isVisible());
}

struct WindowLanguageTest : WindowTest {
  void SetUp() override {
    Start();
    app().Options.ExcludeText = ".tmp";
    EXPECT_EQ(window->menu(QStringLiteral("mnuFile"))->title(), QStringLiteral("&File"));
    window->action(QStringLiteral("mnuLanguage(1)"))->trigger();
  }
};

TEST_F(WindowLanguageTest, RelabelsTheWholeWindow) {
  EXPECT_EQ(window->menu(QStringLiteral("mnuFile"))->title(), QStringLiteral("&Datei"));
  EXPECT_EQ(window->action(QStringLiteral("mnuSave"))->text(), QStringLiteral("&Speichern"));
  EXPECT_EQ(window->action(QStringLiteral("mnuSaveAs"))->text(), QStringLiteral("Speichern &unter ..."));
  EXPECT_EQ(window->button(kBtnSimulate)->accessibleName(), QStringLiteral("Simulieren"));
  EXPECT_EQ(window->label(QStringLiteral("label(2)"))->text(), QStringLiteral("Dateien"));
  EXPECT_EQ(window->folderList()->horizontalHeaderItem(1)->text(), QStringLiteral("Quellordner"));
}

TEST_F(WindowLanguageTest, KeepsTheUsersFilter) {
  EXPECT_EQ(app().Options.ExcludeText, ".tmp");
}

TEST_F(WindowLanguageTest, TheChosenLanguageIsTickedInTheMenu) {
  EXPECT_TRUE(window->action(QStringLiteral("mnuLanguage(1)"))->isChecked());
}

TEST_F(WindowLanguageTest, TheChosenLanguageIsSavedInTheSettings) {
  EXPECT_NE(ReadTextFile(home + "/Settings.txt").find("[Language]\t1"), std::string::npos);
}

TEST_F(WindowTest, TheListButtonsHideTheListThenShowIt) {
  Start();
  ui::ToDoTable* list = window->toDoView();
  QTest::mouseClick(window->button(kBtnHideToDoList), Qt::LeftButton);
  EXPECT_FALSE(list->isVisible());
  EXPECT_TRUE(window->button(kBtnShowToDoList)->isVisible());
  QTest::mouseClick(window->button(kBtnShowToDoList), Qt::LeftButton);
  EXPECT_TRUE(list->isVisible());
}

TEST_F(WindowTest, TheColumnMenusShowTheirColumns) {
  Start();
  ui::ToDoTable* list = window->toDoView();
  const struct {
    const char* entry;
    int column;
  } rows[] = {{"mnuShowSize", kColSize1}, {"mnuShowFullPath", kColPath1}, {"mnuShowFullPath", kColPath2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.entry);
    EXPECT_TRUE(list->isColumnHidden(row.column));
    window->action(QString::fromLatin1(row.entry))->trigger();
    EXPECT_FALSE(list->isColumnHidden(row.column));
    window->action(QString::fromLatin1(row.entry))->trigger();
  }
}

TEST_F(WindowTest, ANewJobHidesTheOptionalColumns) {
  Start();
  ui::ToDoTable* list = window->toDoView();
  window->action(QStringLiteral("mnuShowSize"))->trigger();
  window->action(QStringLiteral("mnuShowFullPath"))->trigger();
  window->action(QStringLiteral("mnuNew"))->trigger();
  EXPECT_TRUE(list->isColumnHidden(kColSize1));
  EXPECT_TRUE(list->isColumnHidden(kColPath1));
  EXPECT_FALSE(window->action(QStringLiteral("mnuShowSize"))->isChecked());
}

TEST_F(WindowTest, RealMessageBoxesGiveTheButtonPressed) {
  Start();
  window->messageHook = nullptr;
  Message m{MessageKind::ConfirmExecute,
            "[Are you sure you want to execute]",
            "Go?",
            "Title",
            Buttons::OkCancel,
            Icon::Question};
  const std::pair<QMessageBox::StandardButton, Answer> presses[] = {{QMessageBox::Ok, Answer::Ok},
                                                                    {QMessageBox::Cancel, Answer::Cancel},
                                                                    {QMessageBox::No, Answer::No},
                                                                    {QMessageBox::Yes, Answer::Yes}};
  for (const auto& [which, answer] : presses) {
    if (which == QMessageBox::No) m.buttons = Buttons::YesNo;
    QTimer::singleShot(0, [which] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      box->button(which)->click();
    });
    EXPECT_EQ(window->screen().ShowMessage(m), answer) << which;
  }
}

TEST(UriListTest, PathsKeepTheirBytes) {
  const std::string odd = "/tmp/a b/\xff\xfe name";  // not UTF-8
  const QUrl url = ui::FileUrl(odd);
  const std::vector<std::string> paths =
      ui::LocalPathsOfUriList("# comment\r\n" + url.toEncoded() + "\r\nfile:///plain/x%20y\r\nhttp://x/y\r\n");
  EXPECT_EQ(paths, (std::vector<std::string>{odd, "/plain/x y"}));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
