// End-to-end runs of the built dualdock-cli on real temporary trees, with no terminal and no standard input.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "cli/cli_fixture.h"
#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "job/job_file.h"
#include "support/builders.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;

namespace {

TEST_F(Cli, HelpPrintsTheExitStatuses) {
  Result r = Run("--help");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("Exit status"), std::string::npos);
}

struct Refusal {
  std::string args;
  std::vector<std::string> said;  // found in the error output
};

void ExpectExitTwo(Cli& t, const std::vector<Refusal>& cases) {
  for (const auto& c : cases) {
    Result r = c.args.starts_with("job") ? t.Run(c.args) : t.RunHome(c.args);
    EXPECT_EQ(r.code, 2) << c.args;
    EXPECT_FALSE(r.err.empty()) << c.args;
    for (const std::string& s : c.said) EXPECT_NE(r.err.find(s), std::string::npos) << c.args;
  }
}

TEST_F(Cli, UsageErrorsExitTwo) {
  const std::string newJob = "job new " + Quote(dir / "new.ddk");
  ExpectExitTwo(*this, {{"frobnicate", {"unknown command frobnicate", "Usage:"}},
                        {"simulate", {}},
                        {"execute --tolerance 3", {}},
                        {newJob + " --pair /a /b --mode '= =,=->,= x,=->,==>'", {}},  // no such code
                        {newJob + " --pair /a /b --mode '= =,= x,= x,=->,= ='", {}},  // nothing in F2 to delete
                        {newJob + " --pair /a", {}},
                        {newJob + " --pair /a /b --exclude ''", {}}});
  EXPECT_FALSE(PathExists(dir / "new.ddk"));
}

TEST_F(Cli, UnusableJobFilesExitTwo) {
  MakeTree(dir.path(), {"bad.ddk=Dualdock V2.1\r\n\r\nOperation Mode:\r\nIdentical:\t= =\r\n\r\n\r\n", "empty.ddk="});
  ExpectExitTwo(*this, {{"simulate " + Quote(dir / "nope.ddk"), {"does not exist"}},
                        {"simulate " + Quote(dir / "bad.ddk"), {"wrong format"}},
                        {"simulate " + Quote(dir / "empty.ddk"), {}},
                        {"job show " + Quote(dir / "nope.ddk"), {}}});
}

// src holds a.txt and sub/b.txt to copy, dst a stale file to delete; sizes apart, so that no new file and
// stale one of one size and time are planned as one file moved.
struct SimulatedJob : Cli {
  std::string job;
  Result sim;
  void SetUp() override {
    MakeTree(dir.path(), {"src/a.txt=alphabet", "src/sub/b.txt=beta", "dst/stale.txt=stale"});
    job = Job("job.ddk", {{dir / "src", dir / "dst"}});
    sim = RunHome("simulate " + job);
    ASSERT_EQ(sim.code, 0) << sim.err;
  }
};

TEST_F(SimulatedJob, SimulateWritesThePendingList) {
  EXPECT_NE(sim.out.find("delete in F2:  1 (5 Byte)"), std::string::npos) << sim.out;
  EXPECT_EQ(Records().size(), 4u);
  EXPECT_TRUE(StartsWith(ReadTextFile(dir / "home/To Do.txt"), "\r\nDelete in F2       \t= x\tExtra in F2\t"));
}

// No terminal and no --yes: refused, nothing changed.
TEST_F(SimulatedJob, ExecuteWithoutYesIsRefused) {
  Result refused = RunHome("execute");
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos);
  EXPECT_TRUE(PathExists(dir / "dst/stale.txt"));
}

TEST_F(SimulatedJob, ExecuteCarriesOutThePendingList) {
  Result exec = RunHome("execute --yes");
  ASSERT_EQ(exec.code, 0) << exec.err;
  EXPECT_EQ(ReadTextFile(dir / "dst/sub/b.txt"), "beta");
  EXPECT_FALSE(PathExists(dir / "dst/stale.txt"));
  EXPECT_TRUE(Records().empty());
}

TEST_F(SimulatedJob, ASyncInStepHasNothingToDo) {
  ASSERT_EQ(RunHome("execute --yes").code, 0);
  EXPECT_EQ(RunHome("sync " + job + " --yes").code, 0);
  EXPECT_TRUE(Records().empty());
}

// After the list was carried out, d/x.txt is planned and a file then takes the place of the folder d.
struct FailingExecution : SimulatedJob {
  Result failed;
  void SetUp() override {
    SimulatedJob::SetUp();
    ASSERT_EQ(RunHome("execute --yes").code, 0);
    MakeTree(dir.path(), {"src/d/x.txt=x"});
    ASSERT_EQ(RunHome("simulate " + job).code, 0);
    MakeTree(dir.path(), {"dst/d=a file appeared where the folder goes"});
    failed = RunHome("execute --yes");
  }
};

TEST_F(FailingExecution, ExitsOne) {
  EXPECT_EQ(failed.code, 1) << failed.out << failed.err;
}

TEST_F(FailingExecution, KeepsTheFailedOperationsPending) {
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_EQ(ReadTextFile(dir / "dst/d"), "a file appeared where the folder goes");
}

// An empty source (an unmounted drive looks like this) would wipe the backup; another plan deletes 11 of 12;
// pairs inside each other or crossing would undo each other.
struct UnsafeRuns : Cli {
  std::string missing, empty, most;
  void SetUp() override {
    MakeTree(dir.path(), {"src/a.txt=a", "src/keep.txt=k", "dst/keep.txt=k", "mnt/", "backup/a.txt=a",
                          "b/src/only-copy.txt=precious", "x/new-in-x.txt=x", "y/new-in-y.txt=y"});
    test::Numbered(dir / "dst/f", 11);
    missing = Job("missing.ddk", {{dir / "src", dir / "new/target"}});
    empty = Job("empty.ddk", {{dir / "mnt", dir / "backup"}});
    most = Job("most.ddk", {{dir / "src", dir / "dst"}});
  }
  // Runs every unsafe case without its permission; `each` sees the result.
  void RunRefused(const std::function<void(const std::string&, const char*, const Result&)>& each) {
    const std::pair<std::string, const char*> cases[] = {
        {"simulate " + missing, "--create-missing"},
        {"sync " + Job("inside.ddk", {{dir / "b/src", dir / "b/"}}) + " --yes --allow-mass-delete",
         "lies inside the other"},
        {"simulate " + empty, "--allow-mass-delete"},
        {"sync " + empty + " --yes", "--allow-mass-delete"},
        {"simulate " + most, "--allow-mass-delete"},
        // Each pair would delete the other's new file as extra in its target.
        {"sync " + Job("crossing.ddk", {{dir / "x", dir / "y"}, {dir / "y", dir / "x"}}) + " --yes",
         "lies inside the other"}};
    for (const auto& [args, hint] : cases) each(args, hint, RunHome(args));
  }
};

TEST_F(UnsafeRuns, AreRefusedWithTheOptionThatAllowsThem) {
  RunRefused([](const std::string& args, const char* hint, const Result& r) {
    EXPECT_EQ(r.code, 2) << args << r.err;
    EXPECT_NE(r.err.find(hint), std::string::npos) << r.err;
  });
}

TEST_F(UnsafeRuns, PlanNothing) {
  RunRefused([this](const std::string& args, const char*, const Result&) { EXPECT_TRUE(Records().empty()) << args; });
}

// A list planned under the refusal holds nothing to execute.
TEST_F(UnsafeRuns, LeaveNothingToExecute) {
  RunRefused([](const std::string&, const char*, const Result&) {});
  EXPECT_EQ(RunHome("execute --yes").code, 0);
  EXPECT_FALSE(PathExists(dir / "new"));
  EXPECT_EQ(ReadTextFile(dir / "backup/a.txt"), "a");
  EXPECT_EQ(ReadTextFile(dir / "b/src/only-copy.txt"), "precious");
  EXPECT_EQ(FilesIn(dir / "dst"), 12);
  EXPECT_EQ(test::Listing(dir / "x"), std::vector<std::string>{"new-in-x.txt=x"});
  EXPECT_EQ(test::Listing(dir / "y"), std::vector<std::string>{"new-in-y.txt=y"});
}

TEST_F(UnsafeRuns, GoAheadWhenAllowed) {
  EXPECT_EQ(RunHome("sync " + missing + " --create-missing --yes").code, 0);
  EXPECT_EQ(ReadTextFile(dir / "new/target/a.txt"), "a");
  EXPECT_EQ(RunHome("sync " + empty + " --yes --allow-mass-delete").code, 0);
  EXPECT_FALSE(PathExists(dir / "backup/a.txt"));
  EXPECT_EQ(RunHome("simulate " + most + " --allow-mass-delete").code, 0);
  EXPECT_EQ(Records().size(), 12u);
}

// 2000 files, a sync interrupted after its first copy.
struct InterruptedSync : Cli {
  static constexpr int kFiles = 2000;
  int status = 0;
  void SetUp() override {
    for (int i = 0; i < kFiles / 100; ++i)
      test::Numbered(dir / ("src/f" + std::to_string(i) + "/file"), 100, ".bin", std::string(2000, 'x'));
    Job("job.ddk", {{dir / "src", dir / "dst"}});
    test::MakeDirs(dir / "dst");
    const pid_t pid = Spawn({"sync", dir / "job.ddk", "--yes"});
    ASSERT_GT(pid, 0);
    // Wait for the first copied file, freeze the run there, and interrupt it.
    while (!PathExists(dir / "dst/f0/file0.bin")) {
      ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the run ended before it copied anything";
      ::usleep(200);
    }
    ::kill(pid, SIGSTOP);
    ASSERT_LT(FilesIn(dir / "dst"), kFiles) << "the run finished before the signal";
    ::kill(pid, SIGINT);
    ::kill(pid, SIGCONT);
    ::waitpid(pid, &status, 0);
  }
};

TEST_F(InterruptedSync, EndsWithThree) {
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
}

TEST_F(InterruptedSync, KeepsTheRestPending) {
  EXPECT_FALSE(Records().empty());
}

// No half-written or temporary file is left in the target.
TEST_F(InterruptedSync, LeavesOnlyWholeCopies) {
  for (auto& e : std::filesystem::recursive_directory_iterator(dir / "dst")) {
    if (e.is_regular_file()) {
      EXPECT_EQ(std::filesystem::file_size(e.path()), 2000u) << e.path();
      EXPECT_TRUE(e.path().filename().string().starts_with("file")) << e.path();
    }
  }
}

TEST_F(InterruptedSync, IsFinishedByTheNextRun) {
  Result again = RunHome("sync " + Quote(dir / "job.ddk") + " --yes");
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(FilesIn(dir / "dst"), kFiles);
}

// A kill leaves complete copies under temporary names beside their targets; the next run must neither
// sync them (a two-way mode would copy them into the source) nor keep them.
TEST_F(Cli, AKilledRunLeavesNoTemporaryCopyAfterTheNextRun) {
  constexpr int kFiles = 600;
  test::Numbered(dir / "src/file", kFiles, ".bin", std::string(4000, 'n'));
  test::Numbered(dir / "dst/file", kFiles, ".bin", "old");
  for (int i = 0; i < kFiles; ++i) test::SetMTime(dir / ("dst/file" + std::to_string(i) + ".bin"), 1600000000);
  test::WriteJob(dir / "job.ddk", {{dir / "src", dir / "dst"}}, {"= =", "=->", "<-=", "=->", "<-="});
  auto temporaries = [&] {
    std::vector<std::string> found;
    for (const std::string& folder : {dir / "src", dir / "dst"})
      for (auto& e : std::filesystem::recursive_directory_iterator(folder))
        if (e.path().filename().string().starts_with(".dualdock-copy-")) found.push_back(e.path().string());
    return found;
  };
  const pid_t pid = Spawn({"sync", dir / "job.ddk", "--yes"});
  ASSERT_GT(pid, 0);
  // Replacements wait under their temporary names until their batch is on the disk: kill the run then.
  while (temporaries().empty()) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the run ended before it wrote a temporary copy";
  }
  ::kill(pid, SIGKILL);
  ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
  ASSERT_FALSE(temporaries().empty()) << "the kill came too late to leave anything";

  Result again = RunHome("sync " + Quote(dir / "job.ddk") + " --yes");
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_EQ(temporaries(), std::vector<std::string>{});
  EXPECT_EQ(test::Listing(dir / "src"), test::Listing(dir / "dst"));
}

// Names the list cannot carry are left out, so the trees are not in step: each is named, and the run is no success.
struct SkippedNames : Cli {
  std::string job;
  void SetUp() override {
    MakeTree(dir.path(), {"src/a.txt=a", "src/new\nline.txt=n", "src/sub/tab\there.txt=t", "dst/"});
    job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  }
};

TEST_F(SkippedNames, AreNamed) {
  Result sim = RunHome("simulate " + job);
  EXPECT_NE(sim.err.find(": " + dir / "src/new\\nline.txt\n"), std::string::npos) << sim.err;
  EXPECT_NE(sim.err.find(": " + dir / "src/sub/tab\\there.txt\n"), std::string::npos) << sim.err;
}

TEST_F(SkippedNames, FailASimulation) {
  EXPECT_EQ(RunHome("simulate " + job).code, 1);
}

TEST_F(SkippedNames, FailASyncThatCopiesTheRest) {
  Result sync = RunHome("sync " + job + " --yes --json");
  EXPECT_EQ(sync.code, 1) << sync.err;
  EXPECT_EQ(JsonFields(sync.out, "d['exit_status'], d['skipped_names'], d['done']['new']['count']"), "1 2 2\n");
  EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "a");
}

// A job written by job new in the test's folder, with relative and absolute pairs and every option set.
struct NewJob : Cli {
  std::string job = Quote(dir / "job.ddk");
  Result made;
  void SetUp() override {
    made = Shell("cd " + Quote(dir.path()) + " && " + Quote(kCli) +
                 " job new job --pair src 'two words/' --pair /abs/a /abs/b --mode '= =, x =,<-=,=->,<-='"
                 " --exclude .tmp --exclude '~$' --include photos --case-sensitive-include --no-daylight-saving"
                 " --trash");
    ASSERT_EQ(made.code, 0) << made.err;
  }
};

TEST_F(NewJob, SaysWhereItWroteTheJob) {
  EXPECT_EQ(made.out, "Job written: job.ddk\n");
}

TEST_F(NewJob, JobShowGivesBackEveryField) {
  Result shown = Run("job show " + job);
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_EQ(shown.out, "Job file: " + dir / "job.ddk" + "\nFolder pairs: 2\n  1 source: " + dir / "src" +
                           "\n  1 target: " + dir / "two words" +
                           "\n"
                           "  2 source: /abs/a\n  2 target: /abs/b\n"
                           "Mode: user defined (--mode \"= =,x =,<-=,=->,<-=\")\n"
                           "  Identical: \"= =\" do nothing\n"
                           "  ExtraInF1: \"x =\" delete in source\n"
                           "  ExtraInF2: \"<-=\" copy to source\n"
                           "  NewerInF1: \"=->\" copy to target\n"
                           "  NewerInF2: \"<-=\" copy to source\n"
                           "Exclude: on, case-insensitive, 2 names\n  .tmp\n  ~$\n"
                           "Include: on, case-sensitive, 1 name\n  photos\n"
                           "Daylight saving: off\n"
                           "Deleted and replaced files to the trash: on\n"
                           "Compare by content (--checksum): off\n"
                           "Read copies back (--verify): off\n");
}

// Job show reads through the core; saved again by it, the job is the same file byte for byte.
TEST_F(NewJob, TheCoreWritesTheSameFile) {
  test::ScriptedScreen screen;
  App app(screen);
  ASSERT_EQ(LoadJobFile(app, dir / "job.ddk"), JobLoadStatus::Loaded);
  EXPECT_EQ(BuildJobText(app), ReadTextFile(dir / "job.ddk"));
}

TEST_F(NewJob, OnlyForceReplacesAJob) {
  const std::string first = ReadTextFile(dir / "job.ddk");
  Result again = Run("job new " + job + " --pair /c /d --mode synchronize");
  EXPECT_EQ(again.code, 2);
  EXPECT_NE(again.err.find("--force"), std::string::npos);
  EXPECT_EQ(ReadTextFile(dir / "job.ddk"), first);
  ASSERT_EQ(Run("job new " + job + " --pair /c /d --mode synchronize --force").code, 0);
  EXPECT_NE(Run("job show " + job).out.find("Mode: synchronize (--mode \"= =,=->,= x,=->,<-=\")"), std::string::npos);
}

// Boxes without names show placeholders in the window; here they hold no names.
TEST_F(NewJob, AJobWithoutNamesShowsEmptyFilters) {
  ASSERT_EQ(Run("job new " + job + " --pair /c /d --mode synchronize --force").code, 0);
  EXPECT_NE(Run("job show " + job)
                .out.find("Exclude: off, case-insensitive, 0 names\nInclude: off, case-insensitive, 0 names\n"),
            std::string::npos);
}

// A pair src -> dst with two files to copy (one of a name that is no UTF-8) and one to delete, under a job
// whose name is no UTF-8 either.
struct Reports : Cli {
  std::string job = Quote(dir / "job\xc3\xa9\xfe\x01.ddk");
  void SetUp() override {
    MakeTree(dir.path(), {"src/a.txt=alphabet", "src/b\xff.txt=be", "dst/stale.txt=stale"});
    ASSERT_EQ(Run("job new " + job + " --pair " + Quote(dir / "src") + " " + Quote(dir / "dst")).code, 0);
  }
};

TEST_F(Reports, TheJsonReportOfASimulationParses) {
  Result sim = RunHome("simulate " + job + " --json");
  ASSERT_EQ(sim.code, 0) << sim.err;
  EXPECT_EQ(JsonFields(sim.out,
                       "d['command'], d['exit_status'], d['pending']['new_in_f2'], d['pending']['delete_in_f2'],"
                       " d['pending']['total']['count'], d['failed_operations'], d['failures'], d['errors'],"
                       " os.fsencode(d['job'])[-11:]"),
            "simulate 0 {'count': 2, 'bytes': 10} {'count': 1, 'bytes': 5} 3 0 [] [] b'job\\xc3\\xa9\\xfe\\x01.ddk'\n");
}

TEST_F(Reports, TheJsonReportOfAMissingJobParses) {
  Result missing = RunHome("sync " + Quote(dir / "none.ddk") + " --yes --json");
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(JsonFields(missing.out, "d['exit_status'], len(d['errors']), 'does not exist' in d['errors'][0]"),
            "2 1 True\n");
}

TEST_F(Reports, QuietPrintsNothing) {
  ASSERT_EQ(RunHome("simulate " + job).code, 0);
  Result quiet = RunHome("execute --yes --quiet");
  EXPECT_EQ(quiet.code, 0) << quiet.err;
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(ReadTextFile(dir / "dst/b\xff.txt"), "be");
}

}  // namespace
