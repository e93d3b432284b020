#include "job/folder_pairs.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/app.h"
#include "flows/simulate.h"
#include "job/job_file.h"
#include "support/builders.h"
#include "support/flow_fixture.h"

using namespace dd;
using Paths = std::vector<std::string>;

namespace {

struct FolderPairsTest : ::testing::Test, test::ProgramFixture<> {
  std::string Folder(const std::string& name) {
    test::MakeDirs(dir / name);
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

TEST_F(FolderPairsTest, OnlyASingleFileDroppedOnTheListOpensAsAJob) {
  app.Job.SourceFolders = {"/s0", "/s1", "/s2"};
  const std::string job = dir / "job.ddk";
  test::WriteJob(job, {{"/x", "/y"}});
  test::WriteFile(dir / "other.txt", "");
  EXPECT_FALSE(DropOnFolderList(app, {job, dir / "other.txt"}, 0, boundary));
  EXPECT_EQ(app.Job.SourceFolders.size(), 3u);
  EXPECT_TRUE(DropOnFolderList(app, {job}, 0, boundary));
  EXPECT_EQ(app.Job.SourceFolders, Paths{"/x"});
}

TEST_F(FolderPairsTest, ADropOnTheWindowOpensAFileButNoFolder) {
  const std::string job = dir / "job.ddk";
  test::WriteJob(job, {{"/x", "/y"}});
  EXPECT_FALSE(DropOnWindow(app, {Folder("a")}));
  EXPECT_TRUE(DropOnWindow(app, {job}));
  EXPECT_EQ(app.Job.SourceFolders, Paths{"/x"});
}

TEST_F(FolderPairsTest, APathIsFoundByKeyOnEitherSide) {
  app.Job.SourceFolders = {"/s0", "/s1", "/s2"};
  app.Job.TargetFolders = {"/t0", "/t1", "/t2", "/t3"};
  EXPECT_EQ(PairPathAt(app, 0, boundary - 1, boundary), "/s0");
  EXPECT_EQ(PairPathAt(app, 3, boundary, boundary), "/t3");
  EXPECT_EQ(PairPathAt(app, 3, boundary - 1, boundary), "");
  EXPECT_EQ(PairPathAt(app, -1, 0, boundary), "");
}

TEST_F(FolderPairsTest, SwappingTwiceRestoresThePairs) {
  app.Job.SourceFolders = {"/s0", "/s1", "/s2"};
  app.Job.TargetFolders = {"/t0", "/t1", "/t2", "/t3"};
  SwapFolders(app);
  EXPECT_EQ(app.Job.SourceFolders.size(), 4u);
  SwapFolders(app);
  EXPECT_EQ(app.Job.SourceFolders, (Paths{"/s0", "/s1", "/s2"}));
  EXPECT_EQ(app.Job.TargetFolders, (Paths{"/t0", "/t1", "/t2", "/t3"}));
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
  EXPECT_EQ(app.Job.SourceFolders, (Paths{"/s0", "/s2"}));
  FolderListRows(app);
  EXPECT_EQ(app.Job.TargetFolders, (Paths{"/t0", "/t2"}));
  DeletePairsByKey(app, {0, 1});
  EXPECT_TRUE(FolderListRows(app).empty());
}

TEST_F(FolderPairsTest, CommandsDuringARunOnlyOfferToStopIt) {
  const std::string job = dir / "job.ddk";
  test::WriteJob(job, {{"/a", "/b"}});
  const std::pair<const char*, std::function<void()>> commands[] = {
      {"delete", [&] { EXPECT_EQ(DeletePairsByKey(app, {0}), 0); }},
      {"swap", [&] { SwapFolders(app); }},
      {"drop on the list", [&] { DropOnFolderList(app, {Folder("a")}, 0, boundary); }},
      // A job loaded on the window would empty the list a run walks.
      {"drop on the window", [&] { EXPECT_FALSE(DropOnWindow(app, {job})); }},
      {"simulate", [&] { Simulate(app); }}};
  for (const auto& [name, command] : commands) {
    for (RunKind kind : {RunKind::Simulation, RunKind::Execution}) {
      for (Answer answer : {Answer::No, Answer::Yes}) {
        app.Job.SourceFolders = {"/s0"};
        app.Job.TargetFolders = {"/t0"};
        const RunTicket run = app.Run.Lifecycle.TryBegin(kind);
        screen.messages.clear();
        screen.answers = {answer};
        command();
        ASSERT_EQ(screen.keys(), Paths{"[Abort?]"}) << name;
        EXPECT_EQ(screen.messages[0].title, app.Text(kind == RunKind::Execution ? "[Execution]" : "[Simulation]"));
        EXPECT_EQ(app.Job.SourceFolders, Paths{"/s0"}) << name;
        EXPECT_EQ(app.Job.TargetFolders, Paths{"/t0"}) << name;
        EXPECT_EQ(app.Run.Lifecycle.State() == RunState::Stopping, answer == Answer::Yes) << name;
      }
    }
  }
}

}  // namespace
