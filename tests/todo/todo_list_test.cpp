#include "todo/todo_list.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/app.h"
#include "common/files.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using dd::test::ScriptedScreen;

namespace {

// Screen that records the row notifications.
class RowScreen : public ScriptedScreen {
 public:
  void ToDoRowsRebuilt() override { ++rebuilt; }
  void ToDoRowRemoved(int position) override { removed.push_back(position); }
  int rebuilt = 0;
  std::vector<int> removed;
};

std::string Record(const std::string& code, const std::string& status, const std::string& sizeF1,
                   const std::string& sizeF2) {
  return test::Rec(code, status, "/a/x", "/b/x", sizeF1, sizeF2);
}

// Count and bytes of each kind and side, then the totals and the number of operations.
std::vector<int64_t> Pending(const RunStatistics& r) {
  std::vector<int64_t> v;
  const OpKind kinds[] = {OpKind::Delete, OpKind::New, OpKind::Replace};
  for (OpKind k : kinds)
    for (Side side : {Side::F1, Side::F2}) v.insert(v.end(), {r.Pending(k, side).Count, r.Pending(k, side).Bytes});
  for (OpKind k : kinds) v.insert(v.end(), {r.Pending.Count(k), r.Pending.Bytes(k)});
  v.insert(v.end(), {r.PendingOps(), r.PendingOpsAtCount});
  return v;
}

}  // namespace

TEST(ToDoList, RecordHoldsSevenFieldsWithLargeSizesAsPlainDecimals) {
  std::vector<std::string> list(1);
  AppendToDoRecord(list, "Extra in F1", "=->", "/src/big.bin", "/dst/big.bin", 3221225472LL, 0);
  // An unsuitable code is written as it comes.
  AppendToDoRecord(list, "Identical", "x =", "/src/d", "/dst/d", 0, 0);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], "");
  EXPECT_EQ(list[1], "Replace/ Copy -> F2\t=->\tExtra in F1\t/src/big.bin\t/dst/big.bin\t3221225472\t0");
  EXPECT_EQ(list[2], "Delete in F1       \tx =\tIdentical\t/src/d\t/dst/d\t0\t0");

  // The typed record reads its fields back and writes the same line.
  const std::optional<OpRecord> big = OpRecord::Parse(list[1]);
  ASSERT_TRUE(big);
  EXPECT_EQ(std::tie(big->Code, big->PathF2, big->SizeF1), std::make_tuple("=->", "/dst/big.bin", 3221225472LL));
  EXPECT_EQ(big->Format(), list[1]);
  EXPECT_FALSE(OpRecord::Parse(list[1] + "\t"));
  EXPECT_FALSE(OpRecord::Parse(list[1].substr(0, list[1].rfind('\t'))));
  EXPECT_FALSE(OpRecord::Parse(Record("=->", "Extra in F1", "-1", "0")));
}

// Records of every kind, side and status, and the ones a count leaves out.
std::vector<std::string> RecordsOfEveryKind() {
  return {
      "",
      Record("x =", "Extra in F1", "10", "0"),
      Record("x =", "Newer in F1", "5", "7"),
      Record("= x", "Extra in F2", "0", "20"),
      Record("=->", "Extra in F1", "30", "0"),
      Record("=->", "Newer in F1", "40", "1"),
      Record("=->", "Newer in F2", "50", "2"),  // a replacement in F2 with the F1 size
      Record("=->", "Identical", "60", "3"),
      Record("<-=", "Extra in F2", "0", "70"),
      Record("<-=", "Newer in F2", "4", "80"),
      Record("<-=", "Identical", "abc", "x9"),  // sizes without a number count 0
      Record("=->", "Extra in F1", "6442450944", "0"),
      "too\tfew\tfields",
      Record("=->", "Extra in F1", "1", "1") + "\textra",
      Record("= =", "Identical", "100", "100"),
      Record("=->", "Extra in F1", "-5", "0"),  // damaged sizes leave the record out
      Record("=->", "Extra in F1", "1e300", "0"),
  };
}

TEST(ToDoList, CountsEachRecordUnderTheKindOfItsCodeWithItsStatus) {
  RunStatistics r;
  r.Pending.Add(OpKind::New, Side::F1, 99);  // a count before is replaced, not added to
  CountOperations(RecordsOfEveryKind(), r);
  const int64_t big = 6442450944LL;
  EXPECT_EQ(Pending(r), (std::vector<int64_t>{2, 15, 1, 20,        // delete
                                              1, 70, 2, 30 + big,  // new
                                              2, 80, 3, 150,       // replace
                                              3, 35, 3, 100 + big, 5, 230, 11, 11}));
}

TEST(ToDoList, AnEmptyListCountsNothing) {
  RunStatistics r;
  CountOperations(RecordsOfEveryKind(), r);
  CountOperations(std::vector<std::string>(1), r);
  EXPECT_EQ(Pending(r), std::vector<int64_t>(20, 0));
}

TEST(ToDoList, ByteSumsStopAtTheBound) {
  RunStatistics r;
  const std::string max = std::to_string(kMaxRecordSize);
  CountOperations({Record("=->", "Extra in F1", max, "0"), Record("=->", "Extra in F1", max, "0"),
                   Record("<-=", "Extra in F2", "0", max)},
                  r);
  EXPECT_EQ(r.Pending(OpKind::New, Side::F2).Bytes, kMaxRecordSize);
  EXPECT_EQ(r.Pending.Bytes(OpKind::New), kMaxRecordSize);
}

namespace {

// A list of two records among lines that are none, with its rows built.
struct Rows : ::testing::Test {
  Rows() {
    app.ToDo.ToDoList = {"", a, "not a record", b, a + "\tmore"};
    RebuildToDoRows(app.ToDo, app.screen);
  }
  std::vector<int64_t> RowIndices() const { return {app.ToDo.Rows.begin(), app.ToDo.Rows.end()}; }

  test::ProgramFixture<RowScreen> f;
  App& app = f.app;
  const std::string a = Record("=->", "Extra in F1", "1", "0");
  const std::string b = Record("<-=", "Extra in F2", "0", "2");
};

}  // namespace

TEST_F(Rows, OneRowPerValidRecord) {
  EXPECT_EQ(RowIndices(), (std::vector<int64_t>{1, 3}));
  EXPECT_EQ(f.screen.rebuilt, 1);
}

TEST_F(Rows, RemovingARowBlanksItsRecord) {
  RemoveToDoRow(app.ToDo, app.screen, 0);
  EXPECT_EQ(app.ToDo.ToDoList[1], "");
  EXPECT_EQ(app.ToDo.ToDoList[3], b);
  EXPECT_EQ(RowIndices(), (std::vector<int64_t>{3}));
  EXPECT_EQ(f.screen.removed, (std::vector<int>{0}));
}

TEST_F(Rows, RemovingARowThatIsNotThereDoesNothing) {
  RemoveToDoRow(app.ToDo, app.screen, 5);
  EXPECT_EQ(RowIndices(), (std::vector<int64_t>{1, 3}));
  EXPECT_TRUE(f.screen.removed.empty());
}

TEST_F(Rows, ARemovedRowIsNoLongerCounted) {
  RemoveToDoRow(app.ToDo, app.screen, 0);
  CountOperations(app.ToDo.ToDoList, app.Run);
  EXPECT_EQ(app.Run.Pending(OpKind::New, Side::F1).Count, 1);
  EXPECT_EQ(app.Run.PendingOps(), 1);
}

TEST_F(Rows, SavingDropsTheEmptyRecordsWhileTheRowsKeepTheirRecords) {
  RemoveToDoRow(app.ToDo, app.screen, 0);
  // Saving renumbers the records: the rows must point at the same records afterwards.
  EXPECT_TRUE(SaveToDoList(app.ToDo, app.Files, app.screen));
  EXPECT_EQ(ReadTextFile(app.Files.ToDoFilePath), "not a record\r\n" + b + "\r\n" + a + "\tmore");
  ASSERT_EQ(app.ToDo.Rows.size(), 1u);
  EXPECT_EQ(app.ToDo.ToDoList[app.ToDo.Rows[0]], b);
}

TEST_F(Rows, SavingAListOfNoRecordsWritesAnEmptyFile) {
  app.ToDo.ToDoList = {""};
  EXPECT_TRUE(SaveToDoList(app.ToDo, app.Files, app.screen));
  EXPECT_EQ(ReadTextFile(app.Files.ToDoFilePath), "");
  EXPECT_TRUE(app.ToDo.ToDoList.empty());
}

TEST_F(Rows, AListThatCannotBeWrittenIsNormalisedAllTheSame) {
  // A path below a regular file cannot be written, not even by root.
  test::WriteFile(f.dir / "plain", "x");
  app.ToDo.ToDoList = {a, ""};
  EXPECT_FALSE(SaveToDoList(app.ToDo, app.Files, app.screen, f.dir / "plain/list.txt"));
  EXPECT_EQ(app.ToDo.ToDoList, std::vector<std::string>{a});
}
