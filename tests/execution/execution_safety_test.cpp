// What the execution must never do: reach outside its pair, destroy what
// changed since the simulation, or let one failure block the rest.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "commands/execute_flow.h"
#include "commands/simulate.h"
#include "common/files.h"
#include "execution/execute_sub.h"
#include "oplist/backup_mode.h"
#include "oplist/todo_list.h"
#include "support/flow_fixture.h"

using namespace dd;
using dd::test::FlowFixture;
using dd::test::WriteFile;

namespace {

void Link(const std::string& to, const std::string& at) {
  ASSERT_EQ(::symlink(to.c_str(), at.c_str()), 0) << at;
}

// Replaces the folder by a link to `elsewhere`, where its content now lives.
void SwapFolderForLink(const std::string& folder, const std::string& elsewhere) {
  std::filesystem::rename(folder, elsewhere);
  Link(elsewhere, folder);
}

// The pending list as the simulation would leave it, from records built by hand.
void SetList(FlowFixture& f, const std::vector<std::string>& records) {
  f.app.ToDo.ToDoList = records;
  ListViewAusfuellen(f.app);
  CountOperations(f.app);
}

std::string Record(const char* op, const char* code, const char* status, const std::string& f1, const std::string& f2,
                   const char* size1, const char* size2) {
  return std::string(op) + "\t" + code + "\t" + status + "\t" + f1 + "\t" + f2 + "\t" + size1 + "\t" + size2;
}

}  // namespace

TEST(ExecutionSafety, NothingIsWrittenOrDeletedThroughALinkInTheTarget) {
  FlowFixture f;
  // (a) The target holds a link where the source has a folder; the target-only link is left alone.
  f.SetMode(kDoNothing, kCopyToTarget, kDoNothing, kCopyToTarget, kDoNothing);
  WriteFile(f.dir / "s/x/f.txt", "from the source");
  WriteFile(f.dir / "elsewhere/f.txt", "precious");
  test::MakeDirs(f.dir / "t");
  Link("../elsewhere", f.dir / "t/x");
  f.AddSourceTargetPair();
  Simulate(f.app);
  ASSERT_EQ(f.app.Run.Pending(OpKind::New, Side::F2).Count, 2);
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_EQ(ReadTextFile(f.dir / "elsewhere/f.txt"), "precious");
  EXPECT_EQ(f.ListFileRecords().size(), 2u);

  // (b) A target folder replaced by a link between simulation and execution.
  FlowFixture g;
  g.SetMirrorMode();
  WriteFile(g.dir / "s/d/new.txt", "new");
  WriteFile(g.dir / "t/d/old.txt", "old");
  g.AddSourceTargetPair();
  Simulate(g.app);
  SwapFolderForLink(g.dir / "t/d", g.dir / "elsewhere");
  EXPECT_EQ(ExecuteSub(g.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_EQ(ReadTextFile(g.dir / "elsewhere/old.txt"), "old");
  EXPECT_FALSE(PathExists(g.dir / "elsewhere/new.txt"));
  EXPECT_EQ(g.ListFileRecords().size(), 2u);
}

TEST(ExecutionSafety, RecordsWithCraftedPathsAreRefusedAndKept) {
  FlowFixture f;
  WriteFile(f.dir / "elsewhere/keep.txt", "k");
  WriteFile(f.dir / "s/a.txt", "a");
  test::MakeDirs(f.dir / "t");
  Link("../elsewhere", f.dir / "t/x");
  f.AddSourceTargetPair();
  const std::string s = f.dir / "s", t = f.dir / "t";
  SetList(f, {
                 // (c) a trailing separator on a link: lstat would follow it
                 Record("Delete in F2       ", "= x", "Extra in F2", s + "/x/", t + "/x/", "0", "0"),
                 Record("Delete in F2       ", "= x", "Extra in F2", s + "/../elsewhere/keep.txt",
                        t + "/../elsewhere/keep.txt", "0", "1"),
                 Record("Delete in F2       ", "= x", "Extra in F2", s + "//x", t + "//x", "0", "0"),
                 // not below the pair's roots
                 Record("Delete in F2       ", "= x", "Extra in F2", f.dir / "elsewhere/keep.txt",
                        f.dir / "elsewhere/keep.txt", "0", "1"),
                 Record("Replace/ Copy -> F2", "=->", "Extra in F1", s + "/a.txt", t + "/x/a.txt", "1", "0"),
             });
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 5}));
  EXPECT_EQ(ReadTextFile(f.dir / "elsewhere/keep.txt"), "k");
  EXPECT_FALSE(PathExists(f.dir / "elsewhere/a.txt"));
  EXPECT_EQ(f.ListFileRecords().size(), 5u);
}

TEST(ExecutionSafety, OneFolderThatCannotGoBlocksNoOther) {
  FlowFixture f;
  f.SetMirrorMode();
  test::MakeDirs(f.dir / "s");
  for (const char* d : {"a", "b", "c"}) WriteFile(f.dir / "t/" + d + "/inner/f.txt", "f");
  f.AddSourceTargetPair();
  Simulate(f.app);
  ASSERT_EQ(f.app.Run.Pending(OpKind::Delete, Side::F2).Count, 9);
  // A file the plan does not know about keeps b/inner and with it b.
  WriteFile(f.dir / "t/b/inner/unknown.txt", "new since the simulation");
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 2}));
  EXPECT_FALSE(PathExists(f.dir / "t/a"));
  EXPECT_FALSE(PathExists(f.dir / "t/c"));
  EXPECT_EQ(ReadTextFile(f.dir / "t/b/inner/unknown.txt"), "new since the simulation");
  EXPECT_FALSE(PathExists(f.dir / "t/b/inner/f.txt"));
  const auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_NE(records[0].find("/t/b\t"), std::string::npos) << records[0];
  EXPECT_NE(records[1].find("/t/b/inner\t"), std::string::npos) << records[1];
}

TEST(ExecutionSafety, WhatChangedSinceTheSimulationIsLeftAloneAndNamed) {
  FlowFixture f;
  f.SetMirrorMode();
  WriteFile(f.dir / "s/edited.txt", "newer source", 2000000000);
  WriteFile(f.dir / "t/edited.txt", "older target", 1900000000);
  WriteFile(f.dir / "s/gone.txt", "newer source", 2000000000);
  WriteFile(f.dir / "t/gone.txt", "older target", 1900000000);
  WriteFile(f.dir / "t/grown.txt", "four");
  WriteFile(f.dir / "t/became-folder", "");
  WriteFile(f.dir / "t/linked/f.txt", "f");
  WriteFile(f.dir / "s/fine.txt", "fine");
  WriteFile(f.dir / "s/arrived.txt", "source");
  f.AddSourceTargetPair();
  Simulate(f.app);

  WriteFile(f.dir / "t/edited.txt", "edited by the user", 2000000100);  // now newer than the source
  std::filesystem::remove(f.dir / "s/gone.txt");
  WriteFile(f.dir / "t/grown.txt", "four and more");
  std::filesystem::remove(f.dir / "t/became-folder");
  WriteFile(f.dir / "t/became-folder/inside.txt", "i");
  SwapFolderForLink(f.dir / "t/linked", f.dir / "elsewhere");
  WriteFile(f.dir / "t/arrived.txt", "put there by the user");

  f.screen.messages.clear();
  EXPECT_EQ(Execute(f.app), (RunResult{RunOutcome::Done, 7}));
  EXPECT_EQ(ReadTextFile(f.dir / "t/fine.txt"), "fine");
  EXPECT_EQ(ReadTextFile(f.dir / "t/edited.txt"), "edited by the user");
  EXPECT_EQ(ReadTextFile(f.dir / "t/gone.txt"), "older target");
  EXPECT_EQ(ReadTextFile(f.dir / "t/grown.txt"), "four and more");
  EXPECT_EQ(ReadTextFile(f.dir / "t/became-folder/inside.txt"), "i");
  EXPECT_EQ(ReadTextFile(f.dir / "elsewhere/f.txt"), "f");
  EXPECT_TRUE(std::filesystem::is_symlink(f.dir / "t/linked"));
  EXPECT_EQ(ReadTextFile(f.dir / "t/arrived.txt"), "put there by the user");
  EXPECT_EQ(f.ListFileRecords().size(), 7u);

  // Named in the report and the log.
  const std::string& prompt = f.screen.messages.back().prompt;
  EXPECT_NE(prompt.find(f.app.Text("[Changed since the simulation]") + "\t7"), std::string::npos) << prompt;
  for (const char* name : {"t/edited.txt", "s/gone.txt", "t/grown.txt", "t/became-folder", "t/linked", "t/arrived.txt"})
    EXPECT_NE(prompt.find(f.dir / name), std::string::npos) << name;
  EXPECT_NE(ReadTextFile(f.app.Files.LogFilePath).find(f.dir / "t/grown.txt"), std::string::npos);
}
