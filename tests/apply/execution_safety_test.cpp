// What the execution must never do: reach outside its pair, destroy what
// changed since the simulation, or let one failure block the rest.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "apply/execute_app.h"
#include "apply/execute_sub.h"
#include "common/files.h"
#include "flows/execute_flow.h"
#include "support/clock_tick.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/backup_mode.h"
#include "todo/todo_list.h"

using namespace dd;
using namespace dd::test;
using Lines = std::vector<std::string>;

namespace {

// Replaces the folder by a link to `elsewhere`, where its content now lives.
void SwapFolderForLink(const std::string& folder, const std::string& elsewhere) {
  std::filesystem::rename(folder, elsewhere);
  std::filesystem::create_symlink(elsewhere, folder);
}

}  // namespace

TEST(ExecutionSafety, NothingIsWrittenOrDeletedThroughALinkInTheTarget) {
  FlowFixture f;
  // (a) The target holds a link where the source has a folder; the target-only link is left alone.
  f.SetMode(kDoNothing, kCopyToTarget, kDoNothing, kCopyToTarget, kDoNothing);
  Simulated(f, {"s/x/f.txt=from the source", "elsewhere/f.txt=precious", "t/x->../elsewhere"});
  ASSERT_EQ(f.app.Run.Pending(OpKind::New, Side::F2).Count, 2);
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_EQ(Listing(f.dir / "elsewhere"), Lines{"f.txt=precious"});
  EXPECT_EQ(f.ListFileRecords().size(), 2u);

  // (b) A target folder replaced by a link between simulation and execution.
  FlowFixture g;
  g.SetMirrorMode();
  Simulated(g, {"s/d/new.txt=new", "t/d/old.txt=old"});
  SwapFolderForLink(g.dir / "t/d", g.dir / "elsewhere");
  EXPECT_EQ(ExecuteList(g.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_EQ(Listing(g.dir / "elsewhere"), Lines{"old.txt=old"});
  EXPECT_EQ(g.ListFileRecords().size(), 2u);
}

TEST(ExecutionSafety, RecordsWithCraftedPathsAreRefused) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"elsewhere/keep.txt=k", "s/a.txt=a", "t/x->../elsewhere"});
  f.AddSourceTargetPair();
  const std::string s = f.dir / "s", t = f.dir / "t", keep = f.dir / "elsewhere/keep.txt";
  f.app.ToDo.ToDoList = {
      Rec("= x", "Extra in F2", s + "/x/", t + "/x/"),  // a trailing separator on a link: lstat would follow it
      Rec("= x", "Extra in F2", s + "/../elsewhere/keep.txt", t + "/../elsewhere/keep.txt", "0", "1"),
      Rec("= x", "Extra in F2", s + "//x", t + "//x"),
      Rec("= x", "Extra in F2", keep, keep, "0", "1"),  // not below the pair's roots
      Rec("=->", "Extra in F1", s + "/a.txt", t + "/x/a.txt", "1", "0"),
  };
  RebuildToDoRows(f.app.ToDo, f.app.screen);
  CountOperations(f.app.ToDo.ToDoList, f.app.Run);
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 5}));
  EXPECT_EQ(Listing(f.dir / "elsewhere"), Lines{"keep.txt=k"});
  EXPECT_EQ(f.ListFileRecords().size(), 5u);
}

TEST(ExecutionSafety, OneFolderThatCannotGoBlocksNoOther) {
  FlowFixture f;
  f.SetMirrorMode();
  Simulated(f, {"s/", "t/a/inner/f.txt=f", "t/b/inner/f.txt=f", "t/c/inner/f.txt=f"});
  ASSERT_EQ(f.app.Run.Pending(OpKind::Delete, Side::F2).Count, 9);
  // A file the plan does not know about keeps b/inner and with it b.
  WriteFile(f.dir / "t/b/inner/unknown.txt", "new since the simulation");
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_EQ(Listing(f.dir / "t"), (Lines{"b/", "b/inner/", "b/inner/unknown.txt=new since the simulation"}));
  EXPECT_EQ(PathsOf(f.ListFileRecords(), 2), (Lines{f.dir / "t/b", f.dir / "t/b/inner"}));
}

namespace {

// Seven items changed in seven ways since the simulation, and one that did not; returns the run's result.
RunResult RunAfterChanges(FlowFixture& f) {
  f.SetMirrorMode();
  Simulated(f, {"s/edited.txt=newer source@2000000000", "t/edited.txt=older target@1900000000",
                "s/gone.txt=newer source@2000000000", "t/gone.txt=older target@1900000000", "t/grown.txt=four",
                "t/became-folder=", "t/linked/f.txt=f", "s/fine.txt=fine", "s/arrived.txt=source"});
  WriteFile(f.dir / "t/edited.txt", "edited by the user", 2000000100);  // now newer than the source
  std::filesystem::remove(f.dir / "s/gone.txt");
  WriteFile(f.dir / "t/grown.txt", "four and more");
  std::filesystem::remove(f.dir / "t/became-folder");
  WriteFile(f.dir / "t/became-folder/inside.txt", "i");
  SwapFolderForLink(f.dir / "t/linked", f.dir / "elsewhere");
  WriteFile(f.dir / "t/arrived.txt", "put there by the user");
  f.screen.messages.clear();
  return Execute(f.app);
}

}  // namespace

TEST(ExecutionSafety, WhatChangedSinceTheSimulationIsLeftAlone) {
  FlowFixture f;
  EXPECT_EQ(RunAfterChanges(f), (RunResult{RunOutcome::Done, 7}));
  EXPECT_EQ(Listing(f.dir / "t"),
            (Lines{"arrived.txt=put there by the user", "became-folder/", "became-folder/inside.txt=i",
                   "edited.txt=edited by the user", "fine.txt=fine", "gone.txt=older target", "grown.txt=four and more",
                   "linked->" + f.dir / "elsewhere"}));
  EXPECT_EQ(Listing(f.dir / "elsewhere"), Lines{"f.txt=f"});
  EXPECT_EQ(f.ListFileRecords().size(), 7u);
}

TEST(ExecutionSafety, WhatChangedSinceTheSimulationIsNamedInTheReport) {
  FlowFixture f;
  RunAfterChanges(f);
  const std::string& prompt = f.screen.messages.back().prompt;
  EXPECT_NE(prompt.find(f.app.Text("[Changed since the simulation]") + "\t7"), std::string::npos) << prompt;
  for (const char* name : {"t/edited.txt", "s/gone.txt", "t/grown.txt", "t/became-folder", "t/linked", "t/arrived.txt"})
    EXPECT_NE(prompt.find(f.dir / name), std::string::npos) << name;
}

TEST(ExecutionSafety, WhatChangedSinceTheSimulationIsNamedInTheLog) {
  FlowFixture f;
  RunAfterChanges(f);
  EXPECT_NE(ReadTextFile(f.app.Files.LogFilePath).find(f.dir / "t/grown.txt"), std::string::npos);
}

// A destroyed or replaced file rewritten after the simulation with its size unchanged is still seen as changed.
TEST(ExecutionSafety, ARewriteOfTheSameSizeAfterPlanningKeepsTheFile) {
  struct Row {
    const char* what;
    std::vector<std::string> tree;
    const char* rewritten;
  };
  const Row rows[] = {
      {"a file planned for deletion", {"s/", "t/extra.txt=old content"}, "t/extra.txt"},
      {"a file planned to be replaced", {"s/f.txt=source@2000000000", "t/f.txt=old content@1900000000"}, "t/f.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FlowFixture f;
    f.SetMirrorMode();
    Simulated(f, row.tree);
    f.app.ToDo.PlannedAtNs = NextClockTick();
    NextClockTick();
    const int64_t mtime = GetMTime(f.dir / row.rewritten);
    WriteFile(f.dir / row.rewritten, "new content", mtime);  // same size, same time

    f.screen.messages.clear();
    EXPECT_EQ(Execute(f.app), (RunResult{RunOutcome::Done, 1}));
    EXPECT_EQ(ReadTextFile(f.dir / row.rewritten), "new content");
    EXPECT_EQ(f.ListFileRecords().size(), 1u);
    const std::string& prompt = f.screen.messages.back().prompt;
    EXPECT_NE(prompt.find(f.app.Text("[Changed since the simulation]") + "\t1\r\n" + f.dir / row.rewritten),
              std::string::npos)
        << prompt;
  }
}

// Removing one name of a file with several moves the change time of the others: that is the run's own doing.
TEST(ExecutionSafety, NamesOfOneFileAreAllDeletedThoughTheFirstMovesTheChangeTimeOfTheRest) {
  FlowFixture f;
  f.SetMirrorMode();
  MakeTree(f.dir.path(), {"s/", "t/a=same file"});
  ASSERT_EQ(::link((f.dir / "t/a").c_str(), (f.dir / "t/b").c_str()), 0);
  Simulated(f, {});
  f.app.ToDo.PlannedAtNs = NextClockTick();
  NextClockTick();
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(Listing(f.dir / "t"), Lines{});
}
