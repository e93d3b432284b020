#include "plan/comparison.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/op_record.h"

using namespace dd;
using namespace dd::test;

namespace {

constexpr int64_t kBase = 1600000000;
const std::string kAt = "@" + std::to_string(kBase);

class Comparison : public ::testing::Test, public ProgramFixture<HookedScreen> {
 protected:
  Comparison() {
    MakeDirs(f1);
    MakeDirs(f2);
    // Every status plans an operation, so every item shows up in the list.
    app.Modes.CurrentBackupMode = {"", "=->", "=->", "<-=", "x =", "= x"};
  }

  // The records of one comparison, by path in F1 below its root.
  std::map<std::string, OpRecord> Compare(const std::string& r1, const std::string& r2) {
    app.ToDo.ToDoList.assign(1, std::string());
    ComparePair(Context(), r1, r2, 0, 0);
    std::map<std::string, OpRecord> items;
    EXPECT_EQ(app.ToDo.ToDoList.at(0), "");
    for (std::size_t i = 1; i < app.ToDo.ToDoList.size(); ++i) {
      const std::optional<OpRecord> r = OpRecord::Parse(app.ToDo.ToDoList[i]);
      if (!r) {
        ADD_FAILURE() << app.ToDo.ToDoList[i];
        continue;
      }
      // Only a file and a folder of one name share a path.
      EXPECT_TRUE(items.emplace(r->PathF1.substr(f1.size() + 1), *r).second || r->PathF1 == f1 + "/clash") << r->PathF1;
    }
    return items;
  }
  std::map<std::string, OpRecord> Compare() { return Compare(f1, f2); }

  ComparisonContext Context() {
    return {app.Options, app.Modes.CurrentBackupMode, app.Files, app.ToDo.ToDoList, app.Run, app.messages};
  }

  static std::string StatusOf(const std::map<std::string, OpRecord>& items, const std::string& name) {
    return items.count(name) ? items.at(name).Status : "(none)";
  }

  std::string f1 = dir / "F1", f2 = dir / "F2";
};

}  // namespace

TEST_F(Comparison, TimesWithinTheToleranceOrAnHourApartAreIdentical) {
  const int64_t deltas[] = {0, 1, 4, 5, 3595, 3600, 3601, 3603, 3605};
  for (int64_t d : deltas) {
    const std::string n = std::to_string(d);
    MakeTree(dir.path(), {"F1/later" + n + "=a" + kAt, "F2/later" + n + "=b@" + std::to_string(kBase + d),
                          "F1/earlier" + n + "=a" + kAt, "F2/earlier" + n + "=b@" + std::to_string(kBase - d)});
  }
  MakeTree(dir.path(), {"F1/dir/", "F2/dir/"});

  // The time differences taken as equal; a tolerance of zero or below means equal times.
  const struct {
    double tolerance;
    bool daylightSaving;
    std::set<int64_t> identical;
  } cases[] = {{5, true, {0, 1, 4, 3600, 3601, 3603}},
               {5, false, {0, 1, 4}},
               {0, true, {0, 3600}},
               {-3, true, {0, 3600}},
               {0, false, {0}},
               {-3, false, {0}}};
  for (const auto& c : cases) {
    app.Options.TimeTolerance = c.tolerance;
    app.Options.DaylightSaving = c.daylightSaving;
    auto items = Compare();
    SCOPED_TRACE(std::to_string(c.tolerance) + (c.daylightSaving ? " with" : " without") + " daylight saving");
    EXPECT_EQ(items.size(), 19u);
    for (int64_t d : deltas) {
      const bool same = c.identical.count(d) > 0;
      EXPECT_EQ(StatusOf(items, "later" + std::to_string(d)), same ? "Identical" : "Newer in F2") << d;
      EXPECT_EQ(StatusOf(items, "earlier" + std::to_string(d)), same ? "Identical" : "Newer in F1") << d;
    }
    EXPECT_EQ(StatusOf(items, "dir"), "Identical");
    EXPECT_EQ(items.at("earlier5").Code, "x =");
  }
}

TEST_F(Comparison, FilesOfAnotherSizeAreNeverIdenticalTheLaterTimeDecides) {
  app.Options.TimeTolerance = 5;
  app.Options.DaylightSaving = true;
  const struct {
    const char* name;
    const char* contentF2;
    int64_t laterF2;  // seconds the F2 copy is later than the F1 copy
    const char* status;
  } cases[] = {{"equal-times", "longer", 0, "Newer in F1"},
               {"f2-later-within-tolerance", "longer", 2, "Newer in F2"},
               {"f1-later-within-tolerance", "longer", -2, "Newer in F1"},
               {"f2-an-hour-later", "longer", 3600, "Newer in F2"},
               {"f1-an-hour-later", "longer", -3600, "Newer in F1"},
               {"same-size-within-tolerance", "abc", 2, "Identical"},
               {"same-size-an-hour-apart", "abc", 3600, "Identical"}};
  for (const auto& c : cases)
    MakeTree(dir.path(), {std::string("F1/") + c.name + "=abc" + kAt,
                          std::string("F2/") + c.name + "=" + c.contentF2 + "@" + std::to_string(kBase + c.laterF2)});
  const auto items = Compare();
  for (const auto& c : cases) EXPECT_EQ(StatusOf(items, c.name), c.status) << c.name;
}

namespace {

// A pair with items on one side only, names differing in case, a file against a folder, names the
// records cannot hold, a link to the root and a file of 3 GiB, compared.
class MixedPair : public Comparison {
 protected:
  MixedPair() {
    MakeTree(dir.path(), {"F1/a.txt=1234" + kAt, "F2/A.txt=12" + kAt, "F1/only1/deep/x=xyz" + kAt, "F2/only2/empty/",
                          "F1/clash=file" + kAt, "F2/clash/", "F1/both/", "F2/both/", "F1/tab\there=1",
                          "F1/new\nline/inside=1", "F1/loop->" + f1, "F1/big="});
    EXPECT_EQ(::truncate((f1 + "/big").c_str(), 3221225472LL), 0);
    items = Compare();
  }
  std::map<std::string, OpRecord> items;
};

}  // namespace

TEST_F(MixedPair, ItemsOnOneSideAreExtra) {
  EXPECT_EQ(items.size(), 11u);
  EXPECT_EQ(StatusOf(items, "only1/deep"), "Extra in F1");
  EXPECT_EQ(StatusOf(items, "only2/empty"), "Extra in F2");
  EXPECT_EQ(StatusOf(items, "both"), "Identical");
}

TEST_F(MixedPair, NamesDifferingInCaseAreTwoItems) {
  EXPECT_EQ(StatusOf(items, "a.txt"), "Extra in F1");
  EXPECT_EQ(StatusOf(items, "A.txt"), "Extra in F2");
  EXPECT_EQ(items.at("A.txt").SizeF2, 2);
}

TEST_F(MixedPair, AFileAgainstAFolderIsOneRecordPerSide) {
  // Only the file-against-folder path is recorded once per side: two records with one PathF1.
  EXPECT_EQ(std::count_if(app.ToDo.ToDoList.begin(), app.ToDo.ToDoList.end(),
                          [&](const std::string& r) { return r.find(f1 + "/clash\t") != std::string::npos; }),
            2);
}

TEST_F(MixedPair, ALinkIsAnItemOfItsOwnNeverFollowed) {
  EXPECT_EQ(StatusOf(items, "loop"), "Extra in F1");
  EXPECT_EQ(items.at("loop").SizeF1, static_cast<int64_t>(f1.size()));
}

TEST_F(MixedPair, ASizeBeyondFourGibibytesIsKeptWhole) {
  EXPECT_EQ(items.at("big").SizeF1, 3221225472LL);
}

TEST_F(MixedPair, NamesTheRecordsCannotHoldAreSkipped) {
  EXPECT_EQ(app.Run.SkippedNames, 2);
}

TEST_F(MixedPair, TheTreeStatisticsOfBothSidesAreExact) {
  const RunStatistics& r = app.Run;
  EXPECT_EQ(std::vector<int64_t>(
                {r.TreeFilesF1, r.TreeSizeF1, r.TreeFoldersF1, r.TreeFilesF2, r.TreeSizeF2, r.TreeFoldersF2}),
            std::vector<int64_t>({5, 11 + 3221225472LL + static_cast<int64_t>(f1.size()), 3, 1, 2, 4}));
  EXPECT_EQ(r.CurrentFile, "");
}

TEST_F(Comparison, RootsWithTrailingSeparatorOrRecurringInThePath) {
  // The root's own text occurs again below it; only the leading root is removed.
  const std::string deep = "/x" + f1 + "/y";
  MakeTree(dir.path(), {"F1" + deep + "=1" + kAt, "F2" + deep + "=2@" + std::to_string(kBase + 100)});
  const auto plain = Compare(), slashed = Compare(f1 + "/", f2 + "/");
  EXPECT_EQ(plain.size(), slashed.size());
  for (const auto* items : {&plain, &slashed}) {
    EXPECT_EQ(items->at(deep.substr(1)).Status, "Newer in F2");
    EXPECT_EQ(items->at(deep.substr(1)).PathF2, f2 + deep);
  }
}

TEST_F(Comparison, DumpHoldsTheSortedLinesByteForByte) {
  const int64_t offset = CurrentUtcOffset();
  // "\x01low" sorts before the TAB that ends a name; "\002dir" is a folder that sorts before the root's files.
  MakeTree(dir.path(), {"F1/b.txt=12" + kAt, "F2/b.txt=1234@" + std::to_string(kBase + 7), "F1/a=" + kAt,
                        "F1/\x01low=" + kAt, "F2/\002dir/in=x" + kAt, "F2/sub/c=x" + kAt, "F1/sub/"});
  app.Options.SaveTextFiles = true;
  Compare();
  const std::string t0 = "\t" + FormatLocalDateTime(kBase + offset),
                    t7 = "\t" + FormatLocalDateTime(kBase + 7 + offset);
  const std::string folder = "\t0\t11.11.2011 11:11:11";
  std::vector<std::string> lines = {"\t\t\tF1" + folder,           "\t/sub\t\tF1" + folder,    "\t/\tb.txt\tF1\t2" + t0,
                                    "\t/\ta\tF1\t0" + t0,          "\t/\t\x01low\tF1\t0" + t0, "\t\t\tF2" + folder,
                                    "\t/\002dir\t\tF2" + folder,   "\t/sub\t\tF2" + folder,    "\t/\tb.txt\tF2\t4" + t7,
                                    "\t/\002dir/\tin\tF2\t1" + t0, "\t/sub/\tc\tF2\t1" + t0};
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
  for (int i = 0; i < 120; ++i) WriteFile(f1 + "/d/f" + std::to_string(i), "");
  screen.onYield = [&] {
    if (screen.yields == 2) app.Run.Lifecycle.RequestStop();  // the first turn inside the source scan
  };
  EXPECT_TRUE(Compare().empty());
  EXPECT_EQ(app.ToDo.ToDoList.size(), 1u);
  EXPECT_FALSE(app.Run.ScanningF1);
  EXPECT_FALSE(app.Run.ScanningF2);
}

TEST_F(Comparison, ATreeTooLargeToSortFailsThePairNamingItsRoot) {
  MakeTree(dir.path(), {"F1/a=1" + kAt, "F1/b=1" + kAt, "F1/c=1" + kAt, "F2/a=1" + kAt});
  app.ToDo.ToDoList.assign(1, std::string());
  ComparisonContext context = Context();
  context.entryLimit = 2;
  const PairPlan plan = ComparePair(context, f1, f2, 0, 0);
  ASSERT_TRUE(plan.Failure.has_value());
  EXPECT_EQ(plan.Failure->Folder, f1);
  EXPECT_EQ(plan.Failure->Reason, "more than 2 files or folders in the tree");
  EXPECT_EQ(app.ToDo.ToDoList.size(), 1u);
  EXPECT_FALSE(plan.Complete);
}
