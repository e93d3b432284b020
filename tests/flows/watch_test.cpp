#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/files.h"
#include "flows/execute_flow.h"
#include "flows/folder_watch.h"
#include "flows/scheduler.h"
#include "flows/settle_rule.h"
#include "flows/watch_changes.h"
#include "flows/watch_session.h"
#include "support/builders.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

// Calls `tick` until `done` holds, for at most ten seconds. True when it held.
template <class Tick, class Done>
bool TickUntil(Tick tick, Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    tick();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TEST(SettleRule, IsDueAfterAQuietTimeOrTheCap) {
  struct Row {
    const char* what;
    std::vector<double> changes;
    double now;
    bool due;
  } rows[] = {
      {"nothing changed", {}, 100, false},
      {"within the quiet time", {10}, 11.9, false},
      {"the quiet time passed", {10}, 12, true},
      {"a later change starts the quiet time again", {10, 11.5}, 12.5, false},
      {"quiet after the later change", {10, 11.5}, 13.5, true},
      {"changes without pause, before the cap", {0, 1, 2, 3, 4, 5}, 5.5, false},
      {"changes without pause reach the cap", {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20}, 20.5, true},
  };
  for (const Row& row : rows) {
    SettleRule rule(2, 20);
    for (double t : row.changes) rule.Note(t);
    EXPECT_EQ(rule.Due(row.now), row.due) << row.what;
  }
}

TEST(SettleRule, ATakenBurstLeavesNothingWaiting) {
  SettleRule rule(2, 20);
  rule.Note(0);
  ASSERT_TRUE(rule.Due(5));
  rule.Clear();
  EXPECT_FALSE(rule.Due(50));
  EXPECT_LT(rule.Remaining(50), 0);
}

TEST(InStep, AChangeThatLeavesBothSidesAlikeIsNone) {
  struct Row {
    const char* what;
    std::vector<std::string> entries;
    bool inStep;
  } rows[] = {
      {"missing on both", {}, true},
      {"a folder on both", {"s/x/", "t/x/"}, true},
      {"one size and time", {"s/x=abc@1600000000", "t/x=xyz@1600000000"}, true},
      {"times within the tolerance", {"s/x=abc@1600000000", "t/x=abc@1600000001"}, true},
      {"on one side only", {"s/x=abc"}, false},
      {"other sizes", {"s/x=abc@1600000000", "t/x=abcd@1600000000"}, false},
      {"other times", {"s/x=abc@1600000000", "t/x=abc@1600000100"}, false},
      {"a folder and a file", {"s/x/", "t/x=f"}, false},
      {"a link and a file", {"s/x->y", "t/x=f"}, false},
  };
  for (const Row& row : rows) {
    TempDir dir;
    MakeDirs(dir / "s");
    MakeDirs(dir / "t");
    MakeTree(dir.path(), row.entries);
    EXPECT_EQ(InStep(dir / "s", dir / "t", "/x", JobOptions{}), row.inStep) << row.what;
  }
}

// The events a run raises by its own copies name nothing that is out of step: no run follows.
TEST(FolderWatch, TheRunsOwnWritesAskForNoFurtherRun) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"s/a.txt=a", "s/sub/b.txt=bb", "t/"});
  f.AddSourceTargetPair();
  FolderWatch watch;
  ASSERT_TRUE(watch.Open());
  watch.AddTree(0, f.dir / "s");
  watch.AddTree(0, f.dir / "t");
  ASSERT_EQ(ExecuteOneStep(f.app), (RunResult{RunOutcome::Done, 0}));
  ASSERT_EQ(ReadTextFile(f.dir / "t/sub/b.txt"), "bb");

  ChangeLog log;
  ASSERT_TRUE(watch.Read(log)) << "the copies raised no events";
  const auto& sources = f.app.Job.SourceFolders;
  const auto& targets = f.app.Job.TargetFolders;
  EXPECT_TRUE(ChangesToCompare(log, sources, targets, f.app.Options).empty());
  // A change of the user meanwhile is still seen.
  WriteFile(f.dir / "s/sub/c.txt", "c");
  ASSERT_TRUE(watch.Read(log));
  const ChangedPairs changed = ChangesToCompare(log, sources, targets, f.app.Options);
  ASSERT_EQ(changed.size(), 1u);
  ASSERT_EQ(changed.at(0).size(), 1u);
  EXPECT_EQ(changed.at(0)[0].Path, "/sub");
}

TEST(FolderWatch, OurOwnFilesRaiseNothing) {
  const struct {
    const char* name;
    const char* file;
  } rows[] = {{"a temporary copy", "s/sub/.dualdock-copy-12-3"}, {"the program folder", "s/home/To Do.txt"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    MakeTree(dir.path(), {"s/home/", "s/sub/"});
    FolderWatch watch({dir / "s/home"});
    watch.AddTree(0, dir / "s");
    WriteFile(dir / row.file, "written");
    ChangeLog log;
    watch.Read(log);
    EXPECT_TRUE(log.Empty());
  }
}

// An application without a program folder (a scratch or a test) has nothing to leave out.
TEST(FolderWatch, NoProgramFolderLeavesNothingOut) {
  TempDir dir;
  MakeDirs(dir / "s");
  FolderWatch watch({std::string()});
  watch.AddTree(0, dir / "s");
  WriteFile(dir / "s/x.txt", "x");
  ChangeLog log;
  EXPECT_TRUE(watch.Read(log));
  EXPECT_EQ(log.Pairs[0][""].Names, std::set<std::string>{"x.txt"});
}

// A session on a pair that a test drives by hand: its clock, the changes it notes and the runs it starts.
struct WatchTicks : ::testing::Test {
  WatchTicks() {
    MakeTree(f.dir.path(), {"s/a/", "t/a/", "s/other/", "t/other/"});
    f.AddSourceTargetPair();
  }
  WatchSession& Session() {
    session = std::make_unique<WatchSession>(
        f.app, WatchSettings{2, 60, 300}, [this](WatchNotice notice) { said.push_back(notice); },
        [this](const ChangedPairs* changed) {
          runs.push_back(changed ? *changed : ChangedPairs{{-1, {}}});
          return true;
        },
        [this] { return now.load(); });
    return *session;
  }
  FlowFixture f;
  std::atomic<double> now{1000};
  std::vector<ChangedPairs> runs;  // a run of everything as {-1: {}}
  std::vector<WatchNotice> said;
  std::unique_ptr<WatchSession> session;
};

TEST_F(WatchTicks, LostEventsGiveARunOfEverything) {
  struct Row {
    const char* what;
    ChangeLog log;
    std::vector<ChangedPairs> runs;
  } rows[] = {
      {"events were lost", {true, {}}, {{{-1, {}}}}},
      {"a new file", {false, {{0, {{"/a", {{"x.txt"}, false}}}}}}, {{{0, {{"/a", false}}}}}},
      {"an entry in step", {false, {{0, {{"/a", {{"y.txt"}, false}}}}}}, {}},
  };
  WriteFile(f.dir / "s/a/x.txt", "x");
  for (const Row& row : rows) {
    runs.clear();
    WatchSession& s = Session();
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.Tick());  // the first run, of everything
    runs.clear();
    s.Note(row.log);
    EXPECT_FALSE(s.Tick()) << row.what << ": ran before the changes settled";
    now = now + 2;
    s.Tick();
    EXPECT_EQ(runs, row.runs) << row.what;
  }
}

TEST_F(WatchTicks, SaysWhenEventsWereLost) {
  WatchSession& s = Session();
  ASSERT_TRUE(s.Start());
  s.Tick();
  s.Note({true, {}});
  now = now + 5;
  s.Tick();
  EXPECT_EQ(said, std::vector<WatchNotice>{WatchNotice::EventsLost});
}

// The whole way: a file written in the source reaches the target, also in a folder made after the watch began.
TEST(WatchSession, CopiesEveryNewFileAlsoInAFolderMadeLater) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"s/", "t/"});
  f.AddSourceTargetPair();
  int runs = 0, limitedRuns = 0;
  WatchSession session(
      f.app, WatchSettings{0.05, 60, 300}, [](WatchNotice) {},
      [&](const ChangedPairs* changed) {
        ++runs;
        limitedRuns += changed != nullptr;
        return ExecuteOneStep(f.app, changed).outcome != RunOutcome::NotRun;
      });
  ASSERT_TRUE(session.Start());
  ASSERT_TRUE(TickUntil([&] { session.Tick(); }, [&] { return runs == 1; }));

  WriteFile(f.dir / "s/new.txt", "new");
  ASSERT_TRUE(TickUntil([&] { session.Tick(); }, [&] { return ReadTextFile(f.dir / "t/new.txt") == "new"; }));
  MakeDirs(f.dir / "s/later");
  ASSERT_TRUE(TickUntil([&] { session.Tick(); }, [&] { return IsDirectory(f.dir / "t/later"); }));
  WriteFile(f.dir / "s/later/inner.txt", "inner");
  ASSERT_TRUE(TickUntil([&] { session.Tick(); }, [&] { return ReadTextFile(f.dir / "t/later/inner.txt") == "inner"; }));
  EXPECT_EQ(limitedRuns, runs - 1) << "a change ran a comparison of everything";
}

}  // namespace

namespace {

// The window's "on change" choice: the scheduler runs the changed pairs, never at the end of its period.
TEST(Scheduler, OnChangeRunsWhatChangedInsteadOfThePeriod) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"s/", "t/"});
  f.AddSourceTargetPair();
  std::vector<bool> whole;
  Scheduler scheduler(f.app);
  scheduler.SetPeriodText("100");
  scheduler.SetOnChange(true);
  scheduler.SetChangeRun([&](const ChangedPairs* changed) {
    whole.push_back(changed == nullptr);
    return ExecuteOneStep(f.app, changed).outcome != RunOutcome::NotRun;
  });
  scheduler.Toggle();
  ASSERT_TRUE(TickUntil([&] { scheduler.Tick(); }, [&] { return whole.size() == 1; }));
  EXPECT_EQ(scheduler.Labels().Countdown, "Waiting for changes in the folders");
  WriteFile(f.dir / "s/x.txt", "x");
  ASSERT_TRUE(TickUntil([&] { scheduler.Tick(); }, [&] { return PathExists(f.dir / "t/x.txt"); }));
  EXPECT_EQ(whole, (std::vector<bool>{true, false}));

  // Other pairs: their folders are watched instead.
  MakeTree(f.dir.path(), {"s2/", "t2/"});
  f.app.Job.SourceFolders = {f.dir / "s2"};
  f.app.Job.TargetFolders = {f.dir / "t2"};
  ASSERT_TRUE(TickUntil([&] { scheduler.Tick(); }, [&] { return whole.size() == 3; }));
  WriteFile(f.dir / "s2/z.txt", "z");
  ASSERT_TRUE(TickUntil([&] { scheduler.Tick(); }, [&] { return PathExists(f.dir / "t2/z.txt"); }));

  // Off: a change starts nothing.
  scheduler.SetOnChange(false);
  WriteFile(f.dir / "s/y.txt", "y");
  for (int i = 0; i < 5; ++i) EXPECT_NE(scheduler.Tick(), Scheduler::TickResult::Fired);
  EXPECT_EQ(whole, (std::vector<bool>{true, false, true, false}));
}

}  // namespace
