#include "job/folder_pairs.h"

#include <gtest/gtest.h>

#include "common/app.h"
#include "job/job_file.h"
#include "support/flow_fixture.h"

using namespace dd;
using dd::test::MakeDirs;
using dd::test::WriteFile;

namespace {

struct FolderPairsTest : ::testing::Test, test::ProgramFixture<> {
  std::string Folder(const std::string& name) {
    MakeDirs(dir / name);
    return dir / name;
  }
  const int boundary = FolderColumns(1000).Boundary();
};

TEST_F(FolderPairsTest, DropsGoLeftOrRightOfTheSourceColumnEdge) {
  EXPECT_EQ(boundary, 300);
  DropOnFolderList(app, {Folder("a"), Folder("b"), Folder("c")}, boundary - 1, boundary);
  DropOnFolderList(app, {Folder("t")}, boundary, boundary);  // on the edge: a target
  std::vector<FolderRow> rows = FolderListRows(app);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_TRUE(rows[0].hasSource && rows[0].hasTarget);
  EXPECT_EQ(rows[0].target, dir / "t");
  EXPECT_TRUE(rows[2].hasSource);
  EXPECT_FALSE(rows[1].hasTarget || rows[2].hasTarget);
  EXPECT_EQ(rows[2].key, 2);
}

TEST_F(FolderPairsTest, DroppedFilesOpenOnlyAsASingleJobFile) {
  app.Job.SourceFolders = {"/x"};
  app.Job.TargetFolders = {"/y"};
  app.Job.CurrentJobFile = dir / "job.ddk";
  SaveJob(app, "Save");
  const std::string job = app.Job.CurrentJobFile;
  WriteFile(dir / "other.txt", "");
  app.Job.SourceFolders = {"/changed"};
  EXPECT_FALSE(DropOnFolderList(app, {job, dir / "other.txt"}, 0, boundary));
  EXPECT_EQ(app.Job.SourceFolders, std::vector<std::string>{"/changed"});
  EXPECT_TRUE(DropOnFolderList(app, {job}, 0, boundary));
  EXPECT_EQ(app.Job.SourceFolders, std::vector<std::string>{"/x"});
  // On the window a folder is ignored, a file opens without more checks.
  EXPECT_FALSE(DropOnWindow(app, {Folder("a")}));
  EXPECT_TRUE(DropOnWindow(app, {job}));
}

TEST_F(FolderPairsTest, DeleteByKeyClosesUpEachSideOnItsOwn) {
  app.Job.SourceFolders = {"/s0", "/s1", "/s2"};
  app.Job.TargetFolders = {"/t0", "/t1", "/t2", "/t3"};
  EXPECT_EQ(DeletePairsByKey(app, {1}), 1);
  std::vector<FolderRow> rows = FolderListRows(app);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].source, "/s2");
  EXPECT_EQ(rows[1].target, "/t2");
  // Row 2 has only a target: deleting it leaves the sources where they are.
  EXPECT_EQ(DeletePairsByKey(app, {2}), 1);
  EXPECT_EQ(app.Job.SourceFolders, (std::vector<std::string>{"/s0", "/s2"}));
  FolderListRows(app);
  EXPECT_EQ(app.Job.TargetFolders, (std::vector<std::string>{"/t0", "/t2"}));
  // Everything selected: the job has no pairs left.
  DeletePairsByKey(app, {0, 1});
  EXPECT_TRUE(FolderListRows(app).empty());
}

TEST_F(FolderPairsTest, SideCommandsFollowTheLastMouseReleaseAndSwapTwiceRestoresThePairs) {
  app.Job.SourceFolders = {"/s0", "/s1"};
  app.Job.TargetFolders = {"/t0"};
  EXPECT_EQ(PairPathAt(app, 0, boundary - 1, boundary), "/s0");
  EXPECT_EQ(PairPathAt(app, 0, boundary, boundary), "/t0");
  EXPECT_EQ(PairPathAt(app, 1, boundary, boundary), "");
  EXPECT_EQ(PairPathAt(app, -1, 0, boundary), "");
  SwapFolders(app);
  EXPECT_EQ(app.Job.SourceFolders, std::vector<std::string>{"/t0"});
  SwapFolders(app);
  EXPECT_EQ(app.Job.SourceFolders, (std::vector<std::string>{"/s0", "/s1"}));
  EXPECT_EQ(app.Job.TargetFolders, std::vector<std::string>{"/t0"});
}

TEST_F(FolderPairsTest, EditsDuringARunOnlyOfferToStopIt) {
  app.Job.SourceFolders = {"/s0"};
  app.Job.TargetFolders = {"/t0"};
  app.Run.SimulationRunning = true;
  screen.answers = {Answer::No, Answer::No, Answer::Yes};
  EXPECT_EQ(DeletePairsByKey(app, {0}), 0);
  SwapFolders(app);
  DropOnFolderList(app, {Folder("a")}, 0, boundary);
  ASSERT_EQ(screen.messages.size(), 3u);
  EXPECT_EQ(screen.messages[0].key, "[Abort?]");
  EXPECT_EQ(screen.messages[0].title, app.Text("[Simulation]"));
  EXPECT_EQ(app.Job.SourceFolders, std::vector<std::string>{"/s0"});
  EXPECT_TRUE(app.Run.StopRequested);  // the third answer was Yes
  EXPECT_FALSE(app.Run.SimulationRunning);
  // Loading a job on the window would empty the list a run walks: only the question.
  WriteFile(dir / "job.ddk", "Dualdock V2.1\r\n\r\nDirectories:\r\n/a\r\n\r\n/b\r\n\r\n\r\n");
  app.Run.ExecutionRunning = true;
  screen.answers = {Answer::No};
  EXPECT_FALSE(DropOnWindow(app, {dir / "job.ddk"}));
  EXPECT_EQ(screen.messages.back().title, app.Text("[Execution]"));
  EXPECT_EQ(app.Job.SourceFolders, std::vector<std::string>{"/s0"});
}

}  // namespace
