// dualdock-cli for scripts: job new and job show, --json and --quiet.
#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "common/app.h"
#include "job/job_file.h"
#include "support/test_support.h"

namespace dd {
namespace {

using test::Quote;
using test::RunCli;
using test::RunShell;
using test::TempDir;

const char* const kJobArgs =
    " --pair src 'two words/' --pair /abs/a /abs/b --mode '= =, x =,<-=,=->,<-=' --exclude .tmp --exclude '~$'"
    " --include photos --case-sensitive-include --no-daylight-saving --trash";

TEST(CliJob, NewThenShowRoundTripsEveryFieldAndTheCoreWritesTheSameFile) {
  TempDir dir;
  test::CliResult made =
      RunShell(dir, "cd " + Quote(dir.path()) + " && " + Quote(test::kCli) + " job new job" + kJobArgs);
  ASSERT_EQ(made.code, 0) << made.err;
  EXPECT_EQ(made.out, "Job written: job.ddk\n");

  test::CliResult shown = RunCli(dir, "job show " + Quote(dir / "job.ddk"));
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_EQ(shown.out, "Job file: " + dir.path() +
                           "/job.ddk\n"
                           "Folder pairs: 2\n"
                           "  1 source: " +
                           dir.path() + "/src\n  1 target: " + dir.path() +
                           "/two words\n"
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
                           "Deleted and replaced files to the trash: on\n");

  // The show above reads through the core; saved again by it, the job is the same file byte for byte.
  test::ScriptedScreen screen;
  App app(screen);
  ASSERT_EQ(LoadJobFile(app, dir / "job.ddk"), JobLoadStatus::Loaded);
  EXPECT_EQ(BuildJobText(app), ReadTextFile(dir / "job.ddk"));
}

TEST(CliJob, NewRefusesBadInputAndOverwritingWithoutForce) {
  TempDir dir;
  const std::string job = Quote(dir / "job.ddk");
  ASSERT_EQ(RunCli(dir, "job new " + job + " --pair /a /b").code, 0);
  const std::string first = ReadTextFile(dir / "job.ddk");
  test::CliResult again = RunCli(dir, "job new " + job + " --pair /c /d --mode synchronize");
  EXPECT_EQ(again.code, 2);
  EXPECT_NE(again.err.find("--force"), std::string::npos);
  EXPECT_EQ(ReadTextFile(dir / "job.ddk"), first);
  ASSERT_EQ(RunCli(dir, "job new " + job + " --pair /c /d --mode synchronize --force").code, 0);
  EXPECT_NE(RunCli(dir, "job show " + job).out.find("Mode: synchronize (--mode \"= =,=->,= x,=->,<-=\")"),
            std::string::npos);

  const std::string other = " job new " + Quote(dir / "other.ddk");
  for (const std::string& bad : {other + " --pair /a /b --mode '= =,=->,= x,=->,==>'",  // no code
                                 other + " --pair /a /b --mode '= =,= x,= x,=->,= ='",  // nothing in F2 to delete
                                 other + " --pair /a",                                  // half a pair
                                 other + " --pair /a /b --exclude ''"}) {
    test::CliResult r = RunCli(dir, bad);
    EXPECT_EQ(r.code, 2) << bad;
    EXPECT_FALSE(r.err.empty()) << bad;
  }
  EXPECT_FALSE(PathExists(dir / "other.ddk"));
  EXPECT_EQ(RunCli(dir, "job show " + Quote(dir / "missing.ddk")).code, 2);
}

// Parses the JSON with Python's strict parser and prints the fields asked for.
std::string JsonFields(const TempDir& dir, const std::string& json, const std::string& expression) {
  test::WriteFile(dir / "report.json", json);
  test::CliResult r = RunShell(
      dir, "python3 -c " + Quote("import json,os,sys; d=json.load(open(sys.argv[1])); print(" + expression + ")") +
               " " + Quote(dir / "report.json"));
  EXPECT_EQ(r.code, 0) << r.err;
  return r.out;
}

TEST(CliJob, JsonReportParsesAndQuietPrintsNothing) {
  TempDir dir;
  test::WriteFile(dir / "src/a.txt", "alpha");
  test::WriteFile(dir / "src/b\xff.txt", "be");
  test::WriteFile(dir / "dst/stale.txt", "stale");
  const std::string job = Quote(dir / "job\xc3\xa9\xfe\x01.ddk");
  const std::string home = " --home " + Quote(dir / "home");
  ASSERT_EQ(RunCli(dir, "job new " + job + " --pair " + Quote(dir / "src") + " " + Quote(dir / "dst")).code, 0);

  test::CliResult sim = RunCli(dir, home + " simulate " + job + " --json");
  ASSERT_EQ(sim.code, 0) << sim.err;
  EXPECT_EQ(JsonFields(dir, sim.out,
                       "d['command'], d['exit_status'], d['pending']['new_in_f2'], d['pending']['delete_in_f2'],"
                       " d['pending']['total']['count'], d['failures'], d['errors'], os.fsencode(d['job'])"
                       "[-11:]"),
            "simulate 0 {'count': 2, 'bytes': 7} {'count': 1, 'bytes': 5} 3 0 [] b'job\\xc3\\xa9\\xfe\\x01.ddk'\n");

  test::CliResult quiet = RunCli(dir, home + " execute --yes --quiet");
  EXPECT_EQ(quiet.code, 0) << quiet.err;
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(ReadTextFile(dir / "dst/b\xff.txt"), "be");

  test::CliResult missing = RunCli(dir, home + " sync " + Quote(dir / "none.ddk") + " --yes --json");
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(JsonFields(dir, missing.out, "d['exit_status'], len(d['errors']), 'does not exist' in d['errors'][0]"),
            "2 1 True\n");
}

}  // namespace
}  // namespace dd
