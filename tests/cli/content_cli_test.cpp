// Content comparison and read-back from the command line.
#include <gtest/gtest.h>

#include "cli/cli_fixture.h"
#include "common/files.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

// One file changed in place on the source side: the same size and time on both sides.
std::string ChangedInPlace(Cli& t) {
  MakeTree(t.dir.path(), {"src/a.txt=abc@1600000000", "dst/a.txt=abd@1600000000", "src/b.txt=same@1600000000",
                          "dst/b.txt=same@1600000000"});
  return t.Job("job.ddk", {{t.dir / "src", t.dir / "dst"}});
}

TEST_F(Cli, WithoutChecksumASameSizeSameTimeChangeIsMissed) {
  const std::string job = ChangedInPlace(*this);
  Result plain = RunHome("simulate " + job + " --json");
  ASSERT_EQ(plain.code, 0) << plain.err;
  EXPECT_EQ(JsonFields(plain.out, "d['pending']['total']['count'], d['content']['compared_files']"), "0 0\n");
}

TEST_F(Cli, ChecksumPlansASameSizeSameTimeChange) {
  const std::string job = ChangedInPlace(*this);
  Result summed = RunHome("simulate " + job + " --checksum --json");
  ASSERT_EQ(summed.code, 0) << summed.err;
  EXPECT_EQ(JsonFields(summed.out,
                       "d['pending']['replace_in_f2']['count'], d['content']['compared_files'],"
                       " d['content']['differing'], d['content']['bytes_read']"),
            "1 2 1 14\n");
  EXPECT_EQ(Records().size(), 1u);
  EXPECT_NE(Records().at(0).find("Newer in F1\t" + dir / "src/a.txt"), std::string::npos);
}

TEST_F(Cli, ChecksumSaysWhatItCompared) {
  const std::string job = ChangedInPlace(*this);
  Result shown = RunHome("simulate " + job + " --checksum");
  EXPECT_NE(shown.out.find("Compared by content: 2 file(s), 1 differing, "), std::string::npos) << shown.out;
}

// The execution takes the plan as it stands: same size and time, the content planned it.
TEST_F(Cli, ExecuteCarriesOutWhatTheContentPlanned) {
  const std::string job = ChangedInPlace(*this);
  ASSERT_EQ(RunHome("simulate " + job + " --checksum").code, 0);
  Result done = RunHome("execute --yes --verify --json");
  ASSERT_EQ(done.code, 0) << done.err;
  EXPECT_EQ(JsonFields(done.out, "d['done']['replaced']['count'], d['content']['verified_files']"), "1 1\n");
  EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "abc");
}

// A job written with the content options: a changed file of the same size and time, and a pattern.
std::string ContentJob(Cli& t) {
  MakeTree(t.dir.path(), {"src/a.txt=abc@1600000000", "dst/a.txt=abd@1600000000"});
  const std::string job = Quote(t.dir / "job.ddk");
  EXPECT_EQ(t.Run("job new " + job + " --pair " + Quote(t.dir / "src") + " " + Quote(t.dir / "dst") +
                  " --checksum --verify --exclude '*.tmp'")
                .code,
            0);
  return job;
}

TEST_F(Cli, JobShowSaysWhichContentOptionsTheJobHas) {
  Result shown = Run("job show " + ContentJob(*this));
  EXPECT_NE(shown.out.find("  *.tmp  (pattern for whole names)\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("Compare by content (--checksum): on\nRead copies back (--verify): on\n"), std::string::npos)
      << shown.out;
}

TEST_F(Cli, AJobSavedWithContentOptionsComparesByContentWithoutTheOptions) {
  Result sync = RunHome("sync " + ContentJob(*this) + " --yes --json");
  ASSERT_EQ(sync.code, 0) << sync.err;
  EXPECT_EQ(JsonFields(sync.out, "d['done']['replaced']['count'], d['content']['verified_files']"), "1 1\n");
  EXPECT_EQ(ReadTextFile(dir / "dst/a.txt"), "abc");
}

TEST_F(Cli, ChecksumIsRefusedWhereNothingIsCompared) {
  const std::string job = ChangedInPlace(*this);
  for (const std::string& args : {std::string("execute --checksum"), "job show " + job + " --verify"}) {
    Result r = RunHome(args);
    EXPECT_EQ(r.code, 2) << args;
  }
}

}  // namespace
