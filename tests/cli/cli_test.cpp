// End-to-end runs of the built dualdock-cli on real temporary trees.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>

#include "cli/cli_run.h"
#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "job/job_file.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::WriteFile;

namespace {

using test::Quote;
using Result = test::CliResult;

struct Cli : ::testing::Test {
  test::TempDir dir;

  Result Run(const std::string& args) { return test::RunCli(dir, "--home " + Quote(dir / "home") + " " + args); }

  // A job with one pair in the mode "A->B Incremental", written by the core.
  std::string WriteJob(const std::string& source, const std::string& target) {
    test::ScriptedScreen screen;
    App app(screen);
    app.Job.SourceFolders = {source};
    app.Job.TargetFolders = {target};
    app.Modes.AktBackupMode = {"", "= =", "=->", "= x", "=->", "= ="};
    WriteFile(dir / "job.ddk", BuildJobText(app));
    return Quote(dir / "job.ddk");
  }

  std::vector<std::string> Records() const {
    std::vector<std::string> r = Split(ReadTextFile(dir / "home/To Do.txt"), "\r\n");
    std::erase(r, std::string());
    return r;
  }

  int FilesIn(const std::string& folder) const {
    int n = 0;
    for (auto& e : std::filesystem::recursive_directory_iterator(folder)) n += e.is_regular_file();
    return n;
  }
};

}  // namespace

TEST_F(Cli, UsageErrorsAndUnusableJobFilesExitTwo) {
  WriteFile(dir / "bad.ddk", "Dualdock V2.1\r\n\r\nOperation Mode:\r\nIdentical:\t= =\r\n\r\n\r\n");
  WriteFile(dir / "empty.ddk", "");
  const struct {
    std::string args;
    int code;
    std::vector<std::string> said;  // found in the output or the error output
  } cases[] = {{"--help", 0, {"Exit status"}},
               {"frobnicate", 2, {"unknown command frobnicate", "Usage:"}},
               {"simulate", 2, {}},
               {"execute --tolerance 3", 2, {}},
               {"simulate " + Quote(dir / "nope.ddk"), 2, {"does not exist"}},
               {"simulate " + Quote(dir / "bad.ddk"), 2, {"wrong format"}},
               {"simulate " + Quote(dir / "empty.ddk"), 2, {}}};
  for (const auto& c : cases) {
    Result r = Run(c.args);
    EXPECT_EQ(r.code, c.code) << c.args;
    for (const std::string& s : c.said) EXPECT_NE((c.code ? r.err : r.out).find(s), std::string::npos) << c.args;
  }
}

TEST_F(Cli, SimulateWritesThePendingListAndExecuteCarriesItOutOrKeepsWhatFailed) {
  WriteFile(dir / "src/a.txt", "alpha");
  WriteFile(dir / "src/sub/b.txt", "beta");
  WriteFile(dir / "dst/stale.txt", "stale");
  std::string job = WriteJob(dir / "src", dir / "dst");

  Result sim = Run("simulate " + job);
  ASSERT_EQ(sim.code, 0) << sim.err;
  EXPECT_NE(sim.out.find("delete in F2:  1 (5 Byte)"), std::string::npos) << sim.out;
  EXPECT_EQ(Records().size(), 4u);
  EXPECT_TRUE(StartsWith(ReadTextFile(dir / "home/To Do.txt"), "\r\nDelete in F2       \t= x\tExtra in F2\t"));

  // No terminal and no --yes: refused, nothing changed.
  Result refused = Run("execute");
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos);
  EXPECT_TRUE(PathExists(dir / "dst/stale.txt"));

  Result exec = Run("execute --yes");
  ASSERT_EQ(exec.code, 0) << exec.err;
  EXPECT_EQ(ReadTextFile(dir / "dst/sub/b.txt"), "beta");
  EXPECT_FALSE(PathExists(dir / "dst/stale.txt"));
  EXPECT_TRUE(Records().empty());

  // Everything is in step now: a one-step run has nothing to do.
  Result sync = Run("sync " + job + " --yes");
  EXPECT_EQ(sync.code, 0) << sync.err;
  EXPECT_TRUE(Records().empty());

  // Failed operations exit with 1 and stay pending.
  WriteFile(dir / "src/d/x.txt", "x");
  ASSERT_EQ(Run("simulate " + job).code, 0);
  WriteFile(dir / "dst/d", "a file appeared where the folder goes");
  Result failed = Run("execute --yes");
  EXPECT_EQ(failed.code, 1) << failed.out << failed.err;
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_EQ(ReadTextFile(dir / "dst/d"), "a file appeared where the folder goes");
}

TEST_F(Cli, MissingFolderNeedsCreateMissing) {
  WriteFile(dir / "src/a.txt", "a");
  std::string job = WriteJob(dir / "src", dir / "new/target");
  Result no = Run("simulate " + job);
  EXPECT_EQ(no.code, 2);
  EXPECT_NE(no.err.find("--create-missing"), std::string::npos);
  EXPECT_FALSE(PathExists(dir / "new"));
  Result yes = Run("sync " + job + " --create-missing --yes");
  EXPECT_EQ(yes.code, 0) << yes.err;
  EXPECT_EQ(ReadTextFile(dir / "new/target/a.txt"), "a");
}

TEST_F(Cli, InterruptedSyncLosesNothingAndTheNextRunFinishes) {
  constexpr int kFiles = 2000;
  for (int i = 0; i < kFiles; ++i)
    WriteFile(dir / ("src/f" + std::to_string(i / 100) + "/file" + std::to_string(i) + ".bin"), std::string(2000, 'x'));
  std::string job = WriteJob(dir / "src", dir / "dst");
  test::MakeDirs(dir / "dst");

  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0), ::dup2(null, 1), ::dup2(null, 2);
    std::string home = dir / "home", path = dir / "job.ddk";
    ::execl(test::kCli.c_str(), test::kCli.c_str(), "--home", home.c_str(), "sync", path.c_str(), "--yes", nullptr);
    ::_exit(127);
  }
  // Wait for the first copied file, freeze the run there, and interrupt it.
  while (!PathExists(dir / "dst/f0/file0.bin")) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the run ended before it copied anything";
    ::usleep(200);
  }
  ::kill(pid, SIGSTOP);
  ASSERT_LT(FilesIn(dir / "dst"), kFiles) << "the run finished before the signal";
  ::kill(pid, SIGINT);
  ::kill(pid, SIGCONT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_FALSE(Records().empty());

  // No half-written or temporary file is left in the target.
  for (auto& e : std::filesystem::recursive_directory_iterator(dir / "dst")) {
    if (e.is_regular_file()) {
      EXPECT_EQ(std::filesystem::file_size(e.path()), 2000u) << e.path();
      EXPECT_EQ(e.path().filename().string().rfind("file", 0), 0u) << e.path();
    }
  }
  Result again = Run("sync " + job + " --yes");
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(FilesIn(dir / "dst"), kFiles);
}

TEST_F(Cli, PairsInsideEachOtherAreRefused) {
  WriteFile(dir / "b/src/only-copy.txt", "precious");
  Result r = Run("sync " + WriteJob(dir / "b/src", dir / "b/") + " --yes --allow-mass-delete");
  EXPECT_EQ(r.code, 2) << r.err;
  EXPECT_NE(r.err.find("lies inside the other"), std::string::npos) << r.err;
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(ReadTextFile(dir / "b/src/only-copy.txt"), "precious");
}

TEST_F(Cli, MassDeletionIsRefusedUnlessAllowed) {
  // An empty source (an unmounted drive looks like this) would wipe the backup.
  test::MakeDirs(dir / "mnt");
  WriteFile(dir / "backup/a.txt", "a");
  std::string job = WriteJob(dir / "mnt", dir / "backup");
  for (const std::string& command : {"simulate " + job, "sync " + job + " --yes"}) {
    Result r = Run(command);
    EXPECT_EQ(r.code, 2) << command << r.err;
    EXPECT_NE(r.err.find("--allow-mass-delete"), std::string::npos) << r.err;
    EXPECT_TRUE(Records().empty());
  }
  // A list planned under the refusal holds nothing of the pair to execute.
  EXPECT_EQ(Run("execute --yes").code, 0);
  EXPECT_EQ(ReadTextFile(dir / "backup/a.txt"), "a");
  Result allowed = Run("sync " + job + " --yes --allow-mass-delete");
  EXPECT_EQ(allowed.code, 0) << allowed.err;
  EXPECT_FALSE(PathExists(dir / "backup/a.txt"));

  // A plan that deletes 11 of 12 files.
  WriteFile(dir / "src/keep.txt", "k");
  for (int i = 0; i < 11; ++i) WriteFile(dir / ("dst/f" + std::to_string(i)), "x");
  WriteFile(dir / "dst/keep.txt", "k");
  job = WriteJob(dir / "src", dir / "dst");
  Result refused = Run("simulate " + job);
  EXPECT_EQ(refused.code, 2) << refused.err;
  EXPECT_TRUE(Records().empty());
  Result planned = Run("simulate " + job + " --allow-mass-delete");
  EXPECT_EQ(planned.code, 0) << planned.err;
  EXPECT_EQ(Records().size(), 11u);
}
