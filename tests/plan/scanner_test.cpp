#include "plan/scanner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "common/app.h"
#include "common/clock.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

struct Scanner : ::testing::Test {
  TempDir dir;
  HookedScreen screen;
  App app{screen};
};

}  // namespace

// 120 files in three folders.
void MakeFiles(const TempDir& dir) {
  for (int i = 0; i < 120; ++i) WriteFile(dir / ("r/d" + std::to_string(i % 3) + "/f" + std::to_string(i)), "");
}

TEST_F(Scanner, YieldsEveryFiftyFiles) {
  MakeFiles(dir);
  EXPECT_EQ(ScanFolder(app.Run, app.screen, dir / "r").Files.size(), 120u);
  EXPECT_EQ(screen.yields, 2);
}

TEST_F(Scanner, StopsAtTheTurnAStopWasAskedFor) {
  MakeFiles(dir);
  screen.onYield = [&] { app.Run.Lifecycle.RequestStop(); };
  app.Run.ScanningF1 = true;
  EXPECT_EQ(ScanFolder(app.Run, app.screen, dir / "r").Files.size(), 50u);
  EXPECT_EQ(app.Run.TreeFilesF1, 50);
  EXPECT_EQ(screen.yields, 1);
}

namespace {

// A tree with a dangling link, names the records cannot hold, and a file of a known time with a fraction.
struct ScannedTree : Scanner {
  ScannedTree() {
    MakeTree(dir.path(), {"r/sub/a.txt=a", "r/sub/dangling->nowhere", "r/line\nbreak/inner.txt=1", "r/sub/cr\rname=1",
                          "r/t.txt=x", "rootlink->r"});
    const struct timespec times[2] = {{kUtc, 900000000}, {kUtc, 900000000}};
    EXPECT_EQ(::utimensat(AT_FDCWD, (dir / "r/t.txt").c_str(), times, 0), 0);
    app.Run.ScanningF1 = true;
    result = ScanFolder(app.Run, app.screen, dir / "r");
    for (std::size_t i = 0; i < result.Files.size(); ++i)
      files[result.Folders[result.Files[i].Folder] + "/" + std::string(result.Name(result.Files[i]))] =
          &result.Files[i];
  }
  // 10:15:42.900 UTC on 2021-06-01.
  static constexpr int64_t kUtc = 1622542542;
  ScanResult result;
  std::map<std::string, const ScannedFile*> files;
};

}  // namespace

TEST_F(ScannedTree, ListsTheFilesWithRecordableNames) {
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files.count("/sub/a.txt"), 1u);
  EXPECT_EQ(files.count("/t.txt"), 1u);
  EXPECT_EQ(result.Folders.size(), 2u);  // the root and sub
}

TEST_F(ScannedTree, TimesAreLocalWholeSeconds) {
  EXPECT_EQ(files.at("/t.txt")->Modified, kUtc + CurrentUtcOffset());
}

TEST_F(ScannedTree, ALinkIsAFileOfItsOwnSize) {
  // A link has its own size: the length of the text it points to.
  EXPECT_EQ(files.at("/sub/dangling")->Size, 7);
}

TEST_F(ScannedTree, NamesTheRecordsCannotHoldAreCountedAsSkipped) {
  EXPECT_EQ(result.Skipped, 2);
}

TEST_F(ScannedTree, TheTreeStatisticsCountWhatWasListed) {
  EXPECT_EQ(std::vector<int64_t>({app.Run.TreeFilesF1, app.Run.TreeFoldersF1, app.Run.TreeSizeF1}),
            std::vector<int64_t>({3, 1, 9}));
}

TEST_F(ScannedTree, ARootGivenAsALinkToAFolderIsListed) {
  EXPECT_EQ(ScanFolder(app.Run, app.screen, dir / "rootlink").Files.size(), 3u);
}
