// The log file of dualdock-cli: a plain-text record appended per run, named by --log-file or by the job.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <regex>

#include "cli/cli_fixture.h"
#include "common/app.h"
#include "common/files.h"
#include "job/job_file.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

const std::string kTime = "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2}";

TEST_F(Cli, EachRunAppendsItsRecordToTheLogFile) {
  MakeTree(dir.path(), {"src/a.txt=alpha", "dst/old.txt=old"});
  ASSERT_EQ(::mkfifo((dir / "src/pipe").c_str(), 0644), 0);
  const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  const std::string log = Quote(dir / "runs.log");
  ASSERT_EQ(RunHome("simulate " + job + " --log-file " + log).code, 0);
  EXPECT_EQ(RunHome("execute --yes --log-file=" + log).code, 1);
  const std::string expected =
      "Run: simulate\nStart: T\nEnd: T\nJob: " + dir / "job.ddk" +
      "\nOutcome: done\nDeleted: 0 (0 bytes)\nNew: 0 (0 bytes)\nReplaced: 0 (0 bytes)\nPending: 3 (8 bytes)\n"
      "Failed: 0\n\n"
      "Run: execute\nStart: T\nEnd: T\nJob: " +
      dir / "job.ddk" +
      "\nOutcome: failed\nDeleted: 1 (3 bytes)\nNew: 1 (5 bytes)\nReplaced: 0 (0 bytes)\nPending: 1 (0 bytes)\n"
      "Failed: 1\nFailed item: new in F2: " +
      dir / "src/pipe" + ": a pipe, device or socket, which is not copied\n\n";
  EXPECT_EQ(std::regex_replace(ReadTextFile(dir / "runs.log"), std::regex(kTime), "T"), expected);
}

// The job's own log file gets the record; --log-file names another for one run; "Log.txt" keeps its entry.
TEST_F(Cli, TheJobsLogFileIsUsedUnlessTheCommandLineNamesAnother) {
  MakeTree(dir.path(), {"src/a.txt=a", "dst/"});
  test::WriteJob(dir / "job.ddk", {{dir / "src", dir / "dst"}});
  {
    test::ScriptedScreen screen;
    App app(screen);
    ASSERT_EQ(LoadJobFile(app, dir / "job.ddk"), JobLoadStatus::Loaded);
    app.Options.LogFile = dir / "job.log";
    ASSERT_TRUE(WriteTextFile(BuildJobText(app), dir / "job.ddk"));
  }
  const std::string job = Quote(dir / "job.ddk");
  ASSERT_EQ(RunHome("simulate " + job).code, 0);
  ASSERT_EQ(RunHome("sync " + job + " --yes --log-file " + Quote(dir / "once.log")).code, 0);
  EXPECT_TRUE(ReadTextFile(dir / "job.log").starts_with("Run: simulate\n"));
  EXPECT_EQ(ReadTextFile(dir / "job.log").find("Run: sync"), std::string::npos);
  EXPECT_TRUE(ReadTextFile(dir / "once.log").starts_with("Run: sync\n")) << ReadTextFile(dir / "once.log");
  EXPECT_NE(ReadTextFile(dir / "once.log").find("\nOutcome: done\n"), std::string::npos);
  EXPECT_NE(ReadTextFile(dir / "home/Log.txt").find("[Operation]\tExecute"), std::string::npos);
}

// A log file that cannot be written is named, and the run is no success, though it did its work.
TEST_F(Cli, ALogFileThatCannotBeWrittenFailsTheRun) {
  MakeTree(dir.path(), {"src/a.txt=a", "dst/", "file=a file, no folder"});
  Result r = RunHome("sync " + Job("job.ddk", {{dir / "src", dir / "dst"}}) + " --yes --log-file " +
                     Quote(dir / "file/runs.log"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(dir / "file/runs.log"), std::string::npos) << r.err;
  EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "a");
}

}  // namespace
