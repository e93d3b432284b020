// The content options in the job file: a block of their own after the last
// section, only when one of them is on.
#include <gtest/gtest.h>

#include "common/app.h"
#include "common/files.h"
#include "job/job_file.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

struct Row {
  bool compare, verify;
  std::string block;
};
const Row kRows[] = {
    {false, false, ""},
    {true, false, "Content Comparison:\r\n1\r\n\r\n\r\n0\r\n\r\n\r\n"},
    {false, true, "Content Comparison:\r\n0\r\n\r\n\r\n1\r\n\r\n\r\n"},
    {true, true, "Content Comparison:\r\n1\r\n\r\n\r\n1\r\n\r\n\r\n"},
};

// A job with two other sections set away from their defaults.
void MakeJob(App& app) {
  FileNew(app);
  app.Job.SourceFolders = {"/data"};
  app.Job.TargetFolders = {"/backup"};
  app.Options.DaylightSaving = false;
  app.Options.DeletedToTrash = true;
}

// Saves the job with the row's options and opens it again in a new job.
void SaveAndOpen(test::ProgramFixture<>& f, const Row& row) {
  MakeJob(f.app);
  f.app.Options.CompareContent = row.compare;
  f.app.Options.VerifyCopies = row.verify;
  const std::string path = f.dir / "job.ddk";
  ASSERT_TRUE(WriteTextFile(BuildJobText(f.app), path));
  FileNew(f.app);
  ASSERT_EQ(LoadJobFile(f.app, path), JobLoadStatus::Loaded);
}

TEST(ContentOption, TheBlockFollowsTheLastSectionOnlyWhenAnOptionIsOn) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.block);
    test::ProgramFixture<> f;
    MakeJob(f.app);
    const std::string before = BuildJobText(f.app);
    f.app.Options.CompareContent = row.compare;
    f.app.Options.VerifyCopies = row.verify;
    EXPECT_EQ(BuildJobText(f.app), before + row.block);
  }
}

TEST(ContentOption, TheOptionsReadBack) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.block);
    test::ProgramFixture<> f;
    SaveAndOpen(f, row);
    EXPECT_EQ(f.app.Options.CompareContent, row.compare);
    EXPECT_EQ(f.app.Options.VerifyCopies, row.verify);
  }
}

TEST(ContentOption, TheSectionsBeforeTheBlockReadAsTheyDid) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.block);
    test::ProgramFixture<> f;
    SaveAndOpen(f, row);
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
