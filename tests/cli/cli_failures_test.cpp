// What dualdock-cli says about the items a run could not carry out, and the -v lines of those it did.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <functional>

#include "cli/cli_fixture.h"
#include "common/files.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines = Split(text, "\n");
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Each failure is named on stderr with its operation, its path and its reason, also as root.
TEST_F(Cli, EachFailedItemIsNamedWithItsReason) {
  const struct {
    const char* what;
    std::function<void(const std::string& dir)> before;  // before the simulation
    std::function<void(const std::string& dir)> after;   // between simulation and execution
    std::string line;                                    // $D: the test's folder
    int failed;                                          // lines of failed items
  } cases[] = {
      {"a pipe in the source", [](const std::string& d) { ASSERT_EQ(::mkfifo((d + "/src/pipe").c_str(), 0644), 0); },
       [](const std::string&) {}, "new in F2 failed: $D/src/pipe: a pipe, device or socket, which is not copied", 1},
      {"a file where the target's folder goes", [](const std::string& d) { MakeTree(d, {"src/d/x.txt=x"}); },
       [](const std::string& d) { MakeTree(d, {"dst/d=a file"}); },
       "new in F2 failed: $D/dst/d/x.txt: left alone, changed since the simulation", 2},  // and d itself
      {"a read-only target",
       [](const std::string& d) {
         MakeTree(d, {"src/ro.txt=newer", "dst/ro.txt=old"});
         test::SetMTime(d + "/dst/ro.txt", 1600000000);
         ASSERT_EQ(::chmod((d + "/dst/ro.txt").c_str(), 0444), 0);
       },
       [](const std::string&) {}, "replace in F2 failed: $D/dst/ro.txt: Permission denied", 1},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir / "src");
    std::filesystem::remove_all(dir / "dst");
    MakeTree(dir.path(), {"src/a.txt=a", "dst/"});
    c.before(dir.path());
    const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
    ASSERT_EQ(RunHome("simulate " + job).code, 0) << c.what;
    c.after(dir.path());
    Result r = RunHome("execute --yes");
    EXPECT_EQ(r.code, 1) << c.what;
    const std::string line = "dualdock-cli: " + ReplaceAll(c.line, "$D", dir.path()) + "\n";
    EXPECT_NE(r.err.find(line), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_EQ(std::ranges::count_if(Lines(r.err), [](const std::string& l) { return l.find(" failed: ") != l.npos; }),
              c.failed)
        << c.what << "\n"
        << r.err;
    EXPECT_NE(r.err.find("Errors occurred!"), std::string::npos) << c.what;  // the summary stays
    EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "a") << c.what;               // the rest was carried out
  }
}

TEST_F(Cli, JsonListsTheFailedItemsBesideTheCounts) {
  MakeTree(dir.path(), {"src/a.txt=a", "dst/"});
  ASSERT_EQ(::mkfifo((dir / "src/pipe").c_str(), 0644), 0);
  Result r = RunHome("sync " + Job("job.ddk", {{dir / "src", dir / "dst"}}) + " --yes --json");
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(JsonFields(r.out, "d['schema'], d['failed_operations'], d['done']['new']['count'], d['failures']"),
            "1 1 1 [{'operation': 'new in F2', 'path': '" + dir / "src/pipe" +
                "', 'reason': 'a pipe, device or socket, which is not copied'}]\n");
  EXPECT_EQ(JsonFields(RunHome("execute --yes --json").out, "d['failures'][0]['path']"), dir / "src/pipe\n");
  EXPECT_EQ(JsonFields(RunHome("sync " + Quote(dir / "job.ddk") + " -n --json").out, "d['failures']"), "[]\n");
}

TEST_F(Cli, VerbosePrintsALinePerOperationCarriedOut) {
  MakeTree(dir.path(), {"src/a.txt=newer", "src/sub/b.txt=b", "src/same.txt=s", "dst/a.txt=old", "dst/same.txt=s",
                        "dst/gone/stale.txt=stale"});
  test::SetMTime(dir / "dst/a.txt", 1600000000);
  ASSERT_EQ(::mkfifo((dir / "src/pipe").c_str(), 0644), 0);
  const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  for (const char* form : {"-v", "--verbose", "-yv"}) {
    ASSERT_EQ(RunHome("simulate " + job).code, 0);
    Result r = RunHome(std::string("execute --yes ") + form);
    EXPECT_EQ(r.code, 1) << form;
    // Files are deleted before their folders; the pipe fails and has no line.
    EXPECT_EQ(r.out,
              "Carrying out 6 operations (--yes)\n"
              "del F2 gone/stale.txt\ndel F2 gone/\nnew F2 sub/\nnew F2 sub/b.txt\nrep F2 a.txt\n")
        << form;
    // Back to the start: the target as it was.
    std::filesystem::remove_all(dir / "dst/sub");
    MakeTree(dir.path(), {"dst/a.txt=old", "dst/gone/stale.txt=stale"});
    test::SetMTime(dir / "dst/a.txt", 1600000000);
  }
}

}  // namespace
