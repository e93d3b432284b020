#include "engine/comparison.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "app/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::MakeDirs;
using dd::test::ScriptedScreen;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

void Touch(const std::string& path) { WriteFile(path, ""); }

constexpr int64_t kBase = 1600000000;

// Records the action texts and stops at a chosen turn of the event loop.
class RecordingScreen : public ScriptedScreen {
 public:
  void ShowRunLabels(const RunStatistics& r) override { actions.push_back(r.ActionText); }
  void Yield() override {
    ++yields;
    if (run && yields == stopAtYield) run->StopRequested = true;
  }
  std::vector<std::string> actions;
  RunStatistics* run = nullptr;
  int64_t stopAtYield = -1;
};

struct Item {
  std::string code, status, pathF2, sizeF1, sizeF2;
};

class Comparison : public ::testing::Test {
 protected:
  Comparison() {
    app.Files.SetFolder(dir.path());
    f1 = dir / "F1";
    f2 = dir / "F2";
    MakeDirs(f1);
    MakeDirs(f2);
    app.ToDo.ToDoList.assign(1, std::string());
    // Every status plans an operation, so every item shows up in the list.
    BackupModeDef& m = app.Modes.AktBackupMode;
    m.Identical = "=->";
    m.ExtraInF1 = "=->";
    m.ExtraInF2 = "<-=";
    m.NewerInF1 = "x =";
    m.NewerInF2 = "= x";
  }

  // The records of one comparison, by path in F1.
  std::map<std::string, Item> Compare(const std::string& r1, const std::string& r2) {
    app.ToDo.ToDoList.assign(1, std::string());
    SimulatePfade(app, r1, r2, 0, 0);
    std::map<std::string, Item> items;
    EXPECT_EQ(app.ToDo.ToDoList.at(0), "");
    for (std::size_t i = 1; i < app.ToDo.ToDoList.size(); ++i) {
      std::vector<std::string> f = SplitKeepEmpty(app.ToDo.ToDoList[i], "\t");
      EXPECT_EQ(f.size(), 7u);
      if (f.size() != 7) continue;
      EXPECT_EQ(f[0], OpTextOf(f[1]));
      // Only a file and a folder of one name share a path.
      bool added = items.emplace(f[3], Item{f[1], f[2], f[4], f[5], f[6]}).second;
      EXPECT_TRUE(added || EndsWith(f[3], "/clash")) << "twice: " << f[3];
    }
    return items;
  }
  std::map<std::string, Item> Compare() { return Compare(f1, f2); }

  static std::string OpTextOf(const std::string& code) {
    if (code == "=->") return "Replace/ Copy -> F2";
    if (code == "<-=") return "Replace/ Copy -> F1";
    if (code == "= x") return "Delete in F2       ";
    return "Delete in F1       ";
  }

  std::string StatusOf(const std::map<std::string, Item>& items, const std::string& name) {
    auto it = items.find(f1 + "/" + name);
    return it == items.end() ? "(none)" : it->second.status;
  }

  // The same file on both sides, the F2 copy `delta` seconds later.
  void Pair(const std::string& name, int64_t delta, const std::string& a = "a", const std::string& b = "b") {
    WriteFile(f1 + "/" + name, a, kBase);
    WriteFile(f2 + "/" + name, b, kBase + delta);
  }

  TempDir dir;
  RecordingScreen screen;
  App app{screen};
  std::string f1, f2;
};

}  // namespace

TEST_F(Comparison, StatusesFollowTimesToleranceAndDaylightSaving) {
  for (int64_t d : {0, 4, 5, 3595, 3600, 3603, 3605}) {
    Pair("later" + std::to_string(d), d);
    Pair("earlier" + std::to_string(d), -d);
  }
  Pair("same-time-other-size", 0, "short", "much longer");

  app.Options.TimeTolerance = 5;
  app.Options.DaylightSaving = true;
  auto items = Compare();
  EXPECT_EQ(items.size(), 15u);
  for (int64_t d : {0, 4, 3600, 3603}) {
    EXPECT_EQ(StatusOf(items, "later" + std::to_string(d)), "Identical") << d;
    EXPECT_EQ(StatusOf(items, "earlier" + std::to_string(d)), "Identical") << d;
  }
  for (int64_t d : {5, 3595, 3605}) {
    EXPECT_EQ(StatusOf(items, "later" + std::to_string(d)), "Newer in F2") << d;
    EXPECT_EQ(StatusOf(items, "earlier" + std::to_string(d)), "Newer in F1") << d;
  }
  EXPECT_EQ(StatusOf(items, "same-time-other-size"), "Identical");
  const Item& newer = items.at(f1 + "/later5");
  EXPECT_EQ(newer.code, "= x");
  EXPECT_EQ(newer.pathF2, f2 + "/later5");
  EXPECT_EQ(newer.sizeF1, "1");
  EXPECT_EQ(newer.sizeF2, "1");
  EXPECT_EQ(items.at(f1 + "/earlier5").code, "x =");

  app.Options.DaylightSaving = false;
  items = Compare();
  EXPECT_EQ(StatusOf(items, "later4"), "Identical");
  EXPECT_EQ(StatusOf(items, "later3600"), "Newer in F2");
  EXPECT_EQ(StatusOf(items, "earlier3600"), "Newer in F1");
  EXPECT_EQ(StatusOf(items, "later3603"), "Newer in F2");
}

TEST_F(Comparison, ToleranceZeroTakesEqualTimesAsIdentical) {
  Pair("equal", 0);
  Pair("one", 1);
  Pair("hour", 3600);
  Pair("hour-and-one", 3601);
  MakeDirs(f1 + "/dir");
  MakeDirs(f2 + "/dir");
  for (double t : {0.0, -3.0}) {
    app.Options.TimeTolerance = t;
    app.Options.DaylightSaving = true;
    auto items = Compare();
    EXPECT_EQ(items.size(), 5u);
    EXPECT_EQ(StatusOf(items, "equal"), "Identical");
    EXPECT_EQ(StatusOf(items, "dir"), "Identical");
    EXPECT_EQ(StatusOf(items, "one"), "Newer in F2");
    EXPECT_EQ(StatusOf(items, "hour"), "Identical");
    EXPECT_EQ(StatusOf(items, "hour-and-one"), "Newer in F2");
    app.Options.DaylightSaving = false;
    EXPECT_EQ(StatusOf(Compare(), "hour"), "Newer in F2");
  }
}

TEST_F(Comparison, OneSidedItemsCaseAndFileAgainstFolder) {
  WriteFile(f1 + "/a.txt", "1234", kBase);
  WriteFile(f2 + "/A.txt", "12", kBase);
  WriteFile(f1 + "/only1/deep/x", "xyz", kBase);
  MakeDirs(f2 + "/only2/empty");
  WriteFile(f1 + "/clash", "file", kBase);  // a file in F1, a folder of that name in F2
  MakeDirs(f2 + "/clash");
  MakeDirs(f1 + "/both");
  MakeDirs(f2 + "/both");

  auto items = Compare();
  EXPECT_EQ(items.size(), 9u);
  EXPECT_EQ(StatusOf(items, "a.txt"), "Extra in F1");
  EXPECT_EQ(items.at(f1 + "/a.txt").sizeF1, "4");
  EXPECT_EQ(items.at(f1 + "/a.txt").sizeF2, "0");
  EXPECT_EQ(items.at(f1 + "/a.txt").pathF2, f2 + "/a.txt");
  EXPECT_EQ(StatusOf(items, "A.txt"), "Extra in F2");
  EXPECT_EQ(items.at(f1 + "/A.txt").sizeF1, "0");
  EXPECT_EQ(items.at(f1 + "/A.txt").sizeF2, "2");
  EXPECT_EQ(items.at(f1 + "/A.txt").code, "<-=");
  EXPECT_EQ(StatusOf(items, "only1"), "Extra in F1");
  EXPECT_EQ(StatusOf(items, "only1/deep"), "Extra in F1");
  EXPECT_EQ(StatusOf(items, "only1/deep/x"), "Extra in F1");
  EXPECT_EQ(items.at(f1 + "/only1/deep/x").pathF2, f2 + "/only1/deep/x");
  EXPECT_EQ(StatusOf(items, "only2"), "Extra in F2");
  EXPECT_EQ(StatusOf(items, "only2/empty"), "Extra in F2");
  EXPECT_EQ(items.at(f1 + "/only2").sizeF2, "0");
  EXPECT_EQ(StatusOf(items, "both"), "Identical");
  // Only the file-against-folder path is recorded once per side: two records with one PathF1.
  std::size_t clashes = 0;
  for (const auto& r : app.ToDo.ToDoList) clashes += r.find(f1 + "/clash\t") != std::string::npos;
  EXPECT_EQ(clashes, 2u);

  // The tree statistics of both sides are exact.
  EXPECT_EQ(app.Run.TreeFilesF1, 3);
  EXPECT_EQ(app.Run.TreeSizeF1, 11);
  EXPECT_EQ(app.Run.TreeFoldersF1, 3);
  EXPECT_EQ(app.Run.TreeFilesF2, 1);
  EXPECT_EQ(app.Run.TreeSizeF2, 2);
  EXPECT_EQ(app.Run.TreeFoldersF2, 4);
  EXPECT_FALSE(app.Run.ScanningF1);
  EXPECT_FALSE(app.Run.ScanningF2);
  EXPECT_EQ(app.Run.CurrentFile, "");
}

TEST_F(Comparison, DoNothingPlansNoRecordAndIdenticalTreesNeedNothing) {
  Pair("x", 0);
  WriteFile(f1 + "/sub/y", "y", kBase);
  WriteFile(f2 + "/sub/y", "y", kBase + 2);
  app.Modes.AktBackupMode.Identical = "= =";
  EXPECT_TRUE(Compare().empty());
  EXPECT_EQ(app.ToDo.ToDoList.size(), 1u);
}

TEST_F(Comparison, RootsWithTrailingSeparatorOrRecurringInThePath) {
  // The root's own text occurs again below it; only the leading root is removed.
  WriteFile(f1 + "/x" + f1 + "/y", "1", kBase);
  WriteFile(f2 + "/x" + f1 + "/y", "2", kBase + 100);
  auto plain = Compare();
  auto slashed = Compare(f1 + "/", f2 + "/");
  EXPECT_EQ(plain.size(), slashed.size());
  const std::string deep = f1 + "/x" + f1 + "/y";
  ASSERT_EQ(slashed.count(deep), 1u);
  EXPECT_EQ(slashed.at(deep).status, "Newer in F2");
  EXPECT_EQ(slashed.at(deep).pathF2, f2 + "/x" + f1 + "/y");
  EXPECT_EQ(plain.at(deep).pathF2, f2 + "/x" + f1 + "/y");
}

TEST_F(Comparison, LeavesOutUnrecordableNamesFollowsNoLinksAndKeepsLargeSizes) {
  WriteFile(f1 + "/tab\there", "1", kBase);
  WriteFile(f1 + "/new\nline/inside", "1", kBase);
  WriteFile(f2 + "/ok", "1", kBase);
  ASSERT_EQ(::symlink(f1.c_str(), (f1 + "/loop").c_str()), 0);
  WriteFile(f1 + "/big", "");
  ASSERT_EQ(::truncate((f1 + "/big").c_str(), 3221225472LL), 0);

  auto items = Compare();
  EXPECT_EQ(items.size(), 3u);
  EXPECT_EQ(StatusOf(items, "ok"), "Extra in F2");
  EXPECT_EQ(StatusOf(items, "loop"), "Extra in F1");
  EXPECT_EQ(items.at(f1 + "/loop").sizeF1, std::to_string(f1.size()));
  EXPECT_EQ(items.at(f1 + "/big").sizeF1, "3221225472");
  EXPECT_EQ(app.Run.SkippedNames, 2);
  for (const auto& r : app.ToDo.ToDoList) EXPECT_EQ(CountTabFields(r), r.empty() ? 1u : 7u);
}

TEST_F(Comparison, DumpHoldsTheSortedLinesByteForByte) {
  const int64_t offset = CurrentUtcOffset();
  WriteFile(f1 + "/b.txt", "12", kBase);
  WriteFile(f2 + "/b.txt", "1234", kBase + 7);
  WriteFile(f1 + "/a", "", kBase);
  WriteFile(f1 + "/\x01low", "", kBase);  // sorts before the TAB that ends a name
  WriteFile(f2 + "/\x02"
                 "dir/in",
            "x", kBase);  // a folder that sorts before the root's files
  WriteFile(f2 + "/sub/c", "x", kBase);
  MakeDirs(f1 + "/sub");
  app.Options.SaveTextFiles = true;
  Compare();

  auto file = [&](const std::string& rel, const std::string& name, const char* side, const std::string& size,
                  int64_t mtime) {
    return "\t" + rel + "\t" + name + "\t" + side + "\t" + size + "\t" + FormatLocalDateTime(mtime + offset);
  };
  auto folder = [](const std::string& rel, const char* side) {
    return "\t" + rel + "\t\t" + side + "\t0\t11.11.2011 11:11:11";
  };
  std::vector<std::string> lines = {
      folder("", "F1"),
      folder("/sub", "F1"),
      file("/", "b.txt", "F1", "2", kBase),
      file("/", "a", "F1", "0", kBase),
      file("/", "\x01low", "F1", "0", kBase),
      folder("", "F2"),
      folder("/\x02"
             "dir",
             "F2"),
      folder("/sub", "F2"),
      file("/", "b.txt", "F2", "4", kBase + 7),
      file("/\x02"
           "dir/",
           "in", "F2", "1", kBase),
      file("/sub/", "c", "F2", "1", kBase),
  };
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines[0], folder("", "F1"));
  EXPECT_EQ(lines[2], folder("/\x02"
                             "dir",
                             "F2"));
  lines.push_back("\t\t\t\t");
  EXPECT_EQ(ReadTextFile(app.Files.SortedDumpPath), Join(lines, "\r\n"));

  // Without the option the file is left as it is.
  app.Options.SaveTextFiles = false;
  WriteFile(app.Files.SortedDumpPath, "old");
  Compare();
  EXPECT_EQ(ReadTextFile(app.Files.SortedDumpPath), "old");
}

TEST_F(Comparison, AStopDuringTheScanGivesNoRecords) {
  MakeDirs(f1 + "/d");
  for (int i = 0; i < 120; ++i) Touch(f1 + "/d/f" + std::to_string(i));
  screen.run = &app.Run;
  screen.stopAtYield = 2;  // the first turn inside the source scan
  auto items = Compare();
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(app.ToDo.ToDoList.size(), 1u);
  EXPECT_EQ(app.Run.TreeFilesF1, 50);
  EXPECT_FALSE(app.Run.ScanningF1);
  EXPECT_FALSE(app.Run.ScanningF2);
}

TEST_F(Comparison, PairNumbersInTheScanningTextsAndStatisticsAddUp) {
  WriteFile(f1 + "/x", "abc", kBase);
  WriteFile(f2 + "/y", "de", kBase);
  SimulatePfade(app, f1, f2, 0, 1);
  SimulatePfade(app, f1, f2, 1, 1);
  auto has = [&](const std::string& suffix) {
    return std::any_of(screen.actions.begin(), screen.actions.end(),
                       [&](const std::string& a) { return EndsWith(a, suffix); });
  };
  EXPECT_TRUE(has(" 1/ 4"));
  EXPECT_TRUE(has(" 2/ 4"));
  EXPECT_TRUE(has(" 3/ 4"));
  EXPECT_TRUE(has(" 4/ 4"));
  EXPECT_EQ(screen.actions.back(), "..");
  EXPECT_EQ(app.Run.TreeFilesF1, 2);
  EXPECT_EQ(app.Run.TreeSizeF1, 6);
  EXPECT_EQ(app.Run.TreeFilesF2, 2);
  EXPECT_EQ(app.Run.TreeSizeF2, 4);
  EXPECT_EQ(app.ToDo.ToDoList.size(), 5u);
}
