#include "engine/scanner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "common/app.h"
#include "common/clock.h"
#include "support/flow_fixture.h"

using namespace dd;
using dd::test::ScriptedScreen;
using dd::test::WriteFile;

namespace {

// Relative folder + name of every file found.
std::set<std::string> FileKeys(const ScanResult& r) {
  std::set<std::string> keys;
  for (std::size_t i = 0; i < r.Files.size(); ++i)
    keys.insert(r.Folders[r.Files[i].Folder] + "/" + std::string(r.Name(r.Files[i])));
  return keys;
}

const ScannedFile* FindFile(const ScanResult& r, const std::string& name) {
  for (std::size_t i = 0; i < r.Files.size(); ++i)
    if (r.Name(r.Files[i]) == name) return &r.Files[i];
  return nullptr;
}

struct Scanner : ::testing::Test {
  test::TempDir dir;
  ScriptedScreen screen;
  App app{screen};
};

}  // namespace

TEST_F(Scanner, YieldsEveryFiftyFilesAndStopsOnRequest) {
  for (int i = 0; i < 120; ++i) WriteFile(dir / ("r/d" + std::to_string(i % 3) + "/f" + std::to_string(i)), "");
  EXPECT_EQ(ScanFolder(app, dir / "r").Files.size(), 120u);
  EXPECT_EQ(screen.yields, 2);

  test::HookedScreen stopping;
  App stopped(stopping);
  stopping.onYield = [&] { stopped.Run.StopRequested = true; };
  stopped.Run.ScanningF1 = true;
  EXPECT_EQ(ScanFolder(stopped, dir / "r").Files.size(), 50u);
  EXPECT_EQ(stopped.Run.TreeFilesF1, 50);
  EXPECT_EQ(stopping.yields, 1);
}

TEST_F(Scanner, TimesAreLocalWholeSecondsAndLargeSizesExact) {
  WriteFile(dir / "r/t.txt", "x");
  // 10:15:42.900 UTC on 2021-06-01: the fraction is cut.
  const int64_t utc = 1622542542;
  struct timespec times[2] = {{utc, 900000000}, {utc, 900000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "r/t.txt").c_str(), times, 0), 0);
  WriteFile(dir / "r/big.bin", "");
  ASSERT_EQ(::truncate((dir / "r/big.bin").c_str(), 3221225472LL), 0);  // 3 GiB, sparse

  app.Run.ScanningF2 = true;
  ScanResult r = ScanFolder(app, dir / "r");
  EXPECT_EQ(FindFile(r, "t.txt")->Modified, utc + CurrentUtcOffset());
  EXPECT_EQ(FindFile(r, "big.bin")->Size, 3221225472LL);
  EXPECT_EQ(app.Run.TreeSizeF2, 3221225473LL);
}

TEST_F(Scanner, LinksAreFilesNeverFollowedAndUnrecordableNamesAreLeftOut) {
  // A cycle and names with a TAB are also met in the comparison tests.
  WriteFile(dir / "r/sub/a.txt", "a");
  ASSERT_EQ(::symlink("nowhere", (dir / "r/sub/dangling").c_str()), 0);
  WriteFile(dir / "r/line\nbreak/inner.txt", "1");
  WriteFile(dir / "r/sub/cr\rname", "1");
  app.Run.ScanningF1 = true;
  ScanResult r = ScanFolder(app, dir / "r");
  EXPECT_EQ(FileKeys(r), (std::set<std::string>{"/sub/a.txt", "/sub/dangling"}));
  EXPECT_EQ(r.Folders.size(), 2u);  // the root and sub
  // A link has its own size: the length of the text it points to.
  EXPECT_EQ(FindFile(r, "dangling")->Size, 7);
  EXPECT_EQ(r.Skipped, 2);
  EXPECT_EQ(app.Run.TreeFilesF1, 2);
  EXPECT_EQ(app.Run.TreeFoldersF1, 1);

  // A root given as a link to a folder is listed.
  ASSERT_EQ(::symlink((dir / "r").c_str(), (dir / "rootlink").c_str()), 0);
  EXPECT_EQ(ScanFolder(app, dir / "rootlink").Files.size(), 2u);
}
