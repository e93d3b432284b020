#include <csignal>

#include "cli_fixture.h"
#include "support/scenario.h"

using namespace dd;

namespace {

struct Watch : test::Cli {
  // Starts `watch JOB --yes` on the test's program folder, stderr into err.txt.
  pid_t Start(const std::string& job) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      const int err = ::open((dir / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(null, 0), ::dup2(null, 1), ::dup2(err, 2);
      const std::string home = dir / "home";
      ::execl(test::kCli.c_str(), test::kCli.c_str(), "--home", home.c_str(), "watch", job.c_str(), "--yes", "--settle",
              "0.1", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid;
  }
  // Waits (ten seconds at most) until `done` holds while the watch still runs.
  template <class Done>
  void WaitFor(pid_t pid, Done done, const char* what) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the watch ended before " << what;
      ASSERT_LT(std::chrono::steady_clock::now(), end) << "no " << what;
      ::usleep(1000);
    }
  }
  int Interrupt(pid_t pid) {
    ::kill(pid, SIGINT);
    ::kill(pid, SIGCONT);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // How often the watch said it waits for changes: once after each run.
  int Waits() {
    const std::string err = ReadTextFile(dir / "err.txt");
    int count = 0;
    for (std::size_t at = err.find("waiting for changes"); at != std::string::npos;
         at = err.find("waiting for changes", at + 1))
      ++count;
    return count;
  }
  bool Waiting() { return Waits() > 0; }
};

TEST_F(Watch, CtrlCBetweenRunsEndsWithZero) {
  test::MakeTree(dir.path(), {"src/a.txt=a", "dst/"});
  Job("job.ddk", {{dir / "src", dir / "dst"}});
  const pid_t pid = Start(dir / "job.ddk");
  WaitFor(
      pid, [&] { return Waiting(); }, "first run");
  EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "a");
  EXPECT_EQ(Interrupt(pid), 0) << ReadTextFile(dir / "err.txt");
}

TEST_F(Watch, CtrlCDuringARunEndsWithThree) {
  constexpr int kFiles = 500;
  for (int i = 0; i < kFiles / 100; ++i)
    test::Numbered(dir / ("src/f" + std::to_string(i) + "/file"), 100, ".bin", std::string(2000, 'x'));
  test::MakeDirs(dir / "dst");
  Job("job.ddk", {{dir / "src", dir / "dst"}});
  const pid_t pid = Start(dir / "job.ddk");
  // Copies are written under temporary names and renamed by the batch: the first entry in the target
  // shows the run at work, whole batches still to come.
  WaitFor(
      pid, [&] { return IsDirectory(dir / "dst/f0") && !std::filesystem::is_empty(dir / "dst/f0"); }, "copy");
  ::kill(pid, SIGSTOP);
  ASSERT_LT(FilesIn(dir / "dst"), kFiles) << "the run finished before the signal";
  EXPECT_EQ(Interrupt(pid), 3) << ReadTextFile(dir / "err.txt");
}

TEST_F(Watch, ASecondRunOnTheProgramFolderIsRefused) {
  test::MakeTree(dir.path(), {"src/a.txt=a", "dst/"});
  const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  const pid_t pid = Start(dir / "job.ddk");
  WaitFor(
      pid, [&] { return Waiting(); }, "first run");
  const test::Result second = RunHome("sync " + job + " --yes");
  EXPECT_EQ(second.code, 2);
  EXPECT_NE(second.err.find("another Dualdock run"), std::string::npos) << second.err;
  EXPECT_EQ(Interrupt(pid), 0);
}

// Most of a folder deleted in the source while watched: the run is refused and said.
struct MassDeletionWatch : Watch {
  pid_t pid = 0;
  void SetUp() override {
    test::Numbered(dir / "src/many/file", 20, ".txt");
    test::Numbered(dir / "dst/many/file", 20, ".txt");
    test::WriteJob(dir / "job.ddk", {{dir / "src", dir / "dst"}}, {"= =", "=->", "= x", "=->", "= ="});
    pid = Start(dir / "job.ddk");
    WaitFor(
        pid, [&] { return Waiting(); }, "first run");
    for (int i = 0; i < 15; ++i) ::unlink((dir / ("src/many/file" + std::to_string(i) + ".txt")).c_str());
    WaitFor(
        pid, [&] { return ReadTextFile(dir / "err.txt").find("--allow-mass-delete") != std::string::npos; }, "refusal");
  }
};

TEST_F(MassDeletionWatch, TheDeletionsAreNotCarriedOut) {
  WaitFor(
      pid, [&] { return Waits() == 2; }, "end of the refused run");
  EXPECT_EQ(Interrupt(pid), 0);
  EXPECT_EQ(FilesIn(dir / "dst/many"), 20) << "the refused deletions were carried out";
}

TEST_F(MassDeletionWatch, TheWatchGoesOnWithTheNextChange) {
  test::WriteFile(dir / "src/after.txt", "after");
  WaitFor(
      pid, [&] { return PathExists(dir / "dst/after.txt"); }, "copy after the refusal");
  WaitFor(
      pid, [&] { return Waits() == 3; }, "end of the run after the refusal");
  EXPECT_EQ(Interrupt(pid), 0);
}

TEST_F(Watch, OptionsOfOtherCommandsAreRefused) {
  const struct {
    const char* args;
    const char* error;
  } rows[] = {
      {"watch job.ddk --json", "watch does not take --json"},
      {"watch job.ddk --settle soon", "--settle needs a number"},
      {"sync job.ddk --settle 3", "sync does not take --settle"},
      {"watch", "watch needs a job file"},
  };
  for (const auto& row : rows) {
    const test::Result r = Run(row.args);
    EXPECT_EQ(r.code, 2) << row.args;
    EXPECT_NE(r.err.find(row.error), std::string::npos) << row.args << ": " << r.err;
  }
}

TEST_F(Watch, WithoutYesOrATerminalItDoesNotStart) {
  test::MakeTree(dir.path(), {"src/a.txt=a", "dst/"});
  const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  const test::Result r = RunHome("watch " + job);
  EXPECT_EQ(r.code, 2);
  EXPECT_FALSE(PathExists(dir / "dst/a.txt"));
}

}  // namespace
