// The program folder is shared by every run of the program: one command at a
// time holds it, and a command carries out the list that is on disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "common/files.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "flows/todo_files.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "window_rules/todo_view.h"

using namespace dd;
using namespace dd::test;

namespace {

// Another process that holds the lock on the program folder until it is destroyed.
class ForeignRun {
 public:
  explicit ForeignRun(const std::string& lockFile) {
    int up[2], down[2];
    EXPECT_EQ(::pipe(up), 0);
    EXPECT_EQ(::pipe(down), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CREAT, 0644);
      const bool locked = fd >= 0 && ::flock(fd, LOCK_EX) == 0;
      char c = locked ? '1' : '0';
      (void)!::write(up[1], &c, 1);
      (void)!::read(down[0], &c, 1);
      ::_exit(0);
    }
    release_ = down[1];
    char c = 0;
    EXPECT_EQ(::read(up[0], &c, 1), 1);
    EXPECT_EQ(c, '1');
    ::close(up[0]), ::close(up[1]), ::close(down[0]);
  }
  ~ForeignRun() {
    (void)!::write(release_, "x", 1);
    ::close(release_);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
};

TEST(OneRunPerProgramFolder, EveryCommandRefusesAtOnceWhileAnotherRunHoldsIt) {
  FlowFixture f;
  f.SetMirrorMode();
  Simulated(f, {"s/new.txt=new", "t/stale.txt=stale"});
  WriteFile(f.dir / "saved.txt", Rec("= x", "Extra in F2", f.dir / "s/gone", f.dir / "t/stale.txt", "0", "5"));
  const std::string list = ReadTextFile(f.app.Files.ToDoFilePath);
  const ForeignRun other(f.app.Files.Folder + "/Dualdock.lock");
  const std::pair<const char*, std::function<void()>> commands[] = {
      {"simulate", [&] { Simulate(f.app); }},
      {"execute", [&] { EXPECT_EQ(Execute(f.app).outcome, RunOutcome::NotRun); }},
      {"one-step run", [&] { EXPECT_EQ(ExecuteOneStep(f.app).outcome, RunOutcome::NotRun); }},
      {"open list", [&] { OpenListCommand(f.app, f.dir / "saved.txt"); }},
      {"save list", [&] { EXPECT_TRUE(SaveListCommand(f.app, f.dir / "copy.txt")); }},
      {"remove rows", [&] { EXPECT_EQ(RemoveSelectedRows(f.app, {0}), 0); }},
  };
  for (const auto& [name, command] : commands) {
    f.screen.messages.clear();
    command();
    EXPECT_EQ(f.screen.keys(), std::vector<std::string>{"[Program folder in use]"}) << name;
    EXPECT_EQ(ReadTextFile(f.app.Files.ToDoFilePath), list) << name;
  }
  EXPECT_EQ(Listing(f.dir / "t"), std::vector<std::string>{"stale.txt=stale"});
  EXPECT_FALSE(PathExists(f.dir / "copy.txt"));
}

TEST(OneRunPerProgramFolder, ExecuteCarriesOutTheListOnDiskNotTheOneAnotherRunReplaced) {
  FlowFixture f;
  f.SetMirrorMode();
  Simulated(f, {"t/stale.txt=stale"});
  // Another run on the same program folder plans its own pair meanwhile.
  ScriptedScreen otherScreen;
  App other(otherScreen);
  other.Files.SetFolder(f.app.Files.Folder);
  other.Modes.CurrentBackupMode = f.app.Modes.CurrentBackupMode;
  MakeTree(f.dir.path(), {"b/s/", "b/t/extra.txt=extra"});
  other.Job.SourceFolders = {f.dir / "b/s"};
  other.Job.TargetFolders = {f.dir / "b/t"};
  other.settings.MassDeleteGuard = false;
  Simulate(other);
  const std::vector<std::string> planned = f.ListFileRecords();
  ASSERT_EQ(planned.size(), 1u);

  // This run's own list is gone from disk: it is not carried out, and the other's is not overwritten.
  const RunResult result = Execute(f.app);
  EXPECT_EQ(ReadTextFile(f.dir / "t/stale.txt"), "stale");
  EXPECT_EQ(ReadTextFile(f.dir / "b/t/extra.txt"), "extra");
  EXPECT_EQ(result, (RunResult{RunOutcome::Done, 1}));
  EXPECT_EQ(f.ListFileRecords(), planned);
}

}  // namespace
