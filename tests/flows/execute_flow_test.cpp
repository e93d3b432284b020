#include <gtest/gtest.h>

#include "common/files.h"
#include "common/text.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/backup_mode.h"

using namespace dd;
using dd::test::FlowFixture;

TEST(Execute, WithNothingPendingItSaysSo) {
  FlowFixture f;
  EXPECT_EQ(Execute(f.app).outcome, RunOutcome::NothingPending);
  EXPECT_EQ(f.screen.keys(), std::vector<std::string>{"[no operations pending!]"});
}

// Simulated: s/a.txt (2000 bytes) to copy, t/old.txt (4 bytes) to delete.
struct ExecuteTest : ::testing::Test {
  FlowFixture f;
  void SetUp() override {
    test::MakeTree(f.dir.path(), {"s/a.txt=" + std::string(2000, 'a'), "t/old.txt=old!"});
    f.AddSourceTargetPair();
    Simulate(f.app);
    f.screen.messages.clear();
  }
};

TEST_F(ExecuteTest, ItAsksWithTheCountsFirst) {
  f.screen.answers = {Answer::Cancel};
  Execute(f.app);
  ASSERT_EQ(f.screen.messages.size(), 1u);
  const Message& m = f.screen.messages[0];
  EXPECT_EQ(m.buttons, Buttons::OkCancel);
  EXPECT_EQ(m.title, "Synchronization of folders");
  EXPECT_EQ(m.prompt,
            "Do you really want to carry out 2 operations from the simulation?\r\n"
            "Files to be deleted:\t1\t4 Byte\r\n"
            "Files to be created:\t1\t2.0 KB\r\n"
            "Files to be replaced:\t0\t0 Byte");
}

TEST_F(ExecuteTest, CancelChangesNothing) {
  f.screen.answers = {Answer::Cancel};
  EXPECT_EQ(Execute(f.app).outcome, RunOutcome::NotRun);
  EXPECT_TRUE(PathExists(f.dir / "t/old.txt"));
  EXPECT_EQ(f.ListFileRecords().size(), 2u);
}

TEST_F(ExecuteTest, ASuccessfulRunReportsItsCounts) {
  EXPECT_EQ(Execute(f.app), (RunResult{RunOutcome::Done, 0}));
  const Message& done = f.screen.messages.back();
  EXPECT_EQ(done.title, "Done");
  EXPECT_TRUE(StartsWith(done.prompt, "All operations were carried out successfully.\r\nTime needed:\t"))
      << done.prompt;
  EXPECT_TRUE(done.prompt.ends_with("\r\nDeleted files:\t1\t(4 Byte)\r\nCopied files:\t1\t(2.0 KB)")) << done.prompt;
}

TEST_F(ExecuteTest, TheLogNamesTheExecution) {
  Execute(f.app);
  EXPECT_NE(ReadTextFile(f.app.Files.LogFilePath).find("[Operation]\tExecute"), std::string::npos);
}

// A copy that cannot succeed: the target folder's place is taken by a file the mode leaves alone.
TEST(Execute, AFailedItemGivesACriticalErrorReport) {
  FlowFixture f;
  f.SetMode(kDoNothing, kCopyToTarget, kDoNothing, kCopyToTarget, kDoNothing);
  test::MakeTree(f.dir.path(), {"s/d/x.txt=x", "t/d=file"});
  f.AddSourceTargetPair();
  Simulate(f.app);
  f.screen.messages.clear();
  EXPECT_EQ(Execute(f.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_EQ(f.screen.messages.back().key, "[Errors occured!]");
  EXPECT_EQ(f.screen.messages.back().title, "Errors");
  EXPECT_EQ(f.screen.messages.back().icon, Icon::Critical);
}

// One pair s -> t with s/a.txt to copy.
struct OneStepTest : ::testing::Test {
  FlowFixture f;
  void SetUp() override {
    test::MakeTree(f.dir.path(), {"s/a.txt=a"});
    f.AddSourceTargetPair();
  }
};

TEST_F(OneStepTest, AnsweredNoRunsNothing) {
  f.screen.answers = {Answer::No};
  EXPECT_EQ(ExecuteOneStep(f.app).outcome, RunOutcome::NotRun);
  EXPECT_EQ(f.screen.keys(), std::vector<std::string>{"[Simulation and execution]"});
  EXPECT_FALSE(PathExists(f.dir / "t/a.txt"));
}

// A simulation stopped at its question about a missing folder stops the run.
TEST_F(OneStepTest, AStopInTheSimulationEndsTheRun) {
  f.AddPair(f.dir / "s", f.dir / "missing");
  f.screen.answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(ExecuteOneStep(f.app).outcome, RunOutcome::Stopped);
  EXPECT_EQ(f.screen.messages.back().title, "Operation stopped");
  EXPECT_FALSE(f.app.Run.Lifecycle.Active());
  EXPECT_FALSE(PathExists(f.dir / "t/a.txt"));
}

TEST_F(OneStepTest, RunsBothStepsWithoutTheBoxesBetween) {
  EXPECT_EQ(ExecuteOneStep(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(f.screen.keys(),
            (std::vector<std::string>{"[Simulation and execution]", "[operations successfully done]"}));
  EXPECT_EQ(ReadTextFile(f.dir / "t/a.txt"), "a");
}

// The re-check before the replacement classifies as the comparison did: a same-time copy of another size is replaced.
TEST(ExecuteOneStep, ReplacesACopyOfAnotherSizeWithTheSameTime) {
  FlowFixture f;
  test::MakeTree(f.dir.path(), {"s/a.txt=new and longer@1600000000", "t/a.txt=stale@1600000000"});
  f.AddSourceTargetPair();
  EXPECT_EQ(ExecuteOneStep(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(ReadTextFile(f.dir / "t/a.txt"), "new and longer");
}

// The failed items belong to the execution that had them: the next plan starts without them, so that a log
// record or report of a later run never names them again.
TEST(Execute, TheFailedItemsOfAnExecutionGoWithTheNextPlan) {
  FlowFixture f;
  f.SetMode(kDoNothing, kCopyToTarget, kDoNothing, kCopyToTarget, kDoNothing);
  test::MakeTree(f.dir.path(), {"s/d/x.txt=x", "t/"});
  f.AddSourceTargetPair();
  Simulate(f.app);
  test::MakeTree(f.dir.path(), {"t/d=file"});
  f.screen.answers = {Answer::Ok};
  ASSERT_EQ(Execute(f.app).failures, 2);
  ASSERT_EQ(f.app.Run.FailedItems.size(), 2u);
  EXPECT_EQ(f.app.Run.FailedItems[1].operation, "new in F2");
  EXPECT_EQ(f.app.Run.FailedItems[1].path, f.dir / "t/d/x.txt");
  Simulate(f.app);
  EXPECT_TRUE(f.app.Run.FailedItems.empty());
}
