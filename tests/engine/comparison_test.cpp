#include "engine/comparison.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"
#include "support/flow_fixture.h"

using namespace dd;
using dd::test::MakeDirs;
using dd::test::WriteFile;

namespace {

constexpr int64_t kBase = 1600000000;

// Records the action texts.
class RecordingScreen : public test::HookedScreen {
 public:
  void ShowRunLabels(const RunStatistics& r) override { actions.push_back(r.ActionText); }
  std::vector<std::string> actions;
};

struct Item {
  std::string code, status, pathF2, sizeF1, sizeF2;
};

class Comparison : public ::testing::Test, public test::ProgramFixture<RecordingScreen> {
 protected:
  Comparison() {
    MakeDirs(f1);
    MakeDirs(f2);
    // Every status plans an operation, so every item shows up in the list.
    app.Modes.AktBackupMode = {"", "=->", "=->", "<-=", "x =", "= x"};
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
      // Only a file and a folder of one name share a path.
      bool added = items.emplace(f[3], Item{f[1], f[2], f[4], f[5], f[6]}).second;
      EXPECT_TRUE(added || EndsWith(f[3], "/clash")) << "twice: " << f[3];
    }
    return items;
  }
  std::map<std::string, Item> Compare() { return Compare(f1, f2); }

  std::string StatusOf(const std::map<std::string, Item>& items, const std::string& name) {
    auto it = items.find(f1 + "/" + name);
    return it == items.end() ? "(none)" : it->second.status;
  }

  // The same file on both sides, the F2 copy `delta` seconds later.
  void Pair(const std::string& name, int64_t delta, const std::string& a = "a", const std::string& b = "b") {
    WriteFile(f1 + "/" + name, a, kBase);
    WriteFile(f2 + "/" + name, b, kBase + delta);
  }

  std::string f1 = dir / "F1", f2 = dir / "F2";
};

}  // namespace

TEST_F(Comparison, StatusesFollowTimesToleranceAndDaylightSaving) {
  const int64_t deltas[] = {0, 1, 4, 5, 3595, 3600, 3601, 3603, 3605};
  for (int64_t d : deltas) {
    Pair("later" + std::to_string(d), d);
    Pair("earlier" + std::to_string(d), -d);
  }
  Pair("same-time-other-size", 0, "short", "much longer");
  MakeDirs(f1 + "/dir");
  MakeDirs(f2 + "/dir");

  // The time differences taken as equal; a tolerance of zero or below means equal times.
  struct Case {
    double tolerance;
    bool daylightSaving;
    std::set<int64_t> identical;
  };
  const Case cases[] = {{5, true, {0, 1, 4, 3600, 3601, 3603}},
                        {5, false, {0, 1, 4}},
                        {0, true, {0, 3600}},
                        {-3, true, {0, 3600}},
                        {0, false, {0}},
                        {-3, false, {0}}};
  for (const Case& c : cases) {
    app.Options.TimeTolerance = c.tolerance;
    app.Options.DaylightSaving = c.daylightSaving;
    auto items = Compare();
    SCOPED_TRACE(std::to_string(c.tolerance) + (c.daylightSaving ? " with" : " without") + " daylight saving");
    EXPECT_EQ(items.size(), 20u);
    for (int64_t d : deltas) {
      const bool same = c.identical.count(d) > 0;
      EXPECT_EQ(StatusOf(items, "later" + std::to_string(d)), same ? "Identical" : "Newer in F2") << d;
      EXPECT_EQ(StatusOf(items, "earlier" + std::to_string(d)), same ? "Identical" : "Newer in F1") << d;
    }
    EXPECT_EQ(StatusOf(items, "same-time-other-size"), "Identical");
    EXPECT_EQ(StatusOf(items, "dir"), "Identical");
    EXPECT_EQ(items.at(f1 + "/earlier5").code, "x =");
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
  EXPECT_EQ(StatusOf(items, "A.txt"), "Extra in F2");
  EXPECT_EQ(items.at(f1 + "/A.txt").sizeF2, "2");
  EXPECT_EQ(StatusOf(items, "only1/deep"), "Extra in F1");
  EXPECT_EQ(StatusOf(items, "only2/empty"), "Extra in F2");
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
  EXPECT_EQ(app.Run.CurrentFile, "");
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
}

TEST_F(Comparison, DumpHoldsTheSortedLinesByteForByte) {
  const int64_t offset = CurrentUtcOffset();
  WriteFile(f1 + "/b.txt", "12", kBase);
  WriteFile(f2 + "/b.txt", "1234", kBase + 7);
  WriteFile(f1 + "/a", "", kBase);
  WriteFile(f1 + "/\x01low", "", kBase);      // sorts before the TAB that ends a name
  WriteFile(f2 + "/\002dir/in", "x", kBase);  // a folder that sorts before the root's files
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
  std::vector<std::string> lines = {folder("", "F1"),
                                    folder("/sub", "F1"),
                                    file("/", "b.txt", "F1", "2", kBase),
                                    file("/", "a", "F1", "0", kBase),
                                    file("/", "\x01low", "F1", "0", kBase),
                                    folder("", "F2"),
                                    folder("/\002dir", "F2"),
                                    folder("/sub", "F2"),
                                    file("/", "b.txt", "F2", "4", kBase + 7),
                                    file("/\002dir/", "in", "F2", "1", kBase),
                                    file("/sub/", "c", "F2", "1", kBase)};
  std::sort(lines.begin(), lines.end());
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
  for (int i = 0; i < 120; ++i) WriteFile(f1 + "/d/f" + std::to_string(i), "");
  screen.onYield = [&] {
    if (screen.yields == 2) app.Run.StopRequested = true;  // the first turn inside the source scan
  };
  EXPECT_TRUE(Compare().empty());
  EXPECT_EQ(app.ToDo.ToDoList.size(), 1u);
  EXPECT_FALSE(app.Run.ScanningF1);
  EXPECT_FALSE(app.Run.ScanningF2);
}
