// The content options in the job file: a block of their own after the last
// section, only when one of them is on.
#include <gtest/gtest.h>

#include "common/app.h"
#include "common/files.h"
#include "job/job_file.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

TEST(ContentOption, ABlockOnlyWhenOnThatReadsBackAndLeavesTheRestAsItWas) {
  const struct {
    bool compare, verify;
    std::string block;
  } cases[] = {
      {false, false, ""},
      {true, false, "Content Comparison:\r\n1\r\n\r\n\r\n0\r\n\r\n\r\n"},
      {false, true, "Content Comparison:\r\n0\r\n\r\n\r\n1\r\n\r\n\r\n"},
      {true, true, "Content Comparison:\r\n1\r\n\r\n\r\n1\r\n\r\n\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    test::ProgramFixture<> f;
    FileNew(f.app);
    f.app.Job.SourceFolders = {"/data"};
    f.app.Job.TargetFolders = {"/backup"};
    f.app.Options.DaylightSaving = false;
    f.app.Options.DeletedToTrash = true;
    const std::string before = BuildJobText(f.app);
    f.app.Options.CompareContent = c.compare;
    f.app.Options.VerifyCopies = c.verify;
    EXPECT_EQ(BuildJobText(f.app), before + c.block);

    const std::string path = f.dir / "job.ddk";
    ASSERT_TRUE(WriteTextFile(BuildJobText(f.app), path));
    FileNew(f.app);
    ASSERT_EQ(LoadJobFile(f.app, path), JobLoadStatus::Loaded);
    EXPECT_EQ(f.app.Options.CompareContent, c.compare);
    EXPECT_EQ(f.app.Options.VerifyCopies, c.verify);
    // The sections before it read as they did.
    EXPECT_FALSE(f.app.Options.DaylightSaving);
    EXPECT_TRUE(f.app.Options.DeletedToTrash);
  }
}

TEST(ContentOption, ANewJobHasThemOff) {
  test::ProgramFixture<> f;
  f.app.Options.CompareContent = f.app.Options.VerifyCopies = true;
  FileNew(f.app);
  EXPECT_FALSE(f.app.Options.CompareContent);
  EXPECT_FALSE(f.app.Options.VerifyCopies);
}

}  // namespace
}  // namespace dd
