// The pending list carried out by the job that planned it, one run per program
// folder, and runs that say so when a program file could not be written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "cli/cli_fixture.h"
#include "common/files.h"
#include "support/builders.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;

namespace {

struct PlanRecord : Cli {
  std::string List() const { return dir / "home/To Do.txt"; }
  void AppendRecord(const std::string& record) { WriteFile(List(), ReadTextFile(List()) + "\r\n" + record); }
  // The runs here find the desktop's trash below the test's folder.
  Result RunWithTrash(const std::string& args) {
    return Shell("HOME=" + Quote(dir.path()) + " XDG_DATA_HOME=" + Quote(dir / "data") + " " + Quote(kCli) +
                 " --home " + Quote(dir / "home") + " " + args);
  }
};

TEST_F(PlanRecord, ExecuteWithoutAJobKeepsTheOptionsOfTheJobThatPlannedTheList) {
  MakeDirs(dir / "data");
  const struct {
    const char* name;
    std::vector<std::string> tree;
    std::string jobSwitches, simulateSwitches;
    std::string file, content;  // below the case's folder
  } cases[] = {
      // Deleted for good by a run that forgot the job's trash.
      {"trash",
       {"src/keep.txt=k@2000000000", "dst/keep.txt=k@2000000000", "dst/stale.txt=stale"},
       "--trash",
       "",
       "../data/Trash/files/stale.txt",
       "stale"},
      // Four seconds apart: newer under a tolerance of 3, "changed since the simulation" under the default 5.
      {"tolerance", {"src/a.txt=new@2000000004", "dst/a.txt=old@2000000000"}, "", "--tolerance 3", "dst/a.txt", "new"},
      // An hour apart: newer without the daylight-saving rule, equal with it.
      {"daylight",
       {"src/a.txt=new@2000003600", "dst/a.txt=old@2000000000"},
       "--no-daylight-saving",
       "",
       "dst/a.txt",
       "new"},
  };
  for (const auto& c : cases) {
    const std::string root = dir / c.name;
    MakeTree(root, c.tree);
    const std::string job = Quote(root + "/job.ddk");
    ASSERT_EQ(
        Run("job new " + job + " --pair " + Quote(root + "/src") + " " + Quote(root + "/dst") + " " + c.jobSwitches)
            .code,
        0);
    Result sim = RunWithTrash("simulate " + job + " " + c.simulateSwitches);
    ASSERT_EQ(sim.code, 0) << c.name << sim.err;
    ASSERT_EQ(Records().size(), 1u) << c.name;
    Result exec = RunWithTrash("execute --yes");
    EXPECT_EQ(exec.code, 0) << c.name << exec.out << exec.err;
    EXPECT_EQ(ReadTextFile(root + "/" + c.file), c.content) << c.name;
    EXPECT_TRUE(Records().empty()) << c.name;
  }
  EXPECT_FALSE(PathExists(dir / "trash/dst/stale.txt"));
}

// A record of a pair the job does not hold, added to its list before the execution.
struct AddedRecord : PlanRecord {
  std::string added;
  Result exec;
  void SetUp() override {
    MakeTree(dir.path(), {"src/a.txt=a", "dst/", "other/s/victim.txt=victim", "other/t/victim.txt=victim"});
    const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
    ASSERT_EQ(RunHome("simulate " + job).code, 0);
    added = Rec("= x", "Extra in F2", dir / "other/s/victim.txt", dir / "other/t/victim.txt", "6", "6");
    AppendRecord(added);
    exec = RunHome("execute --yes");
  }
};

TEST_F(AddedRecord, IsRefused) {
  EXPECT_EQ(ReadTextFile(dir / "other/t/victim.txt"), "victim");
  EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "a");
}

TEST_F(AddedRecord, CountsAsAFailure) {
  EXPECT_EQ(exec.code, 1) << exec.out << exec.err;
}

TEST_F(AddedRecord, StaysInTheList) {
  EXPECT_EQ(Records(), std::vector<std::string>{added});
}

TEST_F(PlanRecord, ASourceRootThatIsALinkNamedLikeItsTargetIsCarriedOut) {
  MakeTree(dir.path(), {"data/docs/a.txt=a", "docs->" + dir / "data/docs", "backup/docs/"});
  const std::string job = Job("job.ddk", {{dir / "docs", dir / "backup/docs"}});
  ASSERT_EQ(RunHome("simulate " + job).code, 0);
  Result exec = RunHome("execute --yes");
  EXPECT_EQ(exec.code, 0) << exec.out << exec.err;
  EXPECT_EQ(ReadTextFile(dir / "backup/docs/a.txt"), "a");
}

TEST_F(PlanRecord, ExecuteRefusesAListOfNoKnownJobOrOfAnotherJob) {
  MakeTree(dir.path(), {"src/a.txt=a", "dst/stale.txt=stale", "b/src/", "b/dst/"});
  const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  const std::string other = Job("other.ddk", {{dir / "b/src", dir / "b/dst"}});
  ASSERT_EQ(RunHome("simulate " + job).code, 0);
  const struct {
    std::string args;
    bool dropRecord;
    int code;
    std::string said;
  } cases[] = {
      {"execute " + other + " --yes", false, 2, "planned by the job"},
      {"execute --yes", true, 2, "no record of the job"},
      {"execute " + job + " --yes", true, 2, "no record of the job"},
  };
  for (const auto& c : cases) {
    if (c.dropRecord) std::filesystem::remove(dir / "home/To Do Plan.txt");
    Result r = RunHome(c.args);
    EXPECT_EQ(r.code, c.code) << c.args << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << c.args << r.err;
    EXPECT_TRUE(PathExists(dir / "dst/stale.txt")) << c.args;
    EXPECT_EQ(Records().size(), 2u) << c.args;
  }
  ASSERT_EQ(RunHome("simulate " + job).code, 0);
  Result own = RunHome("execute " + job + " --yes");
  EXPECT_EQ(own.code, 0) << own.err;
  EXPECT_FALSE(PathExists(dir / "dst/stale.txt"));
  EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "a");
}

// An execution of 500 copies held while a second run starts on the same program folder.
struct SecondRun : PlanRecord {
  Result second;
  int status = 0;
  void SetUp() override {
    for (int i = 0; i < 5; ++i)
      Numbered(dir / ("a/src/f" + std::to_string(i) + "/file"), 100, ".bin", std::string(2000, 'x'));
    MakeTree(dir.path(), {"a/dst/", "b/src/new.txt=b", "b/dst/"});
    const std::string jobA = dir / "a.ddk";
    WriteJob(jobA, {{dir / "a/src", dir / "a/dst"}});
    const std::string jobB = Job("b.ddk", {{dir / "b/src", dir / "b/dst"}});
    ASSERT_EQ(RunHome("simulate " + Quote(jobA)).code, 0);

    const pid_t pid = Spawn({"execute", "--yes"});
    ASSERT_GT(pid, 0);
    // The first folder made shows the execution under way; it is held there while the second run starts.
    while (!PathExists(dir / "a/dst/f0")) {
      ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the execution ended before it began copying";
      ::usleep(200);
    }
    ::kill(pid, SIGSTOP);
    second = RunHome("simulate " + jobB);
    ::kill(pid, SIGCONT);
    ::waitpid(pid, &status, 0);
  }
};

TEST_F(SecondRun, IsRefusedAtOnce) {
  EXPECT_EQ(second.code, 2);
  EXPECT_NE(second.err.find("another Dualdock run uses the program folder"), std::string::npos) << second.err;
  EXPECT_FALSE(PathExists(dir / "b/dst/new.txt"));
}

TEST_F(SecondRun, LeavesTheFirstRunToFinishItsList) {
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(FilesIn(dir / "a/dst"), 500);
}

TEST_F(PlanRecord, ASimulationWhoseListOrRecordCannotBeWrittenFails) {
  // A folder with something in it stands at the file's name: no write replaces it, not even root's.
  for (const std::string name : {"To Do.txt", "To Do Plan.txt"}) {
    TempDir scratch;
    MakeTree(scratch.path(), {"src/a.txt=a", "dst/", "home/" + name + "/x=x"});
    WriteJob(scratch / "job.ddk", {{scratch / "src", scratch / "dst"}});
    const Result r = Run("--home " + Quote(scratch / "home") + " simulate " + Quote(scratch / "job.ddk"));
    EXPECT_EQ(r.code, 2) << name << r.out << r.err;
    EXPECT_NE(r.err.find(scratch / "home/" + name), std::string::npos) << name << r.err;
    EXPECT_TRUE(ListRecords(scratch / "home/To Do.txt").empty()) << name;
  }
}

TEST_F(PlanRecord, ARecordWhoseOperationTextDisagreesWithItsCodeIsDamage) {
  MakeTree(dir.path(), {"src/", "dst/stale.txt=stale"});
  const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  ASSERT_EQ(RunHome("simulate " + job + " --allow-mass-delete").code, 0);
  std::string record = Rec("= x", "Extra in F2", dir / "src/stale.txt", dir / "dst/stale.txt", "0", "5");
  record.replace(0, record.find('\t'), "Replace/ Copy -> F2");
  WriteFile(List(), record);

  Result exec = RunHome("execute --yes --json");
  EXPECT_NE(exec.code, 0) << exec.out << exec.err;
  EXPECT_EQ(JsonFields(exec.out, "d['pending']['total']['count']"), "0\n");
  EXPECT_EQ(ReadTextFile(dir / "dst/stale.txt"), "stale");
}

}  // namespace
