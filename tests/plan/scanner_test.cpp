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

TEST_F(Scanner, YieldsEveryFiftyFilesAndStopsOnRequest) {
  for (int i = 0; i < 120; ++i) WriteFile(dir / ("r/d" + std::to_string(i % 3) + "/f" + std::to_string(i)), "");
  EXPECT_EQ(ScanFolder(app.Run, app.screen, dir / "r").Files.size(), 120u);
  EXPECT_EQ(screen.yields, 2);
  screen.onYield = [&] { app.Run.Lifecycle.RequestStop(); };
  app.Run.ScanningF1 = true;
  EXPECT_EQ(ScanFolder(app.Run, app.screen, dir / "r").Files.size(), 50u);
  EXPECT_EQ(app.Run.TreeFilesF1, 50);
  EXPECT_EQ(screen.yields, 3);
}

TEST_F(Scanner, LinksAreFilesNeverFollowedTimesAreLocalWholeSecondsAndUnrecordableNamesAreLeftOut) {
  MakeTree(dir.path(), {"r/sub/a.txt=a", "r/sub/dangling->nowhere", "r/line\nbreak/inner.txt=1", "r/sub/cr\rname=1",
                        "r/t.txt=x", "rootlink->r"});
  // 10:15:42.900 UTC on 2021-06-01: the fraction is cut.
  const int64_t utc = 1622542542;
  struct timespec times[2] = {{utc, 900000000}, {utc, 900000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "r/t.txt").c_str(), times, 0), 0);
  app.Run.ScanningF1 = true;
  const ScanResult r = ScanFolder(app.Run, app.screen, dir / "r");
  std::map<std::string, const ScannedFile*> files;
  for (std::size_t i = 0; i < r.Files.size(); ++i)
    files[r.Folders[r.Files[i].Folder] + "/" + std::string(r.Name(r.Files[i]))] = &r.Files[i];
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files.count("/sub/a.txt"), 1u);
  EXPECT_EQ(files.at("/t.txt")->Modified, utc + CurrentUtcOffset());
  EXPECT_EQ(files.at("/sub/dangling")->Size, 7);  // a link has its own size: the length of the text it points to
  EXPECT_EQ(r.Folders.size(), 2u);                // the root and sub
  EXPECT_EQ(r.Skipped, 2);
  EXPECT_EQ(std::vector<int64_t>({app.Run.TreeFilesF1, app.Run.TreeFoldersF1, app.Run.TreeSizeF1}),
            std::vector<int64_t>({3, 1, 9}));
  // A root given as a link to a folder is listed.
  EXPECT_EQ(ScanFolder(app.Run, app.screen, dir / "rootlink").Files.size(), 3u);
}
