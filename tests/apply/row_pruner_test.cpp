// During an execution the rows of done records leave the view: no blank rows.
#include "apply/row_pruner.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "apply/execute_app.h"
#include "apply/execute_sub.h"
#include "common/app.h"
#include "flows/simulate.h"
#include "support/builders.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

// Mirrors the rows as a view would and checks every removal against the list.
class ViewScreen : public test::HookedScreen {
 public:
  App* app = nullptr;
  int removedRows = 0;
  int doneRowsRemoved = 0;
  int shownBlank = 0;
  bool blankLeftAfterLastRemoval = true;

  void ToDoRowsAboutToBeRemoved(int first, int last) override {
    for (int r = first; r <= last; ++r) {
      ++removedRows;
      doneRowsRemoved += Blank(r) ? 1 : 0;
    }
  }
  void ToDoRowsRemoved(int, int) override {
    blankLeftAfterLastRemoval = false;
    for (int r = 0; r < static_cast<int>(app->ToDo.Rows.size()); ++r) blankLeftAfterLastRemoval |= Blank(r);
  }
  void ShowToDoRow(int position) override { shownBlank += Blank(position) ? 1 : 0; }

 private:
  bool Blank(int row) const {
    return app->ToDo.ToDoList[static_cast<std::size_t>(app->ToDo.Rows[static_cast<std::size_t>(row)])].empty();
  }
};

TEST(RowPruner, OnlyDoneRowsLeaveTheViewDuringTheRun) {
  for (const bool stopped : {false, true}) {
    SCOPED_TRACE(stopped ? "a stopped run" : "a whole run");
    test::FlowFixture f;
    ViewScreen screen;
    App app(screen);
    screen.app = &app;
    app.Files = f.app.Files;
    app.settings = f.app.settings;
    app.Modes = f.app.Modes;
    app.Job.SourceFolders = {f.dir / "s"};
    app.Job.TargetFolders = {f.dir / "t"};
    test::Numbered(f.dir / "s/f", 40);
    test::Numbered(f.dir / "t/old", 10);  // deletions first, then the copies
    Simulate(app);
    ASSERT_EQ(app.ToDo.Rows.size(), 50u);
    int turns = 0;
    screen.onYield = [&] {
      if (stopped && app.Run.Lifecycle.Execution() && ++turns == 30) app.Run.Lifecycle.RequestStop();
    };
    ExecuteList(app);
    EXPECT_GT(screen.removedRows, 0);
    EXPECT_EQ(screen.doneRowsRemoved, screen.removedRows);
    EXPECT_EQ(screen.shownBlank, 0);
    EXPECT_FALSE(screen.blankLeftAfterLastRemoval);
  }
}

TEST(RowPruner, RowsOutOfOrderAreLeftAlone) {
  test::ProgramFixture<test::HookedScreen> p;
  p.app.ToDo.ToDoList = {"", "", "x"};
  p.app.ToDo.Rows = {1, 0, 2};
  RowPruner pruner(p.app.ToDo, p.app.screen);
  pruner.Done(0);
  pruner.Flush(2);
  EXPECT_EQ(p.app.ToDo.Rows, (std::deque<int64_t>{1, 0, 2}));
}

}  // namespace
}  // namespace dd
