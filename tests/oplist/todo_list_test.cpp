#include "oplist/todo_list.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "common/files.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::ScriptedScreen;
using dd::test::TempDir;

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
  return OpTextForCode(code) + "\t" + code + "\t" + status + "\t/a/x\t/b/x\t" + sizeF1 + "\t" + sizeF2;
}

}  // namespace

TEST(ToDoList, OperationTextsHaveOneWidthAndDoNothingPlansNothing) {
  EXPECT_EQ(OpTextForCode("=->"), "Replace/ Copy -> F2");
  EXPECT_EQ(OpTextForCode("<-="), "Replace/ Copy -> F1");
  EXPECT_EQ(OpTextForCode("= x"), "Delete in F2       ");
  EXPECT_EQ(OpTextForCode("x ="), "Delete in F1       ");
  for (const char* code : {"=->", "<-=", "= x", "x ="}) EXPECT_EQ(OpTextForCode(code).size(), 19u);
  EXPECT_EQ(OpTextForCode("= ="), "");
  EXPECT_EQ(OpTextForCode("bogus"), "");

  std::vector<std::string> list(1);
  inToDoListeSpeichern(list, "Identical", "= =", "/a/x", "/b/x", 1, 1);
  inToDoListeSpeichern(list, "Identical", "", "/a/x", "/b/x", 1, 1);
  EXPECT_EQ(list.size(), 1u);
}

TEST(ToDoList, RecordHoldsSevenFieldsWithLargeSizesAsPlainDecimals) {
  std::vector<std::string> list(1);
  inToDoListeSpeichern(list, "Extra in F1", "=->", "/src/big.bin", "/dst/big.bin", 3221225472LL, 0);
  // An unsuitable code is written as it comes.
  inToDoListeSpeichern(list, "Identical", "x =", "/src/d", "/dst/d", 0, 0);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], "");
  EXPECT_EQ(list[1], "Replace/ Copy -> F2\t=->\tExtra in F1\t/src/big.bin\t/dst/big.bin\t3221225472\t0");
  EXPECT_EQ(list[2], "Delete in F1       \tx =\tIdentical\t/src/d\t/dst/d\t0\t0");
}

TEST(ToDoList, CountOperationsByCodeAndStatus) {
  std::vector<std::string> list = {
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
  };
  RunStatistics r;
  r.PendingOps = 99;
  CountOperations(list, r);
  EXPECT_EQ(r.PendingDeleteF1, 2);
  EXPECT_EQ(r.PendingDeleteSizeF1, 15);
  EXPECT_EQ(r.PendingDeleteF2, 1);
  EXPECT_EQ(r.PendingDeleteSizeF2, 20);
  EXPECT_EQ(r.PendingNewF2, 2);
  EXPECT_EQ(r.PendingNewSizeF2, 30 + 6442450944LL);
  EXPECT_EQ(r.PendingReplaceF2, 3);
  EXPECT_EQ(r.PendingReplaceSizeF2, 150);
  EXPECT_EQ(r.PendingNewF1, 1);
  EXPECT_EQ(r.PendingNewSizeF1, 70);
  EXPECT_EQ(r.PendingReplaceF1, 2);
  EXPECT_EQ(r.PendingReplaceSizeF1, 80);
  EXPECT_EQ(r.PendingDeleteTotal, 3);
  EXPECT_EQ(r.PendingDeleteSize, 35);
  EXPECT_EQ(r.PendingNewTotal, 3);
  EXPECT_EQ(r.PendingNewSize, 100 + 6442450944LL);
  EXPECT_EQ(r.PendingReplaceTotal, 5);
  EXPECT_EQ(r.PendingReplaceSize, 230);
  EXPECT_EQ(r.PendingOps, 11);
  EXPECT_EQ(r.PendingOpsAtCount, 11);

  CountOperations(std::vector<std::string>(1), r);
  EXPECT_EQ(r.PendingOps, 0);
  EXPECT_EQ(r.PendingNewSize, 0);
  EXPECT_EQ(r.PendingReplaceF1, 0);
}

TEST(ToDoList, SaveDropsEmptyRecordsAndWritesExactBytes) {
  TempDir dir;
  ScriptedScreen screen;
  App app(screen);
  app.Files.SetFolder(dir.path());
  const std::string a = Record("=->", "Extra in F1", "1", "0");
  const std::string b = Record("= x", "Extra in F2", "0", "2");

  app.ToDo.ToDoList = {a, "", "", b, ""};
  EXPECT_TRUE(SaveToDoList(app));
  EXPECT_EQ(ReadTextFile(app.Files.ToDoFilePath), a + "\r\n" + b);
  EXPECT_EQ(app.ToDo.ToDoList, (std::vector<std::string>{a, b}));

  // A simulation's list starts with an empty element; the saved file has no empty line.
  app.ToDo.ToDoList = {"", a};
  EXPECT_TRUE(SaveToDoList(app, dir / "other.txt"));
  EXPECT_EQ(ReadTextFile(dir / "other.txt"), a);
  EXPECT_EQ(app.ToDo.ToDoList, (std::vector<std::string>{a}));

  app.ToDo.ToDoList = {""};
  EXPECT_TRUE(SaveToDoList(app));
  EXPECT_EQ(ReadTextFile(app.Files.ToDoFilePath), "");
  EXPECT_TRUE(app.ToDo.ToDoList.empty());

  // A path below a regular file cannot be written; the list is normalised all the same.
  dd::test::WriteFile(dir / "plain", "x");
  app.ToDo.ToDoList = {a, ""};
  EXPECT_FALSE(SaveToDoList(app, dir / "plain/list.txt"));
  EXPECT_EQ(app.ToDo.ToDoList, (std::vector<std::string>{a}));
}

TEST(ToDoList, RowsFollowValidRecordsAndRemovalBlanksTheRecord) {
  RowScreen screen;
  App app(screen);
  const std::string a = Record("=->", "Extra in F1", "1", "0");
  const std::string b = Record("<-=", "Extra in F2", "0", "2");
  app.ToDo.ToDoList = {"", a, "not a record", b, a + "\tmore"};
  ListViewAusfuellen(app);
  EXPECT_EQ(std::vector<int64_t>(app.ToDo.Rows.begin(), app.ToDo.Rows.end()), (std::vector<int64_t>{1, 3}));
  EXPECT_EQ(screen.rebuilt, 1);

  RemoveToDoRow(app, 0);
  EXPECT_EQ(app.ToDo.ToDoList[1], "");
  EXPECT_EQ(app.ToDo.ToDoList[3], b);
  EXPECT_EQ(std::vector<int64_t>(app.ToDo.Rows.begin(), app.ToDo.Rows.end()), (std::vector<int64_t>{3}));
  EXPECT_EQ(screen.removed, (std::vector<int>{0}));

  RemoveToDoRow(app, 5);  // no such row: nothing happens
  EXPECT_EQ(app.ToDo.Rows.size(), 1u);
  EXPECT_EQ(screen.removed.size(), 1u);

  CountOperations(app);
  EXPECT_EQ(app.Run.PendingNewF1, 1);
  EXPECT_EQ(app.Run.PendingOps, 1);

  // Saving renumbers the records; the rows must point at the same records afterwards.
  TempDir dir;
  app.Files.SetFolder(dir.path());
  SaveToDoList(app);
  ASSERT_EQ(app.ToDo.Rows.size(), 1u);
  EXPECT_EQ(app.ToDo.ToDoList[app.ToDo.Rows[0]], b);
}
