#include <gtest/gtest.h>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "flows/simulate.h"
#include "job/job_file.h"
#include "support/builders.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using dd::test::FlowFixture;

namespace {

const std::vector<std::string> kTree = {"s/a.tmp=1",       "s/notes.tmp.txt=2", "s/[draft] plan.txt=3",
                                        "s/cache/x.bin=4", "s/mycache/y.bin=5", "s/keep.txt=6",
                                        "t/old.tmp=7"};

// The records a simulation of the tree plans, with the job's exclude box holding `lines`.
std::vector<std::string> PlannedWithExcludes(const std::string& lines) {
  FlowFixture f;
  test::MakeTree(f.dir.path(), kTree);
  const std::string job = f.dir / "old.ddk";
  test::WriteJob(job, {{f.dir / "s", f.dir / "t"}});
  // The exclude section as a saved job holds it: switched on, case-insensitive, the lines.
  std::string text = ReadTextFile(job);
  text = ReplaceAll(text, "Exclude Files/Folders Name:\r\n0\r\n\r\n\r\n0\r\n\r\n\r\n",
                    "Exclude Files/Folders Name:\r\n1\r\n\r\n\r\n0\r\n\r\n\r\n" + lines);
  test::WriteFile(job, text);
  EXPECT_EQ(LoadJobFile(f.app, job), JobLoadStatus::Loaded);
  EXPECT_TRUE(f.app.Options.ExclEnabled);
  Simulate(f.app);
  return test::PathsOf(f.ListFileRecords());
}

// The paths below the source root.
std::vector<std::string> Below(const std::vector<std::string>& paths) {
  std::vector<std::string> out;
  for (const std::string& p : paths) out.push_back(p.substr(p.rfind("/s/") + 3));
  return out;
}

}  // namespace

TEST(FilterPatterns, ASavedJobWithPlainLinesPlansWhatItPlannedBefore) {
  ASSERT_EQ(PlannedWithExcludes("").size(), 9u);
  // Pieces of paths, brackets included, case ignored: ".TMP" takes notes.tmp.txt too, "CACHE/" mycache's file.
  EXPECT_EQ(Below(PlannedWithExcludes(".TMP\r\n[draft]\r\nCACHE/")),
            (std::vector<std::string>{"cache", "keep.txt", "mycache"}));
}

TEST(FilterPatterns, AWildcardLineInASavedJobTakesWholeNamesOnly) {
  EXPECT_EQ(
      Below(PlannedWithExcludes("*.TMP\r\ncache/*")),
      (std::vector<std::string>{"[draft] plan.txt", "cache", "keep.txt", "mycache", "mycache/y.bin", "notes.tmp.txt"}));
}
