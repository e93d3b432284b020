#include "plan/folder_comparison.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/app.h"
#include "common/files.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

ComparisonContext Context(App& app) {
  return {app.Options, app.Modes.CurrentBackupMode, app.Files, app.ToDo.ToDoList, app.Run, app.messages};
}

// The records' F2 paths below the target root, sorted, when only `folders` are compared.
std::vector<std::string> PlannedPaths(const std::vector<std::string>& entries,
                                      const std::vector<ChangedFolder>& folders) {
  FlowFixture f;
  f.SetMirrorMode();
  MakeTree(f.dir.path(), entries);
  MakeDirs(f.dir / "s");
  MakeDirs(f.dir / "t");
  f.app.ToDo.ToDoList.assign(1, std::string());
  const PairPlan plan = SimulateChangedFolders(Context(f.app), f.dir / "s", f.dir / "t", 0, 0, folders);
  EXPECT_TRUE(plan.Complete);
  std::vector<std::string> paths;
  for (const std::string& p : PathsOf(f.app.ToDo.ToDoList, 2))
    if (!p.empty()) paths.push_back(p.substr((f.dir / "t").size()));
  std::sort(paths.begin(), paths.end());
  return paths;
}

TEST(SimulateChangedFolders, ComparesOnlyTheChangedFolders) {
  // Every row holds a difference in /other, which no row names: it must never be planned.
  const std::vector<std::string> base = {"s/other/new.txt=n", "t/other/", "s/a/", "t/a/"};
  struct Row {
    const char* what;
    std::vector<std::string> entries;
    std::vector<ChangedFolder> folders;
    std::vector<std::string> planned;
  } rows[] = {
      {"a new file", {"s/a/x.txt=x"}, {{"/a"}}, {"/a/x.txt"}},
      {"a removed file", {"t/a/gone.txt=g"}, {{"/a"}}, {"/a/gone.txt"}},
      {"only the entries of the folder, not of its subfolders",
       {"s/a/x.txt=x", "s/a/both/inner.txt=i", "t/a/both/"},
       {{"/a"}},
       {"/a/x.txt"}},
      {"a folder on one side is listed whole",
       {"s/a/sub/deeper/f.txt=f"},
       {{"/a"}},
       {"/a/sub", "/a/sub/deeper", "/a/sub/deeper/f.txt"}},
      {"a changed folder missing on one side is seen from its parent",
       {"s/a/sub/deeper/f.txt=f"},
       {{"/a/sub/deeper"}},
       {"/a/sub", "/a/sub/deeper", "/a/sub/deeper/f.txt"}},
      {"a deep folder is compared to the bottom",
       {"s/a/both/inner/x.txt=x", "t/a/both/inner/"},
       {{"/a/both", true}},
       {"/a/both/inner/x.txt"}},
      {"a folder and its parent both changed",
       {"s/a/x.txt=x", "s/a/both/y.txt=y", "t/a/both/"},
       {{"/a/both"}, {"/a"}},
       {"/a/both/y.txt", "/a/x.txt"}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> entries = base;
    entries.insert(entries.end(), row.entries.begin(), row.entries.end());
    EXPECT_EQ(PlannedPaths(entries, row.folders), row.planned) << row.what;
  }
}

TEST(SimulateChangedFolders, TheRootDeepComparesTheWholePair) {
  EXPECT_EQ(PlannedPaths({"s/a/x.txt=x", "s/b/c/y.txt=y", "t/b/c/"}, {{"", true}}),
            (std::vector<std::string>{"/a", "/a/x.txt", "/b/c/y.txt"}));
}

// A folder emptied by the user still lies in a tree that holds files: the guard must not take the
// pair for an unmounted drive.
TEST(SimulateChangedFolders, AnEmptiedFolderIsNoEmptySide) {
  FlowFixture f;
  f.SetMirrorMode();
  MakeTree(f.dir.path(), {"s/keep.txt=k", "s/a/", "t/keep.txt=k", "t/a/last.txt=l"});
  f.app.ToDo.ToDoList.assign(1, std::string());
  const PairPlan plan = SimulateChangedFolders(Context(f.app), f.dir / "s", f.dir / "t", 0, 0, {{"/a"}});
  EXPECT_EQ(plan.DeletedFilesF2, 1);
  EXPECT_GT(plan.FilesF1, 0);
}

}  // namespace
