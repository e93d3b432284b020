#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>

#include "commands/execute_flow.h"
#include "commands/simulate.h"
#include "common/files.h"
#include "execution/execute_sub.h"
#include "oplist/backup_mode.h"
#include "support/flow_fixture.h"

using namespace dd;
using dd::test::FlowFixture;
using dd::test::WriteFile;

TEST(ExecuteSub, DeletionsOnlyRemoveFilesThenFoldersDeepestFirst) {
  FlowFixture f;
  f.SetMirrorMode();
  test::MakeDirs(f.dir / "s");
  WriteFile(f.dir / "t/keep/x.txt", "x");
  WriteFile(f.dir / "s/keep/x.txt", "x");
  test::SetMTime(f.dir / "s/keep/x.txt", test::GetMTime(f.dir / "t/keep/x.txt"));
  WriteFile(f.dir / "t/old/a.txt", "aaaa");
  WriteFile(f.dir / "t/old/deeper/b.txt", "bb");
  WriteFile(f.dir / "t/old/deeper/deepest/c.txt", "c");
  WriteFile(f.dir / "t/top.txt", "t");
  f.AddSourceTargetPair();
  Simulate(f.app);
  ASSERT_EQ(f.app.Run.Pending(OpKind::Delete, Side::F2).Count, 7);
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_FALSE(PathExists(f.dir / "t/old"));
  EXPECT_FALSE(PathExists(f.dir / "t/top.txt"));
  EXPECT_TRUE(PathExists(f.dir / "t/keep/x.txt"));
  EXPECT_EQ(f.app.Run.DeletedCount, 7);
  EXPECT_EQ(f.app.Run.DeletedBytes, 8);
  EXPECT_EQ(f.app.Run.PendingOps(), 0);
  EXPECT_TRUE(f.ListFileRecords().empty());
  EXPECT_EQ(ReadTextFile(f.app.Files.ToDoFilePath), "");
}

TEST(ExecuteSub, CopiesCreateFoldersBeforeTheirFilesAndKeepCountersVanishedOnesUncounted) {
  FlowFixture f;
  f.SetMirrorMode();
  WriteFile(f.dir / "s/a.txt", "12345");
  WriteFile(f.dir / "s/gone.txt", "vanishes after the simulation");
  WriteFile(f.dir / "s/sub/deep/b.txt", "123");
  WriteFile(f.dir / "s/newer.txt", "new content", 2000000000);
  WriteFile(f.dir / "t/newer.txt", "old", 1000000000);
  f.AddSourceTargetPair();
  Simulate(f.app);
  const int64_t filesBefore = f.app.Run.TreeFilesF2, foldersBefore = f.app.Run.TreeFoldersF2;
  std::filesystem::remove(f.dir / "s/gone.txt");
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_FALSE(PathExists(f.dir / "t/gone.txt"));
  EXPECT_EQ(ReadTextFile(f.dir / "t/sub/deep/b.txt"), "123");
  EXPECT_EQ(ReadTextFile(f.dir / "t/newer.txt"), "new content");
  EXPECT_EQ(test::GetMTime(f.dir / "t/newer.txt"), 2000000000);
  EXPECT_EQ(f.app.Run.NewCount, 4);  // a.txt, sub, sub/deep, b.txt; not gone.txt
  EXPECT_EQ(f.app.Run.ReplacedCount, 1);
  EXPECT_EQ(f.app.Run.NewBytes, 8);
  EXPECT_EQ(f.app.Run.ReplacedBytes, 11);
  EXPECT_EQ(f.app.Run.TreeFilesF2, filesBefore + 2);
  EXPECT_EQ(f.app.Run.TreeFoldersF2, foldersBefore + 2);
  EXPECT_EQ(f.app.Run.LastOperationKind, OpKind::Replace);  // replacements sort after new entries
  EXPECT_TRUE(f.ListFileRecords().empty());
}

TEST(ExecuteSub, MixedListWithFailuresKeepsExactlyTheFailedRecords) {
  FlowFixture f;
  // Extra in F2 is left alone, so the file in the target stays where the folder should go.
  f.SetMode(kDoNothing, kCopyToTarget, kDoNothing, kCopyToTarget, kDoNothing);
  WriteFile(f.dir / "s/good.txt", "g");
  WriteFile(f.dir / "s/blocked/inner.txt", "i");  // its folder meets a file in the target
  WriteFile(f.dir / "t/blocked", "a file where a folder should go");
  WriteFile(f.dir / "s/old.txt", "gone");
  WriteFile(f.dir / "t/old.txt", "gone", 1000000000);
  f.AddSourceTargetPair();
  Simulate(f.app);
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 2}));  // the folder "blocked" and the file inside it
  EXPECT_EQ(ReadTextFile(f.dir / "t/good.txt"), "g");
  EXPECT_EQ(ReadTextFile(f.dir / "t/blocked"), "a file where a folder should go");
  EXPECT_EQ(ReadTextFile(f.dir / "t/old.txt"), "gone");
  EXPECT_NE(test::GetMTime(f.dir / "t/old.txt"), 1000000000);
  auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_NE(records[0].find("/s/blocked\t"), std::string::npos) << records[0];
  EXPECT_NE(records[1].find("/s/blocked/inner.txt\t"), std::string::npos) << records[1];
  EXPECT_EQ(f.app.Run.PendingOps(), 2);
}

TEST(ExecuteSub, StopBeforeOrDuringTheRunSavesWhatRemains) {
  FlowFixture f;
  EXPECT_EQ(ExecuteSub(f.app).outcome, RunOutcome::NothingPending);
  f.SetMirrorMode();
  for (int i = 0; i < 6; ++i) WriteFile(f.dir / ("s/f" + std::to_string(i) + ".txt"), "x");
  f.AddSourceTargetPair();
  Simulate(f.app);
  f.app.Run.StopRequested = true;
  EXPECT_EQ(ExecuteSub(f.app).outcome, RunOutcome::Stopped);
  EXPECT_FALSE(PathExists(f.dir / "t/f0.txt"));
  EXPECT_EQ(f.ListFileRecords().size(), 6u);
  f.app.Run.StopRequested = false;
  // A stop while the third file is shown: that copy finishes, the rest wait.
  f.screen.onYield = [&] {
    if (f.app.Run.ExecutionRunning && f.app.Run.CurrentFile == f.dir / "s/f2.txt") Stoppen(f.app);
  };
  EXPECT_EQ(ExecuteSub(f.app).outcome, RunOutcome::Stopped);
  EXPECT_EQ(f.ListFileRecords().size(), 3u);
  EXPECT_TRUE(PathExists(f.dir / "t/f2.txt"));
  EXPECT_FALSE(PathExists(f.dir / "t/f3.txt"));
  EXPECT_FALSE(f.app.Run.ExecutionRunning);
  EXPECT_FALSE(f.screen.labelTimerOn);
  EXPECT_FALSE(f.screen.stopButtonShown[static_cast<int>(StopButton::Execution)]);
  // The next run finishes the job.
  f.screen.onYield = nullptr;
  f.app.Run.StopRequested = false;
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_TRUE(f.ListFileRecords().empty());
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(PathExists(f.dir / ("t/f" + std::to_string(i) + ".txt")));
}

TEST(ExecuteSub, StopDuringOneBigCopyLeavesNoPartialFile) {
  FlowFixture f;
  f.SetMirrorMode();
  WriteFile(f.dir / "s/big.bin", std::string(9 << 20, 'b'));  // more than one chunk
  f.AddSourceTargetPair();
  Simulate(f.app);
  // The first turn is the one before the copy; a stop at the second, which only
  // the copy itself can give, must undo it.
  int turns = 0;
  f.screen.onYield = [&] {
    if (f.app.Run.ExecutionRunning && f.app.Run.CurrentFile == f.dir / "s/big.bin" && ++turns == 2) Stoppen(f.app);
  };
  EXPECT_EQ(ExecuteSub(f.app).outcome, RunOutcome::Stopped);
  EXPECT_EQ(turns, 2);
  EXPECT_TRUE(std::filesystem::is_empty(std::string(f.dir / "t")));
  EXPECT_EQ(f.ListFileRecords().size(), 1u);
}

TEST(ExecuteSub, ManyCopiesWithFewDescriptorsAllowed) {
  FlowFixture f;
  f.SetMirrorMode();
  for (int i = 0; i < 300; ++i) WriteFile(f.dir / ("s/f" + std::to_string(i)), "x");
  f.AddSourceTargetPair();
  Simulate(f.app);
  struct rlimit saved {};
  ::getrlimit(RLIMIT_NOFILE, &saved);
  struct rlimit low = saved;
  low.rlim_cur = 256;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  const RunResult result = ExecuteSub(f.app);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(result, (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(f.app.Run.NewCount, 300);
}
