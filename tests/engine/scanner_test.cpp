#include "engine/scanner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "app/app.h"
#include "common/clock.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::ScriptedScreen;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

void Touch(const std::string& path) { WriteFile(path, ""); }

// Relative folder + name of every file found, sorted.
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

// Asks to stop at the first turn of the event loop.
class StoppingScreen : public ScriptedScreen {
 public:
  RunStatistics* run = nullptr;
  void Yield() override {
    ++yields;
    run->StopRequested = true;
  }
};

}  // namespace

TEST(Scanner, ListsFoldersAndFilesBelowTheRootWithOrWithoutTrailingSeparator) {
  TempDir dir;
  WriteFile(dir / "root/top.txt", "1");
  WriteFile(dir / "root/sub/a.txt", "22");
  WriteFile(dir / "root/sub/deeper/b.txt", "333");
  dd::test::MakeDirs(dir / "root/empty");

  ScriptedScreen screen;
  App app(screen);
  for (const std::string root : {dir / "root", dir / "root/"}) {
    ScanResult r = ScanFolder(app, root);
    EXPECT_EQ(r.Root, dir / "root");
    EXPECT_EQ(FileKeys(r), (std::set<std::string>{"/top.txt", "/sub/a.txt", "/sub/deeper/b.txt"}));
    std::vector<std::string> folders(r.Folders.begin(), r.Folders.end());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"", "/empty", "/sub", "/sub/deeper"}));
    const ScannedFile* b = FindFile(r, "b.txt");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(r.FileFolder(*b), dir / "root/sub/deeper/");
    EXPECT_EQ(b->Size, 3);
    EXPECT_EQ(r.FileFolder(*FindFile(r, "top.txt")), dir / "root/");
    EXPECT_EQ(r.Skipped, 0);
  }

  // Nothing was counted: neither side was marked as being scanned.
  EXPECT_EQ(app.Run.TreeFilesF1 + app.Run.TreeFilesF2 + app.Run.TreeFoldersF1 + app.Run.TreeFoldersF2, 0);
  EXPECT_EQ(app.Run.TreeSizeF1 + app.Run.TreeSizeF2, 0);

  ScanResult missing = ScanFolder(app, dir / "nothing here");
  EXPECT_EQ(missing.Files.size(), 0u);
  EXPECT_EQ(missing.Folders.size(), 1u);
  EXPECT_EQ(ScanFolder(app, "").Files.size(), 0u);
}

TEST(Scanner, CountsTheMarkedSideAndShowsTheCurrentFile) {
  TempDir dir;
  WriteFile(dir / "r/one/a", std::string(10, 'a'));
  WriteFile(dir / "r/two/b", std::string(20, 'b'));
  WriteFile(dir / "r/two/c", std::string(30, 'c'));
  ScriptedScreen screen;
  App app(screen);
  app.Run.ScanningF1 = true;
  app.Run.TreeFilesF1 = 4;
  ScanFolder(app, dir / "r");
  EXPECT_EQ(app.Run.TreeFilesF1, 7);
  EXPECT_EQ(app.Run.TreeSizeF1, 60);
  EXPECT_EQ(app.Run.TreeFoldersF1, 2);
  EXPECT_EQ(app.Run.TreeFilesF2, 0);
  EXPECT_TRUE(app.Run.CurrentFile.rfind(dir / "r/two/\r\n", 0) == 0) << app.Run.CurrentFile;

  app.Run.ScanningF1 = false;
  app.Run.ScanningF2 = true;
  ScanResult empty = ScanFolder(app, dir / "r/one/");
  EXPECT_EQ(app.Run.TreeFilesF2, 1);
  EXPECT_EQ(app.Run.TreeFoldersF2, 0);
  EXPECT_EQ(app.Run.CurrentFile, dir / "r/one/\r\na");
}

TEST(Scanner, YieldsEveryFiftyFilesAndStopsOnRequest) {
  TempDir dir;
  for (int d = 0; d < 3; ++d) dd::test::MakeDirs(dir / ("r/d" + std::to_string(d)));
  for (int i = 0; i < 120; ++i) Touch(dir / ("r/d" + std::to_string(i % 3) + "/f" + std::to_string(i)));
  ScriptedScreen screen;
  App app(screen);
  EXPECT_EQ(ScanFolder(app, dir / "r").Files.size(), 120u);
  EXPECT_EQ(screen.yields, 2);

  StoppingScreen stopping;
  App stopped(stopping);
  stopping.run = &stopped.Run;
  stopped.Run.ScanningF1 = true;
  ScanResult r = ScanFolder(stopped, dir / "r");
  EXPECT_EQ(r.Files.size(), 50u);
  EXPECT_EQ(stopped.Run.TreeFilesF1, 50);
  EXPECT_EQ(stopping.yields, 1);
}

TEST(Scanner, TimesAreLocalWholeSecondsAndLargeSizesExact) {
  TempDir dir;
  WriteFile(dir / "r/t.txt", "x");
  // 10:15:42.900 UTC on 2021-06-01: the fraction is cut.
  const int64_t utc = 1622542542;
  struct timespec times[2] = {{utc, 900000000}, {utc, 900000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "r/t.txt").c_str(), times, 0), 0);
  WriteFile(dir / "r/big.bin", "");
  ASSERT_EQ(::truncate((dir / "r/big.bin").c_str(), 3221225472LL), 0);  // 3 GiB, sparse

  ScriptedScreen screen;
  App app(screen);
  app.Run.ScanningF2 = true;
  ScanResult r = ScanFolder(app, dir / "r");
  ASSERT_NE(FindFile(r, "t.txt"), nullptr);
  EXPECT_EQ(FindFile(r, "t.txt")->Modified, utc + CurrentUtcOffset());
  EXPECT_EQ(FindFile(r, "big.bin")->Size, 3221225472LL);
  EXPECT_EQ(app.Run.TreeSizeF2, 3221225473LL);
}

TEST(Scanner, LinksAreListedAsFilesAndNeverFollowed) {
  TempDir dir;
  WriteFile(dir / "r/sub/a.txt", "a");
  ASSERT_EQ(::symlink((dir / "r").c_str(), (dir / "r/sub/loop").c_str()), 0);  // a cycle
  ASSERT_EQ(::symlink("a.txt", (dir / "r/sub/alias").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", (dir / "r/dangling").c_str()), 0);
  ScriptedScreen screen;
  App app(screen);
  ScanResult r = ScanFolder(app, dir / "r");
  EXPECT_EQ(FileKeys(r), (std::set<std::string>{"/sub/a.txt", "/sub/loop", "/sub/alias", "/dangling"}));
  EXPECT_EQ(r.Folders.size(), 2u);
  // A link has its own size: the length of the text it points to.
  EXPECT_EQ(FindFile(r, "loop")->Size, static_cast<int64_t>((dir / "r").size()));
  EXPECT_EQ(FindFile(r, "dangling")->Size, 7);

  // A root given as a link to a folder is listed.
  ASSERT_EQ(::symlink((dir / "r").c_str(), (dir / "rootlink").c_str()), 0);
  EXPECT_EQ(ScanFolder(app, dir / "rootlink").Files.size(), 4u);
}

TEST(Scanner, NamesWithTabOrLineBreakAreLeftOutAndCounted) {
  TempDir dir;
  WriteFile(dir / "r/ok.txt", "1");
  WriteFile(dir / "r/bad\tname.txt", "1");
  WriteFile(dir / "r/line\nbreak/inner.txt", "1");
  WriteFile(dir / "r/sub/cr\rname", "1");
  ScriptedScreen screen;
  App app(screen);
  app.Run.ScanningF1 = true;
  ScanResult r = ScanFolder(app, dir / "r");
  EXPECT_EQ(FileKeys(r), (std::set<std::string>{"/ok.txt"}));
  EXPECT_EQ(r.Folders.size(), 2u);  // the root and sub
  EXPECT_EQ(r.Skipped, 3);
  EXPECT_EQ(app.Run.TreeFilesF1, 1);
  EXPECT_EQ(app.Run.TreeFoldersF1, 1);
  EXPECT_FALSE(IsRecordableName("a\tb"));
  EXPECT_TRUE(IsRecordableName("\x01odd"));
}
