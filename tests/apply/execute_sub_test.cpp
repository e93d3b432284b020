#include "apply/execute_sub.h"
#include "apply/execute_app.h"
#include "apply/run_scope.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>

#include "common/files.h"
#include "flows/execute_flow.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/backup_mode.h"

using namespace dd;
using namespace dd::test;

namespace {

// Deletions of files and of folders three deep, new files in new folders, a replacement,
// and a new file that vanishes after the simulation.
void SimulatedMirror(FlowFixture& f) {
  f.SetMirrorMode();
  Simulated(f,
            {"s/keep/x.txt=x@1500000000", "t/keep/x.txt=x@1500000000", "t/old/a.txt=aaaa", "t/old/deeper/b.txt=bb",
             "t/old/deeper/deepest/c.txt=c", "t/top.txt=t", "s/a.txt=12345", "s/gone.txt=vanishes after the simulation",
             "s/sub/deep/b.txt=123", "s/newer.txt=new content@2000000000", "t/newer.txt=old@1000000000"});
  ASSERT_EQ(f.app.Run.Pending(OpKind::Delete, Side::F2).Count, 7);
  std::filesystem::remove(f.dir / "s/gone.txt");
}

// 300 new files, simulated.
void SimulatedManyFiles(FlowFixture& f) {
  f.SetMirrorMode();
  std::vector<std::string> files;
  for (int i = 0; i < 300; ++i) files.push_back("s/f" + std::to_string(i) + "=x");
  Simulated(f, files);
}

// A stop while the third file is shown: that copy finishes, the rest wait.
RunResult StoppedAtTheThirdFile(FlowFixture& f) {
  f.screen.onYield = [&] {
    if (f.app.Run.Lifecycle.Execution() && f.app.Run.CurrentFile == f.dir / "s/f10") RequestRunStop(f.app);
  };
  const RunResult result = ExecuteList(f.app);
  f.screen.onYield = nullptr;
  return result;
}

}  // namespace

TEST(ExecuteSub, AMirrorRunLeavesTheTargetAsTheSource) {
  FlowFixture f;
  SimulatedMirror(f);
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(Listing(f.dir / "t"),
            (std::vector<std::string>{"a.txt=12345", "keep/", "keep/x.txt=x", "newer.txt=new content", "sub/",
                                      "sub/deep/", "sub/deep/b.txt=123"}));
  EXPECT_EQ(GetMTime(f.dir / "t/newer.txt"), 2000000000);
  EXPECT_EQ(f.app.Run.PendingOps(), 0);
  EXPECT_EQ(ReadTextFile(f.app.Files.ToDoFilePath), "");
}

TEST(ExecuteSub, TheRunCountsWhatWasDone) {
  FlowFixture f;
  SimulatedMirror(f);
  ExecuteList(f.app);
  const RunStatistics& r = f.app.Run;
  EXPECT_EQ(
      std::vector<int64_t>({r.DeletedCount, r.DeletedBytes, r.NewCount, r.NewBytes, r.ReplacedCount, r.ReplacedBytes}),
      std::vector<int64_t>({7, 8, 4, 8, 1, 11}));  // new: a.txt, sub, sub/deep, b.txt; not gone.txt
  EXPECT_EQ(std::vector<int64_t>({r.TreeFilesF2, r.TreeFoldersF2, r.TreeSizeF2}), std::vector<int64_t>({4, 3, 20}));
  EXPECT_EQ(r.LastOperationKind, OpKind::Replace);  // replacements sort after new entries
}

TEST(ExecuteSub, MixedListWithFailuresKeepsExactlyTheFailedRecords) {
  FlowFixture f;
  // Extra in F2 is left alone, so the file in the target stays where the folder should go.
  f.SetMode(kDoNothing, kCopyToTarget, kDoNothing, kCopyToTarget, kDoNothing);
  Simulated(f,
            {"s/good.txt=g", "s/blocked/inner.txt=i", "t/blocked=a file", "s/old.txt=new", "t/old.txt=old@1000000000"});
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_EQ(Listing(f.dir / "t"), (std::vector<std::string>{"blocked=a file", "good.txt=g", "old.txt=new"}));
  EXPECT_EQ(PathsOf(f.ListFileRecords()),
            (std::vector<std::string>{f.dir / "s/blocked", f.dir / "s/blocked/inner.txt"}));
  EXPECT_EQ(f.app.Run.PendingOps(), 2);
}

TEST(ExecuteSub, AnEmptyListRunsNothing) {
  FlowFixture f;
  EXPECT_EQ(ExecuteList(f.app).outcome, RunOutcome::NothingPending);
}

TEST(ExecuteSub, AStopBeforeTheRunKeepsEveryRecord) {
  FlowFixture f;
  SimulatedManyFiles(f);
  {
    RunScope scope(f.app.Run.Lifecycle, f.app.screen, RunKind::Execution);
    f.app.Run.Lifecycle.RequestStop();
    ExecutionContext context = ContextOf(f.app);
    EXPECT_EQ(ExecuteBegun(context, scope).outcome, RunOutcome::Stopped);
  }
  EXPECT_TRUE(Listing(f.dir / "t").empty());
  EXPECT_EQ(f.ListFileRecords().size(), 300u);
}

TEST(ExecuteSub, AStopDuringTheRunSavesWhatRemains) {
  FlowFixture f;
  SimulatedManyFiles(f);
  EXPECT_EQ(StoppedAtTheThirdFile(f).outcome, RunOutcome::Stopped);
  EXPECT_EQ(Listing(f.dir / "t"), (std::vector<std::string>{"f0=x", "f10=x", "f1=x"}));
  EXPECT_EQ(f.ListFileRecords().size(), 297u);
}

TEST(ExecuteSub, AStoppedRunTakesItsControlsDown) {
  FlowFixture f;
  SimulatedManyFiles(f);
  StoppedAtTheThirdFile(f);
  EXPECT_EQ(f.app.Run.Lifecycle.State(), RunState::Idle);
  EXPECT_FALSE(f.screen.labelTimerOn);
  EXPECT_FALSE(f.screen.stopButtonShown[static_cast<int>(StopButton::Execution)]);
}

TEST(ExecuteSub, TheRunAfterAStopFinishesTheRest) {
  FlowFixture f;
  SimulatedManyFiles(f);
  StoppedAtTheThirdFile(f);
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_TRUE(f.ListFileRecords().empty());
  EXPECT_EQ(Listing(f.dir / "t").size(), 300u);
}

TEST(ExecuteSub, FewerDescriptorsThanCopiesStillFinish) {
  FlowFixture f;
  SimulatedManyFiles(f);
  struct rlimit saved {};
  ::getrlimit(RLIMIT_NOFILE, &saved);
  struct rlimit low = saved;
  low.rlim_cur = 256;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  const RunResult result = ExecuteList(f.app);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(result, (RunResult{RunOutcome::Done, 0}));
  EXPECT_TRUE(f.ListFileRecords().empty());
  EXPECT_EQ(Listing(f.dir / "t").size(), 300u);
}

TEST(ExecuteSub, StopDuringOneBigCopyLeavesNoPartialFile) {
  FlowFixture f;
  f.SetMirrorMode();
  Simulated(f, {"s/big.bin=" + std::string(9 << 20, 'b')});  // more than one chunk
  // The first turn is the one before the copy; a stop at the second, which only the copy itself can give, must undo it.
  int turns = 0;
  f.screen.onYield = [&] {
    if (f.app.Run.Lifecycle.Execution() && f.app.Run.CurrentFile == f.dir / "s/big.bin" && ++turns == 2)
      RequestRunStop(f.app);
  };
  EXPECT_EQ(ExecuteList(f.app).outcome, RunOutcome::Stopped);
  EXPECT_EQ(turns, 2);
  EXPECT_TRUE(Listing(f.dir / "t").empty());
  EXPECT_EQ(f.ListFileRecords().size(), 1u);
}
