// Runs through the window: the trash it is handed, and runs after a declined one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/trash.h"
#include "support/builders.h"
#include "support/window_fixture.h"
#include "ui/picture_button.h"
#include "window/buttons.h"

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
  void Press(int button) { QTest::mouseClick(window->button(button), Qt::LeftButton); }
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

TEST_F(RunWindowTest, AfterADeclinedOrRefusedRunSimulatePlansTheFullList) {
  const struct {
    const char* name;
    std::function<void(RunWindowTest&)> route;
    Keys boxes;
  } rows[] = {
      {"one-step run answered No",
       [](RunWindowTest& t) { t.window->action(QStringLiteral("mnuOneKlickExecute"))->trigger(); },
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
    EXPECT_EQ(boxes, Keys{"[Simulation done in ]"}) << row.name;
    EXPECT_EQ(Rows(), 3) << row.name;
    EXPECT_EQ(test::ListRecords(home + "/To Do.txt").size(), 3u) << row.name;
  }
}

}  // namespace
}  // namespace dd
