// End-to-end runs of the built dualdock-cli on real temporary trees.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>

#include "cli/cli_run.h"
#include "common/files.h"
#include "common/text.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

using test::Quote;
using test::RunCli;
using Result = test::CliResult;

// A job with one pair in the mode "A->B Incremental".
std::string WriteJob(const TempDir& dir, const std::string& source, const std::string& target) {
  std::string job = "Dualdock V2.1\r\n\r\nDirectories:\r\n" + source + "\r\n\r\n" + target +
                    "\r\n\r\n\r\nOperation Mode:\r\nIdentical:\t= =\r\nExtraInF1:\t=->\r\nExtraInF2:\t= x\r\n"
                    "NewerInF1:\t=->\r\nNewerInF2:\t= =\r\n\r\n\r\nExclude Files/Folders Name:\r\n0\r\n\r\n\r\n0\r\n"
                    "\r\n\r\n\r\n\r\n\r\nInclude Files/Folders Name:\r\n0\r\n\r\n\r\n0\r\n\r\n\r\n\r\n\r\n\r\n"
                    "Daylight Savings:\r\n1\r\n\r\n\r\n";
  WriteFile(dir / "job.ddk", job);
  return dir / "job.ddk";
}

std::string Home(const TempDir& dir) {
  return "--home " + Quote(dir / "home");
}

std::vector<std::string> Records(const TempDir& dir) {
  std::vector<std::string> r = Split(ReadTextFile(dir / "home/To Do.txt"), "\r\n");
  std::erase(r, std::string());
  return r;
}

}  // namespace

TEST(Cli, HelpAndUsageErrors) {
  TempDir dir;
  Result help = RunCli(dir, "--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  Result bad = RunCli(dir, "frobnicate");
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.err.find("unknown command frobnicate"), std::string::npos);
  EXPECT_NE(bad.err.find("Usage:"), std::string::npos);
  EXPECT_EQ(RunCli(dir, "simulate").code, 2);
  EXPECT_EQ(RunCli(dir, "execute --tolerance 3").code, 2);
}

TEST(Cli, JobFileMissingOrOfTheWrongFormat) {
  TempDir dir;
  Result missing = RunCli(dir, Home(dir) + " simulate " + Quote(dir / "nope.ddk"));
  EXPECT_EQ(missing.code, 2);
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
  WriteFile(dir / "bad.ddk", "Dualdock V2.1\r\n\r\nOperation Mode:\r\nIdentical:\t= =\r\n\r\n\r\n");
  Result bad = RunCli(dir, Home(dir) + " simulate " + Quote(dir / "bad.ddk"));
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.err.find("wrong format"), std::string::npos);
  WriteFile(dir / "empty.ddk", "");
  EXPECT_EQ(RunCli(dir, Home(dir) + " simulate " + Quote(dir / "empty.ddk")).code, 2);
}

TEST(Cli, SimulateWritesThePendingListAndExecuteCarriesItOut) {
  TempDir dir;
  WriteFile(dir / "src/a.txt", "alpha");
  WriteFile(dir / "src/sub/b.txt", "beta");
  WriteFile(dir / "dst/stale.txt", "stale");
  std::string job = WriteJob(dir, dir / "src", dir / "dst");

  Result sim = RunCli(dir, Home(dir) + " simulate " + Quote(job));
  ASSERT_EQ(sim.code, 0) << sim.err;
  EXPECT_NE(sim.out.find("delete in F2:  1 (5 Byte)"), std::string::npos) << sim.out;
  EXPECT_EQ(Records(dir).size(), 4u);
  EXPECT_TRUE(StartsWith(ReadTextFile(dir / "home/To Do.txt"), "\r\nDelete in F2       \t= x\tExtra in F2\t"));

  // No terminal and no --yes: refused, nothing changed.
  Result refused = RunCli(dir, Home(dir) + " execute");
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos);
  EXPECT_TRUE(PathExists(dir / "dst/stale.txt"));

  Result exec = RunCli(dir, Home(dir) + " execute --yes");
  ASSERT_EQ(exec.code, 0) << exec.err;
  EXPECT_EQ(ReadTextFile(dir / "dst/sub/b.txt"), "beta");
  EXPECT_FALSE(PathExists(dir / "dst/stale.txt"));
  EXPECT_TRUE(Records(dir).empty());

  // Everything is in step now: a one-step run has nothing to do.
  Result sync = RunCli(dir, Home(dir) + " sync " + Quote(job) + " --yes");
  EXPECT_EQ(sync.code, 0) << sync.err;
  EXPECT_TRUE(Records(dir).empty());
}

TEST(Cli, MissingFolderNeedsCreateMissing) {
  TempDir dir;
  WriteFile(dir / "src/a.txt", "a");
  std::string job = WriteJob(dir, dir / "src", dir / "new/target");
  Result no = RunCli(dir, Home(dir) + " simulate " + Quote(job));
  EXPECT_EQ(no.code, 2);
  EXPECT_NE(no.err.find("--create-missing"), std::string::npos);
  EXPECT_FALSE(PathExists(dir / "new"));
  Result yes = RunCli(dir, Home(dir) + " sync " + Quote(job) + " --create-missing --yes");
  EXPECT_EQ(yes.code, 0) << yes.err;
  EXPECT_EQ(ReadTextFile(dir / "new/target/a.txt"), "a");
}

TEST(Cli, FailedOperationsExitOneAndStayPending) {
  TempDir dir;
  WriteFile(dir / "src/d/x.txt", "x");
  test::MakeDirs(dir / "dst");
  std::string job = WriteJob(dir, dir / "src", dir / "dst");
  ASSERT_EQ(RunCli(dir, Home(dir) + " simulate " + Quote(job)).code, 0);
  WriteFile(dir / "dst/d", "a file appeared where the folder goes");
  Result r = RunCli(dir, Home(dir) + " execute --yes");
  EXPECT_EQ(r.code, 1) << r.out << r.err;
  EXPECT_EQ(Records(dir).size(), 2u);
  EXPECT_EQ(ReadTextFile(dir / "dst/d"), "a file appeared where the folder goes");
}

TEST(Cli, InterruptedSyncLosesNothingAndTheNextRunFinishes) {
  TempDir dir;
  constexpr int kFiles = 2000;
  for (int i = 0; i < kFiles; ++i)
    WriteFile(dir / ("src/f" + std::to_string(i / 100) + "/file" + std::to_string(i) + ".bin"), std::string(2000, 'x'));
  std::string job = WriteJob(dir, dir / "src", dir / "dst");
  test::MakeDirs(dir / "dst");

  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0), ::dup2(null, 1), ::dup2(null, 2);
    std::string home = dir / "home";
    ::execl(test::kCli.c_str(), test::kCli.c_str(), "--home", home.c_str(), "sync", job.c_str(), "--yes", nullptr);
    ::_exit(127);
  }
  // Wait for the first copied file, freeze the run there, and interrupt it.
  while (!PathExists(dir / "dst/f0/file0.bin")) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the run ended before it copied anything";
    ::usleep(200);
  }
  ::kill(pid, SIGSTOP);
  int copied = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(dir / "dst")) copied += e.is_regular_file();
  ASSERT_LT(copied, kFiles) << "the run finished before the signal";
  ::kill(pid, SIGINT);
  ::kill(pid, SIGCONT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_FALSE(Records(dir).empty());

  // No half-written or temporary file is left in the target.
  for (auto& e : std::filesystem::recursive_directory_iterator(dir / "dst")) {
    if (e.is_regular_file()) {
      EXPECT_EQ(std::filesystem::file_size(e.path()), 2000u) << e.path();
      EXPECT_EQ(e.path().filename().string().rfind("file", 0), 0u) << e.path();
    }
  }
  Result again = RunCli(dir, Home(dir) + " sync " + Quote(job) + " --yes");
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_TRUE(Records(dir).empty());
  copied = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(dir / "dst")) copied += e.is_regular_file();
  EXPECT_EQ(copied, kFiles);
}

TEST(Cli, PairsInsideEachOtherAreRefused) {
  TempDir dir;
  WriteFile(dir / "b/src/only-copy.txt", "precious");
  std::string job = WriteJob(dir, dir / "b/src", dir / "b/");
  Result r = RunCli(dir, Home(dir) + " sync " + Quote(job) + " --yes --allow-mass-delete");
  EXPECT_EQ(r.code, 2) << r.err;
  EXPECT_NE(r.err.find("lies inside the other"), std::string::npos) << r.err;
  EXPECT_TRUE(Records(dir).empty());
  EXPECT_EQ(ReadTextFile(dir / "b/src/only-copy.txt"), "precious");
}

TEST(Cli, MassDeletionIsRefusedUnlessAllowed) {
  TempDir dir;
  // An empty source (an unmounted drive looks like this) would wipe the backup.
  test::MakeDirs(dir / "mnt");
  WriteFile(dir / "backup/a.txt", "a");
  std::string job = WriteJob(dir, dir / "mnt", dir / "backup");
  for (const char* command : {" simulate ", " sync "}) {
    Result r = RunCli(dir, Home(dir) + command + Quote(job) + (command[2] == 'y' ? " --yes" : ""));
    EXPECT_EQ(r.code, 2) << command << r.err;
    EXPECT_NE(r.err.find("--allow-mass-delete"), std::string::npos) << r.err;
    EXPECT_TRUE(Records(dir).empty());
  }
  // A list planned under the refusal holds nothing of the pair to execute.
  EXPECT_EQ(RunCli(dir, Home(dir) + " execute --yes").code, 0);
  EXPECT_EQ(ReadTextFile(dir / "backup/a.txt"), "a");
  Result allowed = RunCli(dir, Home(dir) + " sync " + Quote(job) + " --yes --allow-mass-delete");
  EXPECT_EQ(allowed.code, 0) << allowed.err;
  EXPECT_FALSE(PathExists(dir / "backup/a.txt"));

  // A plan that deletes 11 of 12 files.
  WriteFile(dir / "src/keep.txt", "k");
  for (int i = 0; i < 11; ++i) WriteFile(dir / ("dst/f" + std::to_string(i)), "x");
  WriteFile(dir / "dst/keep.txt", "k");
  job = WriteJob(dir, dir / "src", dir / "dst");
  Result refused = RunCli(dir, Home(dir) + " simulate " + Quote(job));
  EXPECT_EQ(refused.code, 2) << refused.err;
  EXPECT_TRUE(Records(dir).empty());
  Result planned = RunCli(dir, Home(dir) + " simulate " + Quote(job) + " --allow-mass-delete");
  EXPECT_EQ(planned.code, 0) << planned.err;
  EXPECT_EQ(Records(dir).size(), 11u);
}
