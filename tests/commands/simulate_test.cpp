#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>

#include "commands/execute_flow.h"
#include "commands/simulate.h"
#include "common/files.h"
#include "oplist/backup_mode.h"
#include "support/flow_fixture.h"

using namespace dd;
using dd::test::FlowFixture;
using dd::test::WriteFile;

TEST(Simulate, BusyAsksToAbortAndStartsNothing) {
  FlowFixture f;
  f.AddPair(f.dir / "a", f.dir / "b");
  f.app.Run.SimulationRunning = true;
  f.screen.answers = {Answer::Yes};
  Simulate(f.app);
  ASSERT_EQ(f.screen.keys(), std::vector<std::string>{"[Abort?]"});
  EXPECT_EQ(f.screen.messages[0].title, f.app.Text("[Simulation]"));
  EXPECT_TRUE(f.app.Run.StopRequested);
  EXPECT_FALSE(f.app.Run.SimulationRunning);

  f.screen.messages.clear();
  f.app.Run.ExecutionRunning = true;
  f.screen.answers = {Answer::No};
  Simulate(f.app);
  EXPECT_EQ(f.screen.messages.at(0).title, f.app.Text("[Execution]"));
  EXPECT_TRUE(f.app.Run.ExecutionRunning);
}

TEST(Simulate, DifferentNumbersOfFoldersStopTheRun) {
  FlowFixture f;
  WriteFile(f.dir / "a/x.txt", "x");
  f.app.Job.SourceFolders = {f.dir / "a", f.dir / "a"};
  f.app.Job.TargetFolders = {f.dir / "b"};
  Simulate(f.app);
  const Message* m = f.screen.find("[same number of folders]");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->icon, Icon::Critical);
  EXPECT_FALSE(f.screen.find("[Simulation done in ]"));
  EXPECT_FALSE(f.app.Run.SimulationRunning);
  EXPECT_TRUE(f.ListFileRecords().empty());
}

TEST(Simulate, MissingFolderAnsweredYesIsCreatedAndComparedAnUncreatableOneSkipsItsPair) {
  FlowFixture f;
  WriteFile(f.dir / "plain", "a regular file");
  WriteFile(f.dir / "s1/one.txt", "1");
  f.AddPair(f.dir / "s1", f.dir / "plain/sub");  // cannot be made: its parent is a file
  WriteFile(f.dir / "src/a.txt", "abc");
  WriteFile(f.dir / "src/sub/b.txt", "b");
  f.AddPair(f.dir / "src", f.dir / "new/deep/target");
  f.screen.answers = {Answer::Yes};
  Simulate(f.app);
  ASSERT_TRUE(f.screen.find("[folders do not exist]"));
  EXPECT_NE(f.screen.find("[folders do not exist]")->prompt.find(f.dir / "new/deep/target"), std::string::npos);
  const Message* m = f.screen.find("[Could not create folders]");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->title, f.app.Text("[Error]"));
  EXPECT_TRUE(IsDirectory(f.dir / "new/deep/target"));
  auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 3u);  // a.txt, sub, sub/b.txt
  for (const auto& r : records) {
    EXPECT_NE(r.find("\t=->\tExtra in F1\t"), std::string::npos) << r;
    EXPECT_NE(r.find("/src/"), std::string::npos) << r;
  }
  EXPECT_EQ(f.app.Run.Pending(OpKind::New, Side::F2).Count, 3);
  EXPECT_TRUE(f.screen.find("[Simulation done in ]"));
}

TEST(Simulate, MissingFolderAnsweredNoStopsAndKeepsTheOldList) {
  FlowFixture f;
  WriteFile(f.app.Files.ToDoFilePath, "old list");
  f.AddPair(f.dir / "nowhere", f.dir / "b");
  f.screen.answers = {Answer::No};
  Simulate(f.app);
  EXPECT_EQ(f.screen.keys(), (std::vector<std::string>{"[folders do not exist]", "[BackUp aborted by user]"}));
  EXPECT_EQ(f.screen.messages[0].kind, MessageKind::CreateMissingFolders);
  EXPECT_TRUE(f.app.Run.StopRequested);
  EXPECT_FALSE(f.app.Run.SimulationRunning);
  // Every way out of the command ends the label timer and hides its stop button.
  EXPECT_FALSE(f.screen.labelTimerOn);
  EXPECT_FALSE(f.screen.stopButtonShown[static_cast<int>(StopButton::Simulation)]);
  EXPECT_EQ(ReadTextFile(f.app.Files.ToDoFilePath), "old list");
  EXPECT_FALSE(PathExists(f.dir / "nowhere"));
}

TEST(Simulate, RootThatCannotBeListedIsNotTakenForAnEmptyFolder) {
  // Taking it for empty would plan to delete everything on the other side.
  FlowFixture f;
  WriteFile(f.dir / "notafolder", "x");
  WriteFile(f.dir / "target/precious.txt", "keep me");
  f.AddPair(f.dir / "notafolder", f.dir / "target");
  test::MakeDirs(f.dir / "tab\tname");
  f.AddPair(f.dir / "tab\tname", f.dir / "target");  // would break every record
  // A NUL byte would cut the root to ".../target" at the system calls.
  WriteFile(f.dir / "source/other.txt", "o");
  f.AddPair(f.dir / "source", f.dir / "target" + std::string(1, '\0') + "x");
  Simulate(f.app);
  EXPECT_TRUE(f.screen.find("[Could not read folders]"));
  EXPECT_TRUE(f.ListFileRecords().empty());
}

TEST(Simulate, StopDuringTheSecondOfThreePairsKeepsWhatWasGathered) {
  FlowFixture f;
  for (int i = 1; i <= 3; ++i) WriteFile(f.dir / ("s" + std::to_string(i) + "/f" + std::to_string(i) + ".txt"), "x");
  for (int i = 1; i <= 3; ++i) f.AddPair(f.dir / ("s" + std::to_string(i)), f.dir / ("t" + std::to_string(i)));
  for (int i = 1; i <= 3; ++i) test::MakeDirs(f.dir / ("t" + std::to_string(i)));
  bool stopAtYield = false;
  f.screen.onPairIcon = [&](int pair, PairIcon icon) {
    if (pair == 1 && icon == PairIcon::Search) stopAtYield = true;
  };
  f.screen.onYield = [&] {
    if (stopAtYield) {
      stopAtYield = false;
      Stoppen(f.app);
    }
  };
  Simulate(f.app);
  auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("f1.txt"), std::string::npos);
  EXPECT_TRUE(f.screen.find("[Aborted]"));
  EXPECT_FALSE(f.screen.find("[Simulation done in ]"));
  EXPECT_FALSE(PathExists(f.app.Files.LogFilePath));
  EXPECT_EQ(f.app.Run.PendingOps(), 1);
  EXPECT_EQ(f.app.ToDo.Rows.size(), 1u);
}

TEST(Simulate, SummaryCountsFilteredAndPendingAndOneStepRunShowsNoBox) {
  FlowFixture f;
  for (int i = 0; i < 12; ++i) WriteFile(f.dir / ("s/keep" + std::to_string(i) + ".txt"), "k");
  for (int i = 0; i < 3; ++i) WriteFile(f.dir / ("s/skip" + std::to_string(i) + ".tmp"), "t");
  f.AddSourceTargetPair();
  f.app.Options.ExclEnabled = true;
  f.app.Options.ExcludeText = ".TMP";
  f.app.Run.OneClickRunning = true;
  Simulate(f.app);
  EXPECT_FALSE(f.screen.find("[Simulation done in ]"));
  std::string summary = f.app.Text("[Excluded Files]") + " \t3\r\n" + f.app.Text("[Operations Pending:]") + " \t12";
  std::string log = ReadTextFile(f.app.Files.LogFilePath);
  EXPECT_NE(log.find("[Operation]\tSimulate\r\n"), std::string::npos);
  EXPECT_NE(log.find(summary + "\r\n\r\n"), std::string::npos) << log;
}

TEST(Simulate, ListFileIsSortedWithTheEmptyFirstElement) {
  FlowFixture f;
  WriteFile(f.dir / "s/b.txt", "b");
  WriteFile(f.dir / "t/gone.txt", "g");
  WriteFile(f.dir / "s/a.txt", "a");
  f.AddSourceTargetPair();
  Simulate(f.app);
  std::string text = ReadTextFile(f.app.Files.ToDoFilePath);
  std::string s = f.dir / "s", t = f.dir / "t";
  EXPECT_EQ(text, "\r\nDelete in F2       \t= x\tExtra in F2\t" + s + "/gone.txt\t" + t + "/gone.txt\t0\t1\r\n" +
                      "Replace/ Copy -> F2\t=->\tExtra in F1\t" + s + "/a.txt\t" + t + "/a.txt\t1\t0\r\n" +
                      "Replace/ Copy -> F2\t=->\tExtra in F1\t" + s + "/b.txt\t" + t + "/b.txt\t1\t0");
}

// A folder that cannot be listed must not read as empty: the mirror would
// delete its copy on the other side. Root can list anything, so the scan runs
// in a child that gave up root.
TEST(Simulate, FolderThatCannotBeListedLeavesItsCopyAlone) {
  FlowFixture f;
  WriteFile(f.dir / "s/locked/secret.txt", "s");
  WriteFile(f.dir / "s/open.txt", "o");
  WriteFile(f.dir / "t/locked/secret.txt", "old copy");
  WriteFile(f.dir / "t/locked/deeper/more.txt", "more");
  WriteFile(f.dir / "t/stale.txt", "x");
  f.AddSourceTargetPair();
  std::filesystem::permissions(f.dir.path(), std::filesystem::perms::all);
  std::filesystem::permissions(f.home, std::filesystem::perms::all);
  std::filesystem::permissions(f.app.Files.ToDoFilePath, std::filesystem::perms::all);
  std::filesystem::permissions(f.dir / "s/locked", std::filesystem::perms::none);

  auto simulate = [&] {
    Simulate(f.app);
    return f.app.Run.UnlistedFolders == 1 ? 0 : 1;
  };
  int unlisted;
  if (::geteuid() == 0) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? simulate() : 2);
    int status = 0;
    ::waitpid(pid, &status, 0);
    unlisted = WIFEXITED(status) ? WEXITSTATUS(status) : 3;
  } else {
    unlisted = simulate();
  }
  std::filesystem::permissions(f.dir / "s/locked", std::filesystem::perms::owner_all);
  EXPECT_EQ(unlisted, 0);
  auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_NE(records[0].find("/t/stale.txt\t"), std::string::npos) << records[0];
  EXPECT_NE(records[1].find("/s/open.txt\t"), std::string::npos) << records[1];
}

TEST(Simulate, PairsWhoseRootsLieInsideEachOtherAreNotCompared) {
  FlowFixture f;
  WriteFile(f.dir / "b/src/only-copy.txt", "precious");
  test::MakeDirs(f.dir / "b/src/backup");
  std::filesystem::create_directory_symlink(f.dir / "b/src", f.dir / "link");
  f.AddPair(f.dir / "b/src", f.dir / "b");                     // source inside its target
  f.AddPair(f.dir / "b/src", f.dir / "b/src/../src/backup/");  // target inside its source
  f.AddPair(f.dir / "link", f.dir / "b/src/");                 // the same folder
  WriteFile(f.dir / "x/new.txt", "n");
  test::MakeDirs(f.dir / "y");
  f.AddPair(f.dir / "x", f.dir / "y");
  Simulate(f.app);

  const Message* m = f.screen.find("[Folders inside each other]");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->icon, Icon::Critical);
  EXPECT_NE(m->prompt.find(f.dir / "link"), std::string::npos);
  EXPECT_EQ(f.app.Run.OverlappingPairs, 3);
  const auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("/x/new.txt\t"), std::string::npos);
  const Message* done = f.screen.find("[Simulation done in ]");
  ASSERT_NE(done, nullptr);
  EXPECT_NE(done->prompt.find(f.app.Text("[Pairs inside each other]") + " \t3"), std::string::npos);
}

TEST(Simulate, PlanThatDeletesMostOfATreeAsksFirstAndNoKeepsThePairOut) {
  FlowFixture f;
  f.SetMode("= =", "=->", "= x", "=->", "= =");  // mirror: target-only files are deleted
  WriteFile(f.dir / "s/keep.txt", "k");
  for (int i = 0; i < 12; ++i) WriteFile(f.dir / ("t/f" + std::to_string(i) + ".txt"), "x");
  WriteFile(f.dir / "t/keep.txt", "k");
  f.AddSourceTargetPair();
  test::MakeDirs(f.dir / "empty");
  WriteFile(f.dir / "backup/one.txt", "1");  // an empty source (an unmounted drive) deletes even one file
  f.AddPair(f.dir / "empty", f.dir / "backup");
  WriteFile(f.dir / "u/new.txt", "n");
  test::MakeDirs(f.dir / "v");
  f.AddPair(f.dir / "u", f.dir / "v");

  f.screen.answers = {Answer::No, Answer::No};
  Simulate(f.app);
  ASSERT_EQ(f.screen.keys(), (std::vector<std::string>{"[Mass deletion]", "[Mass deletion]", "[Simulation done in ]"}));
  const Message& m = f.screen.messages[0];
  EXPECT_EQ(m.buttons, Buttons::YesNo);
  EXPECT_TRUE(m.defaultIsNo);
  EXPECT_NE(m.prompt.find(f.dir / "t" + "\t12 / 13"), std::string::npos) << m.prompt;
  EXPECT_NE(f.screen.messages[1].prompt.find(f.dir / "backup" + "\t1 / 1"), std::string::npos);
  auto records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("/u/new.txt\t"), std::string::npos);
  EXPECT_EQ(f.app.Run.RefusedPairs, 2);

  // Yes plans the deletions; with the guard switched off nobody is asked.
  f.screen.messages.clear();
  f.screen.answers = {Answer::Yes, Answer::Yes};
  Simulate(f.app);
  EXPECT_EQ(f.ListFileRecords().size(), 14u);
  f.screen.messages.clear();
  f.app.settings.MassDeleteGuard = false;
  Simulate(f.app);
  EXPECT_FALSE(f.screen.find("[Mass deletion]"));
  EXPECT_EQ(f.ListFileRecords().size(), 14u);
}
