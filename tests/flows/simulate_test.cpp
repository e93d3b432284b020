#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "common/files.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "support/builders.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/backup_mode.h"

using namespace dd;
using dd::test::FlowFixture;
using dd::test::MakeTree;

namespace {

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

// A pair whose target cannot be made (its parent is a file) and one whose target is missing.
struct MissingFoldersTest : ::testing::Test {
  FlowFixture f;
  void SetUp() override {
    MakeTree(f.dir.path(), {"plain=a regular file", "s1/one.txt=1", "src/a.txt=abc", "src/sub/b.txt=b"});
    f.AddPair(f.dir / "s1", f.dir / "plain/sub");
    f.AddPair(f.dir / "src", f.dir / "new/deep/target");
    test::WriteFile(f.app.Files.ToDoFilePath, "old list");
  }
};

TEST_F(MissingFoldersTest, TheUserIsAskedBeforeTheyAreMade) {
  f.screen.answers = {Answer::No};
  Simulate(f.app);
  EXPECT_EQ(f.screen.keys(), (std::vector<std::string>{"[folders do not exist]", "[BackUp aborted by user]"}));
  EXPECT_EQ(f.screen.messages[0].kind, MessageKind::CreateMissingFolders);
  EXPECT_TRUE(Holds(f.screen.messages[0].prompt, f.dir / "new/deep/target"));
}

TEST_F(MissingFoldersTest, AnsweredNoTheSimulationEndsWithoutChange) {
  f.screen.answers = {Answer::No};
  Simulate(f.app);
  EXPECT_EQ(f.app.Run.Lifecycle.State(), RunState::Idle);
  // Every way out of the command ends the label timer and hides its stop button.
  EXPECT_FALSE(f.screen.labelTimerOn);
  EXPECT_FALSE(f.screen.stopButtonShown[static_cast<int>(StopButton::Simulation)]);
  EXPECT_EQ(ReadTextFile(f.app.Files.ToDoFilePath), "old list");
  EXPECT_FALSE(PathExists(f.dir / "new"));
}

// The No stopped that simulation only: the next one plans in full.
TEST_F(MissingFoldersTest, AfterANoTheNextSimulationMakesThem) {
  f.screen.answers = {Answer::No};
  Simulate(f.app);
  f.screen.messages.clear();
  f.screen.answers = {Answer::Yes};
  Simulate(f.app);
  EXPECT_TRUE(IsDirectory(f.dir / "new/deep/target"));
  EXPECT_EQ(f.ListFileRecords().size(), 3u);  // a.txt, sub, sub/b.txt
  EXPECT_TRUE(f.screen.find("[Simulation done in ]"));
}

TEST_F(MissingFoldersTest, AFolderThatCannotBeMadeSkipsItsPair) {
  Simulate(f.app);
  EXPECT_TRUE(f.screen.find("[Could not create folders]"));
  const auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 3u);
  for (const auto& r : records) EXPECT_TRUE(Holds(r, "\t=->\tExtra in F1\t" + f.dir / "src/")) << r;
}

TEST(Simulate, PairsThatCannotBeComparedPlanNothing) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"notafolder=x", "target/precious.txt=keep me", "tab\tname/", "source/o.txt=o"});
  f.app.Job.SourceFolders = {f.dir / "source", f.dir / "source"};
  f.app.Job.TargetFolders = {f.dir / "target"};
  Simulate(f.app);
  EXPECT_EQ(f.screen.keys(), std::vector<std::string>{"[same number of folders]"});
  EXPECT_EQ(f.app.Run.Lifecycle.State(), RunState::Idle);
  EXPECT_TRUE(f.ListFileRecords().empty());

  // A root that cannot be listed taken for empty would plan to delete everything on the other side.
  f.app.Job.SourceFolders = {f.dir / "notafolder"};
  f.AddPair(f.dir / "tab\tname", f.dir / "target");  // would break every record
  // A NUL byte would cut the root to ".../target" at the system calls.
  f.AddPair(f.dir / "source", f.dir / "target" + std::string(1, '\0') + "x");
  Simulate(f.app);
  EXPECT_TRUE(f.screen.find("[Could not read folders]"));
  EXPECT_TRUE(f.ListFileRecords().empty());
}

TEST(Simulate, StopDuringTheSecondOfThreePairsKeepsWhatWasGathered) {
  FlowFixture f;
  for (const std::string n : {"1", "2", "3"}) {
    MakeTree(f.dir.path(), {"s" + n + "/f" + n + ".txt=x", "t" + n + "/"});
    f.AddPair(f.dir / ("s" + n), f.dir / ("t" + n));
  }
  bool stopAtYield = false;
  f.screen.onPairIcon = [&](int pair, PairIcon icon) { stopAtYield |= pair == 1 && icon == PairIcon::Search; };
  f.screen.onYield = [&] {
    if (std::exchange(stopAtYield, false)) RequestRunStop(f.app);
  };
  Simulate(f.app);
  const auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(Holds(records[0], "f1.txt"));
  EXPECT_TRUE(f.screen.find("[Aborted]"));
  EXPECT_FALSE(f.screen.find("[Simulation done in ]"));
  EXPECT_FALSE(PathExists(f.app.Files.LogFilePath));
  EXPECT_EQ(f.app.ToDo.Rows.size(), 1u);
}

TEST(Simulate, TheListFileIsSortedAfterAnEmptyFirstLine) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"s/b.txt=b", "t/gone.txt=g", "s/a.txt=a"});
  f.AddSourceTargetPair();
  Simulate(f.app);
  const std::string s = f.dir / "s", t = f.dir / "t";
  EXPECT_EQ(ReadTextFile(f.app.Files.ToDoFilePath),
            "\r\nDelete in F2       \t= x\tExtra in F2\t" + s + "/gone.txt\t" + t + "/gone.txt\t0\t1\r\n" +
                "Replace/ Copy -> F2\t=->\tExtra in F1\t" + s + "/a.txt\t" + t + "/a.txt\t1\t0\r\n" +
                "Replace/ Copy -> F2\t=->\tExtra in F1\t" + s + "/b.txt\t" + t + "/b.txt\t1\t0");
}

TEST(Simulate, TheLogCountsExcludedFilesWithThePendingOperations) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"s/b.txt=b", "t/gone.txt=g", "s/a.txt=a", "s/x.tmp=t", "s/y.TMP=t"});
  f.AddSourceTargetPair();
  f.app.Options.ExclEnabled = true;
  f.app.Options.ExcludeText = ".TMP";
  Simulate(f.app);
  const std::string log = ReadTextFile(f.app.Files.LogFilePath);
  EXPECT_TRUE(Holds(log, "[Operation]\tSimulate\r\n"));
  EXPECT_TRUE(Holds(log, "Excluded files: \t2\r\nPending operations: \t3\r\n\r\n")) << log;
}

// A folder that cannot be listed must not read as empty: the mirror would delete its copy on the other side.
// Root can list anything, so the scan runs in a child that gave up root.
TEST(Simulate, FolderThatCannotBeListedLeavesItsCopyAlone) {
  namespace fs = std::filesystem;
  FlowFixture f;
  // Sizes apart, so that open.txt is no move of stale.txt.
  MakeTree(f.dir.path(), {"s/locked/secret.txt=s", "s/open.txt=o", "t/stale.txt=xx"});
  MakeTree(f.dir.path(), {"t/locked/secret.txt=old copy", "t/locked/deeper/more.txt=more"});
  f.AddSourceTargetPair();
  for (const std::string& p : {f.dir.path(), f.home, f.app.Files.ToDoFilePath}) fs::permissions(p, fs::perms::all);
  fs::permissions(f.dir / "s/locked", fs::perms::none);
  auto simulate = [&] {
    Simulate(f.app);
    return f.app.Run.UnlistedFolders == 1 ? 0 : 1;
  };
  int unlisted = 1;
  if (::geteuid() != 0) {
    unlisted = simulate();
  } else {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? simulate() : 2);
    int status = 0;
    ::waitpid(pid, &status, 0);
    unlisted = WIFEXITED(status) ? WEXITSTATUS(status) : 3;
  }
  fs::permissions(f.dir / "s/locked", fs::perms::owner_all);
  EXPECT_EQ(unlisted, 0);
  const auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(Holds(records[0], "/t/stale.txt\t")) << records[0];
  EXPECT_TRUE(Holds(records[1], "/s/open.txt\t")) << records[1];
}

TEST(Simulate, PairsWhoseRootsLieInsideEachOtherAreNotCompared) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"b/src/only-copy.txt=precious", "b/src/backup/", "x/new.txt=n", "y/"});
  std::filesystem::create_directory_symlink(f.dir / "b/src", f.dir / "link");
  f.AddPair(f.dir / "b/src", f.dir / "b");                     // source inside its target
  f.AddPair(f.dir / "b/src", f.dir / "b/src/../src/backup/");  // target inside its source
  f.AddPair(f.dir / "link", f.dir / "b/src/");                 // the same folder
  f.AddPair(f.dir / "x", f.dir / "y");
  Simulate(f.app);
  const Message* m = f.screen.find("[Folders inside each other]");
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(Holds(m->prompt, f.dir / "link"));
  EXPECT_EQ(f.app.Run.OverlappingPairs, 3);
  const auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(Holds(records[0], "/x/new.txt\t"));
  ASSERT_TRUE(f.screen.find("[Simulation done in ]"));
  EXPECT_TRUE(Holds(f.screen.find("[Simulation done in ]")->prompt,
                    "Pairs with one folder inside the other (not compared) \t3"));
}

// A mirror with three pairs: t would lose 12 of 13 files, backup its only one (an empty source), u -> v adds a file.
struct MassDeletionTest : ::testing::Test {
  FlowFixture f;
  void SetUp() override {
    f.SetMirrorMode();
    test::Numbered(f.dir / "t/f", 12, ".txt");
    MakeTree(f.dir.path(), {"s/keep.txt=k", "t/keep.txt=k", "empty/", "backup/one.txt=1"});
    MakeTree(f.dir.path(), {"u/new.txt=n", "v/"});
    f.AddSourceTargetPair();
    f.AddPair(f.dir / "empty", f.dir / "backup");
    f.AddPair(f.dir / "u", f.dir / "v");
  }
};

TEST_F(MassDeletionTest, APlanThatDeletesMostOfATreeAsksFirst) {
  f.screen.answers = {Answer::No, Answer::No};
  Simulate(f.app);
  ASSERT_EQ(f.screen.keys(), (std::vector<std::string>{"[Mass deletion]", "[Mass deletion]", "[Simulation done in ]"}));
  const Message& m = f.screen.messages[0];
  EXPECT_EQ(m.buttons, Buttons::YesNo);
  EXPECT_TRUE(m.defaultIsNo);
  EXPECT_TRUE(Holds(m.prompt, f.dir / "t" + "\t12 / 13")) << m.prompt;
  EXPECT_TRUE(Holds(f.screen.messages[1].prompt, f.dir / "backup" + "\t1 / 1"));
}

TEST_F(MassDeletionTest, NoKeepsThePairOut) {
  f.screen.answers = {Answer::No, Answer::No};
  Simulate(f.app);
  const auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(Holds(records[0], "/u/new.txt\t"));
  EXPECT_EQ(f.app.Run.RefusedPairs, 2);
}

TEST_F(MassDeletionTest, YesPlansTheDeletions) {
  f.screen.answers = {Answer::Yes, Answer::Yes};
  Simulate(f.app);
  EXPECT_EQ(f.ListFileRecords().size(), 14u);
}

TEST_F(MassDeletionTest, WithTheGuardSwitchedOffNobodyIsAsked) {
  f.app.settings.MassDeleteGuard = false;
  f.screen.answers = {Answer::No, Answer::No};
  Simulate(f.app);
  EXPECT_FALSE(f.screen.find("[Mass deletion]"));
  EXPECT_EQ(f.ListFileRecords().size(), 14u);
}

// "Empty" means no file at any depth, on either side: folders alone hold nothing worth keeping.
TEST(Simulate, TheMassDeletionGuardCountsFilesOnBothSides) {
  const char* const mirrorToF2[5] = {kDoNothing, kCopyToTarget, kDeleteInTarget, kCopyToTarget, kDoNothing};
  const char* const mirrorToF1[5] = {kDoNothing, kDeleteInSource, kCopyToSource, kDoNothing, kCopyToSource};
  const struct {
    const char* what;
    const char* const* mode;
    std::vector<std::string> tree;
    bool asks;
  } cases[] = {
      {"an empty folder only in the source", mirrorToF2, {"s/empty/", "t/a.txt=a"}, true},
      {"three files in the target, none in the source", mirrorToF2, {"s/a/b/", "t/1=1", "t/2=2", "t/3=3"}, true},
      {"deletion in F1 with an F2 holding no file", mirrorToF1, {"s/1=1", "s/2=2", "t/only-a-folder/"}, true},
      {"a small deletion beside kept files", mirrorToF2, {"s/keep.txt=k", "t/keep.txt=k", "t/old.txt=o"}, false},
  };
  for (const auto& c : cases) {
    FlowFixture f;
    f.SetMode(c.mode[0], c.mode[1], c.mode[2], c.mode[3], c.mode[4]);
    test::Simulated(f, c.tree);
    EXPECT_EQ(f.screen.find("[Mass deletion]") != nullptr, c.asks) << c.what;
  }
}

// A folder one pair writes must not be, hold or lie in a folder of another pair: each pair would undo the other.
TEST(Simulate, AJobWhosePairsOverlapIsRefusedBeforeAnythingIsScanned) {
  const char* const oneWay[5] = {kDoNothing, kCopyToTarget, kDeleteInTarget, kCopyToTarget, kDoNothing};
  const char* const twoWay[5] = {kDoNothing, kCopyToTarget, kCopyToSource, kCopyToTarget, kCopyToSource};
  const struct {
    const char* what;
    const char* const* mode;
    std::vector<std::pair<std::string, std::string>> pairs;
    bool refused;
  } cases[] = {
      {"each pair the other's reverse", oneWay, {{"A", "B"}, {"B", "A"}}, true},
      {"two pairs sharing a target", oneWay, {{"A", "T"}, {"C", "T"}}, true},
      {"a target inside another pair's target", oneWay, {{"A", "T"}, {"C", "T/sub"}}, true},
      {"a target holding another pair's source", oneWay, {{"A", "T"}, {"T/sub", "C"}}, true},
      {"a shared source read one way", oneWay, {{"A", "B"}, {"A", "C"}}, false},
      {"a shared source written back two ways", twoWay, {{"A", "B"}, {"A", "C"}}, true},
  };
  for (const auto& c : cases) {
    FlowFixture f;
    f.SetMode(c.mode[0], c.mode[1], c.mode[2], c.mode[3], c.mode[4]);
    MakeTree(f.dir.path(), {"A/a.txt=a", "B/b.txt=b", "C/c.txt=c", "T/sub/t.txt=t"});
    for (const auto& [source, target] : c.pairs) f.AddPair(f.dir / source, f.dir / target);
    Simulate(f.app);
    const Message* m = f.screen.find("[Folders inside each other]");
    EXPECT_EQ(m != nullptr, c.refused) << c.what;
    EXPECT_EQ(f.ListFileRecords().empty(), c.refused) << c.what;
    if (!c.refused || m == nullptr) continue;
    EXPECT_EQ(m->kind, MessageKind::FoldersInsideEachOther) << c.what;
    EXPECT_TRUE(Holds(m->prompt, f.dir / c.pairs[1].first + "\t" + f.dir / c.pairs[1].second)) << m->prompt;
    EXPECT_EQ(f.app.Run.TreeFilesF1 + f.app.Run.TreeFilesF2, 0) << c.what;
    EXPECT_FALSE(f.screen.find("[Simulation done in ]")) << c.what;
  }
}

// Our temporary copies and the desktop trash are no user data: never planned, and copies of a process that is gone
// are removed. A two-way mode would otherwise copy them into the source.
struct LeftoversTest : ::testing::Test {
  FlowFixture f;
  std::string dead, live;
  void SetUp() override {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);  // from here on its id names no process
    dead = ".dualdock-copy-" + std::to_string(child) + "-";
    live = ".dualdock-copy-" + std::to_string(::getpid()) + "-7";
    f.SetMode(kDoNothing, kCopyToTarget, kCopyToSource, kCopyToTarget, kCopyToSource);
    test::Simulated(f, {"s/a.txt=a", "s/" + dead + "9=half", "t/" + dead + "3=half", "t/sub/" + dead + "4=half",
                        "t/" + live + "=being written", "t/" + dead + "5->a.txt", "t/.Trash-0/files/x=trashed",
                        "t/.Trash/", "t/sub/.Trash-0/kept=k"});
  }
};

TEST_F(LeftoversTest, NeitherOurCopiesNorTheTrashArePlanned) {
  std::vector<std::string> planned = test::PathsOf(f.ListFileRecords());
  std::sort(planned.begin(), planned.end());
  EXPECT_EQ(planned, (std::vector<std::string>{f.dir / "s/a.txt", f.dir / "s/sub", f.dir / "s/sub/.Trash-0",
                                               f.dir / "s/sub/.Trash-0/kept"}));
  EXPECT_EQ(f.app.Run.OwnEntriesLeftOut, 7);
}

TEST_F(LeftoversTest, OnlyTheCopiesOfAProcessThatIsGoneAreRemoved) {
  EXPECT_EQ(test::Listing(f.dir / "s"), std::vector<std::string>{"a.txt=a"});
  std::vector<std::string> kept = {live + "=being written",    dead + "5->a.txt", ".Trash-0/", ".Trash-0/files/",
                                   ".Trash-0/files/x=trashed", ".Trash/",         "sub/",      "sub/.Trash-0/",
                                   "sub/.Trash-0/kept=k"};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(test::Listing(f.dir / "t"), kept);
}
