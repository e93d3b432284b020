#include "window_rules/todo_view.h"

#include <gtest/gtest.h>

#include "common/app.h"
#include "flows/simulate.h"
#include "job/startup.h"
#include "support/flow_fixture.h"
#include "todo/todo_list.h"

using namespace dd;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

std::string Record(const std::string& code, const std::string& status, const std::string& p1, const std::string& p2,
                   int64_t s1, int64_t s2) {
  std::vector<std::string> list;
  AppendToDoRecord(list, status, code, p1, p2, s1, s2);
  return list.at(0);
}

std::string MoveRecord(const char* code) {
  return std::string(MoveTextOf(code)) + "\t" + code + "\tIdentical\t/a/new.jpg\t/b/old.jpg\t5\t5";
}

// A move shows the item where each side has it.
TEST(ToDoCellsTest, AMoveShowsBothPlaces) {
  for (const auto& [code, text] : {std::pair("= m", "Move in Target"), std::pair("m =", "Move in Source")}) {
    SCOPED_TRACE(code);
    ToDoCells c;
    ASSERT_TRUE(ToDoRowCells(MoveRecord(code), c));
    EXPECT_EQ(ToDoCellText(c, kColF1, 0, 0), "new.jpg");
    EXPECT_EQ(ToDoCellText(c, kColF2, 0, 0), "old.jpg");
    EXPECT_EQ(ToDoCellText(c, kColOperation, 0, 0), text);
  }
}

// A move has its own picture by the side it moves on.
TEST(ToDoCellsTest, AMoveHasThePictureOfItsSide) {
  for (const auto& [code, image, file] : {std::tuple("= m", 12, "MoveTarget"), std::tuple("m =", 11, "MoveSource")}) {
    SCOPED_TRACE(code);
    ToDoCells c;
    ASSERT_TRUE(ToDoRowCells(MoveRecord(code), c));
    EXPECT_EQ(PictureNumberOfKey(ToDoCellImageKey(c, kColOperation)), image);
    EXPECT_EQ(std::string(ToDoImageFiles()[image]).find(file), 7u);
  }
}

TEST(ToDoCellsTest, EachCellOfARecordFollowsItsCode) {
  const struct {
    const char *code, *status, *status1, *status2, *operationText;
    int image;
  } rows[] = {{"<-=", "Extra in F2", "", "Extra", "Copy To Source", 0},
              {"=->", "Newer in F1", "Newer", "Older", "Replace in Target", 8},
              {"= x", "Extra in F2", "", "Extra", " Delete in Target", 3}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    ToDoCells c;
    ASSERT_TRUE(ToDoRowCells(Record(row.code, row.status, "/a/n.txt", "/b/n.txt", 1, 3), c));
    EXPECT_EQ(ToDoCellText(c, kColStatus1, 0, 0), row.status1);
    EXPECT_EQ(ToDoCellText(c, kColStatus2, 0, 0), row.status2);
    EXPECT_EQ(ToDoCellText(c, kColOperation, 0, 0), row.operationText);
    EXPECT_EQ(PictureNumberOfKey(ToDoCellImageKey(c, kColOperation)), row.image);
  }
}

TEST(ToDoCellsTest, ARecordOfTheF2SideOnlyShowsNothingForF1) {
  ToDoCells c;
  ASSERT_TRUE(ToDoRowCells(Record("= x", "Extra in F2", "/a/n.txt", "/b/n.txt", 1, 3), c));
  EXPECT_FALSE(c.filledF1);
  EXPECT_EQ(ToDoCellText(c, kColF1, 0, 0), "");
  EXPECT_EQ(ToDoCellText(c, kColF2, 0, 0), "n.txt");
}

TEST(ToDoCellsTest, ASizeFrom2GiBUpKeepsItsValue) {
  ToDoCells c;
  ASSERT_TRUE(ToDoRowCells(Record("= x", "Extra in F2", "/a/n.txt", "/b/n.txt", 1, 3LL << 30), c));
  EXPECT_EQ(ToDoCellText(c, kColSize2, 0, 0), "3,145,728 KB");
}

TEST(ToDoCellsTest, TheNumberHasAsManyDigitsAsTheLongestNumber) {
  ToDoCells c;
  ASSERT_TRUE(ToDoRowCells(Record("= x", "Extra in F2", "/a/n.txt", "/b/n.txt", 1, 3), c));
  EXPECT_EQ(ToDoCellText(c, kColNumber, 0, 150), "000");
}

TEST(ToDoCellsTest, ADamagedRecordHasNoCells) {
  ToDoCells c;
  EXPECT_FALSE(ToDoRowCells("a\tb\tc", c));
}

TEST(ToDoCellsTest, SideOfARowByTheMousePosition) {
  TempDir dir;
  WriteFile(dir / "a/x", "1");
  auto w = ToDoColumnWidths(4000, false, false);
  const int edge = w[kColF1] + 320;
  EXPECT_TRUE(SideIsF1(edge - 1, w));
  EXPECT_FALSE(SideIsF1(edge, w));
  // The F2 entry does not exist: the F1 entry is taken.
  const std::string record = Record("=->", "Newer in F1", dir / "a/x", dir / "b/x", 1, 1);
  EXPECT_EQ(ToDoEventPath(record, false), dir / "a/x");
  WriteFile(dir / "b/x", "2");
  EXPECT_EQ(ToDoEventPath(record, false), dir / "b/x");
}

TEST(ToDoCellsTest, IconWindowMovesOnlyWhenTheVisibleRowsLeaveIt) {
  IconWindow w;
  EXPECT_FALSE(w.Update(1, 0));  // an empty list loads nothing
  EXPECT_TRUE(w.Update(1, 1000));
  EXPECT_EQ(w.first, 1);
  EXPECT_EQ(w.last, 133);
  EXPECT_FALSE(w.Update(73, 1000));  // 73 + 60 = 133 is still inside
  EXPECT_TRUE(w.Update(74, 1000));
  EXPECT_EQ(w.first, 8);
  EXPECT_EQ(w.last, 206);
}

struct ToDoViewTest : ::testing::Test, test::ProgramFixture<> {
  void SetUp() override {
    auto& list = app.ToDo.ToDoList;
    list = {Record("=->", "Extra in F1", "/a/1", "/b/1", 5000, 0), Record("x =", "Extra in F1", "/a/2", "/b/2", 10, 0),
            Record("=->", "Extra in F1", "/a/3", "/b/3", 900, 0), Record("<-=", "Extra in F2", "/a/4", "/b/4", 0, 300),
            Record("= x", "Extra in F2", "/a/5", "/b/5", 0, 9)};
    RebuildToDoRows(app.ToDo, app.screen);
    CountOperations(app.ToDo.ToDoList, app.Run);
  }
  std::vector<int64_t> Rows() const { return {app.ToDo.Rows.begin(), app.ToDo.Rows.end()}; }
};

TEST_F(ToDoViewTest, AClickOnTheSizeHeaderSortsByNumber) {
  ToDoSort sort;
  const int column = sort.Click(kColSize1);
  EXPECT_EQ(column, kColSize1Sort);
  SortToDoRows(app, column, sort.descending);
  EXPECT_EQ(Rows(), (std::vector<int64_t>{0, 2, 1, 3, 4}));  // by number, not text; F1-less rows last
}

TEST_F(ToDoViewTest, ASecondClickOnTheSizeHeaderSortsTheOtherWay) {
  ToDoSort sort;
  sort.Click(kColSize1);
  const int column = sort.Click(kColSize1);
  SortToDoRows(app, column, sort.descending);
  EXPECT_EQ(Rows(), (std::vector<int64_t>{3, 4, 1, 2, 0}));
}

struct RemoveRowsTest : ToDoViewTest {
  void SetUp() override {
    ToDoViewTest::SetUp();
    SortToDoRows(app, kColNumber, true);  // rows 4 3 2 1 0
    ASSERT_EQ(app.Run.Pending(OpKind::New, Side::F2).Count, 2);
  }
};

TEST_F(RemoveRowsTest, RemovingSelectedRowsDropsExactlyTheirRecords) {
  EXPECT_EQ(RemoveSelectedRows(app, {0, 2, 4}), 3);  // records 4, 2 and 0
  EXPECT_EQ(Rows(), (std::vector<int64_t>{3, 1}));
  for (int gone : {0, 2, 4}) EXPECT_TRUE(app.ToDo.ToDoList[gone].empty()) << gone;
  for (int kept : {1, 3}) EXPECT_FALSE(app.ToDo.ToDoList[kept].empty()) << kept;
}

TEST_F(RemoveRowsTest, RemovingSelectedRowsDropsTheirCounts) {
  RemoveSelectedRows(app, {0, 2, 4});
  EXPECT_EQ(app.Run.Pending(OpKind::New, Side::F2).Count, 0);
  EXPECT_EQ(app.Run.Pending(OpKind::Delete, Side::F2).Count, 0);
  EXPECT_EQ(app.Run.Pending(OpKind::Delete, Side::F1).Count, 1);
  EXPECT_EQ(app.Run.PendingOps(), 2);
}

TEST_F(RemoveRowsTest, DuringARunTheListNeitherSortsNorLosesRows) {
  const RunTicket run = app.Run.Lifecycle.TryBegin(RunKind::Execution);
  EXPECT_FALSE(SortToDoRows(app, kColNumber, false));
  EXPECT_EQ(RemoveSelectedRows(app, {0}), 0);
}

}  // namespace

namespace dd {
namespace {

// A row the user removed is the user saying "not this one": it must not come back with the list file.
// Simulated: two deletions in t and a copy of s/keep.txt; the user removes both deletions.
struct RemovedRowsTest : ::testing::Test {
  test::FlowFixture f;
  void SetUp() override {
    f.SetMirrorMode();
    test::WriteFile(f.dir / "s/keep.txt", "k");
    test::WriteFile(f.dir / "t/gone1.txt", "1");
    test::WriteFile(f.dir / "t/gone2.txt", "2");
    f.AddSourceTargetPair();
    Simulate(f.app);
    ASSERT_EQ(f.app.ToDo.Rows.size(), 3u);  // the deletions come first
    ASSERT_EQ(RemoveSelectedRows(f.app, {0, 1}), 2);
  }
};

TEST_F(RemovedRowsTest, AreGoneFromTheListFile) {
  const std::vector<std::string> records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("/s/keep.txt\t"), std::string::npos) << records[0];
}

TEST_F(RemovedRowsTest, StayGoneAfterARestart) {
  test::ScriptedScreen screen;
  App again(screen);
  StartUp(again, f.home, std::string());
  EXPECT_EQ(again.ToDo.Rows.size(), 1u);
  EXPECT_EQ(again.Run.PendingOps(), 1);
}

TEST(RemovedRows, AListFileThatCannotBeWrittenIsReported) {
  test::FlowFixture f;
  test::WriteFile(f.dir / "s/a.txt", "a");
  test::WriteFile(f.dir / "s/b.txt", "b");
  f.AddSourceTargetPair();
  Simulate(f.app);
  test::WriteFile(f.dir / "plain", "a file, not a folder");
  f.app.Files.ToDoFilePath = f.dir / "plain/To Do.txt";
  f.screen.messages.clear();
  EXPECT_EQ(RemoveSelectedRows(f.app, {0}), 1);
  ASSERT_EQ(f.screen.keys(), std::vector<std::string>{"[Could not write the file]"});
  EXPECT_NE(f.screen.messages[0].prompt.find(f.dir / "plain/To Do.txt"), std::string::npos);
}

}  // namespace
}  // namespace dd
