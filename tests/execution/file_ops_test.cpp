#include "execution/file_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "common/files.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

bool Copy(const std::string& source, const std::string& target, bool overwrite = true,
          const std::atomic<bool>* cancel = nullptr) {
  int created = -1;
  return CopyWithFolders(source, target, overwrite, created, cancel);
}

struct stat Lstat(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

// Every entry directly in the folder, to catch left-over temporary files.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Link(const std::string& path) {
  std::error_code ec;
  return std::filesystem::read_symlink(path, ec).string();
}

}  // namespace

TEST(CopyWithFolders, CreatesMissingChainAndKeepsTimesAndMode) {
  TempDir dir;
  std::string source = dir / "src/a.txt";
  WriteFile(source, "content");
  ::chmod(source.c_str(), 0640);
  struct timespec times[2] = {{1000000000, 123456789}, {1200000000, 987654321}};
  ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);

  int created = -1;
  ASSERT_TRUE(CopyWithFolders(source, dir / "t/x/y/a.txt", true, created));
  EXPECT_EQ(created, 3);
  struct stat st = Lstat(dir / "t/x/y/a.txt");  // before reading it, which may touch the access time
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 987654321);
  EXPECT_EQ(st.st_atim.tv_sec, 1000000000);
  EXPECT_EQ(st.st_atim.tv_nsec, 123456789);
  EXPECT_EQ(ReadTextFile(dir / "t/x/y/a.txt"), "content");
  EXPECT_EQ(Entries(dir / "t/x/y"), std::vector<std::string>{"a.txt"});

  // Into an existing folder nothing is created; bits the creation mask strips are set all the same.
  ::chmod(source.c_str(), 0666);
  ASSERT_TRUE(CopyWithFolders(source, dir / "t/x/b.txt", true, created));
  EXPECT_EQ(created, 0);
  EXPECT_EQ(Lstat(dir / "t/x/b.txt").st_mode & 07777, 0666u);
  EXPECT_FALSE(Copy("", dir / "t/c.txt"));
  EXPECT_FALSE(Copy(source, ""));
  EXPECT_FALSE(Copy(dir / "src/missing", dir / "t/c.txt"));
  EXPECT_FALSE(PathExists(dir / "t/c.txt"));
}

TEST(CopyWithFolders, OverwriteFlagAndReadOnlyTarget) {
  TempDir dir;
  WriteFile(dir / "new.txt", "new");
  WriteFile(dir / "old.txt", "old");
  EXPECT_FALSE(Copy(dir / "new.txt", dir / "old.txt", false));
  EXPECT_EQ(ReadTextFile(dir / "old.txt"), "old");
  EXPECT_TRUE(Copy(dir / "new.txt", dir / "old.txt", true));
  EXPECT_EQ(ReadTextFile(dir / "old.txt"), "new");

  // No write bit for anybody: refused even though root could write.
  WriteFile(dir / "ro.txt", "keep");
  ::chmod((dir / "ro.txt").c_str(), 0444);
  EXPECT_FALSE(Copy(dir / "new.txt", dir / "ro.txt"));
  EXPECT_EQ(ReadTextFile(dir / "ro.txt"), "keep");
  // A link source meets the same refusal.
  ::symlink("new.txt", (dir / "link").c_str());
  EXPECT_FALSE(Copy(dir / "link", dir / "ro.txt"));
  EXPECT_EQ(ReadTextFile(dir / "ro.txt"), "keep");
  // Deleting it works.
  EXPECT_EQ(DeletePath(dir / "ro.txt"), DeleteResult::Deleted);
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"link", "new.txt", "old.txt"}));
}

TEST(CopyWithFolders, CancelledOrFailedCopyRollsBackAndKeepsOldTarget) {
  TempDir dir;
  std::string big(9 << 20, 'b');  // more than one chunk, so the flag is seen half-way
  WriteFile(dir / "src/big", big);
  WriteFile(dir / "dst/big", "old");
  std::atomic<bool> cancel{true};
  EXPECT_FALSE(Copy(dir / "src/big", dir / "dst/big", true, &cancel));
  EXPECT_EQ(ReadTextFile(dir / "dst/big"), "old");
  EXPECT_FALSE(Copy(dir / "src/big", dir / "dst/fresh", true, &cancel));
  EXPECT_EQ(Entries(dir / "dst"), std::vector<std::string>{"big"});

  // A copy that is finished before the flag is looked at stands.
  WriteFile(dir / "src/small", "s");
  EXPECT_TRUE(Copy(dir / "src/small", dir / "dst/small", true, &cancel));
  cancel = false;
  EXPECT_TRUE(Copy(dir / "src/big", dir / "dst/big", true, &cancel));
  EXPECT_EQ(ReadTextFile(dir / "dst/big"), big);

  // A write error half-way does the same: a file-size limit makes it fail for root as well.
  WriteFile(dir / "dst/big", "old");
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit limited = saved;
  limited.rlim_cur = 1 << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  int result = Copy(dir / "src/big", dir / "dst/big");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadTextFile(dir / "dst/big"), "old");
  EXPECT_EQ(Entries(dir / "dst"), (std::vector<std::string>{"big", "small"}));
}

TEST(CopyWithFolders, AcrossFileSystemsFallsBackToReadWrite) {
  std::string shm = "/dev/shm";
  if (!IsDirectory(shm) || ::access(shm.c_str(), W_OK) != 0) GTEST_SKIP() << "no /dev/shm";
  std::string source = shm + "/dualdock-copy-test-" + std::to_string(::getpid());
  std::string content(5 << 20, 'c');
  content += "end";
  ASSERT_TRUE(WriteTextFile(content, source));
  TempDir dir;
  int result = Copy(source, dir / "copy");
  ::unlink(source.c_str());
  EXPECT_NE(result, 0);
  EXPECT_EQ(ReadTextFile(dir / "copy"), content);
}

TEST(CopyWithFolders, LinksAreCopiedAsLinks) {
  TempDir dir;
  WriteFile(dir / "src/data.txt", "data");
  ASSERT_EQ(::symlink("data.txt", (dir / "src/to-data").c_str()), 0);
  ASSERT_EQ(::symlink("../nowhere", (dir / "src/dangling").c_str()), 0);
  WriteFile(dir / "dst/to-data", "a file that becomes a link");

  EXPECT_TRUE(Copy(dir / "src/to-data", dir / "dst/to-data"));
  EXPECT_TRUE(S_ISLNK(Lstat(dir / "dst/to-data").st_mode));
  EXPECT_EQ(Link(dir / "dst/to-data"), "data.txt");
  int created = -1;
  EXPECT_TRUE(CopyWithFolders(dir / "src/dangling", dir / "dst/sub/dangling", true, created));
  EXPECT_EQ(created, 1);
  EXPECT_EQ(Link(dir / "dst/sub/dangling"), "../nowhere");
  // Replacing a link replaces the link, not what it points to.
  WriteFile(dir / "dst/data.txt", "other data");
  EXPECT_TRUE(Copy(dir / "src/dangling", dir / "dst/to-data"));
  EXPECT_EQ(Link(dir / "dst/to-data"), "../nowhere");
  EXPECT_EQ(ReadTextFile(dir / "dst/data.txt"), "other data");
  EXPECT_EQ(Entries(dir / "dst"), (std::vector<std::string>{"data.txt", "sub", "to-data"}));
}

TEST(CopyWithFolders, FolderRecordsAndImpossibleCopiesWithoutDebris) {
  TempDir dir;
  WriteFile(dir / "src/file", "f");
  test::MakeDirs(dir / "src/folder");
  WriteFile(dir / "dst/plain", "plain");
  WriteFile(dir / "dst/occupied/inside", "i");

  int created = -1;
  EXPECT_FALSE(CopyWithFolders(dir / "src/file", dir / "dst/plain/sub/file", true, created));
  EXPECT_EQ(created, 0);
  EXPECT_FALSE(CopyWithFolders(dir / "src/folder", dir / "dst/plain/sub", true, created));
  // A folder record meets a file, a file meets a folder.
  EXPECT_FALSE(CopyWithFolders(dir / "src/folder", dir / "dst/plain", true, created));
  EXPECT_EQ(ReadTextFile(dir / "dst/plain"), "plain");
  EXPECT_FALSE(CopyWithFolders(dir / "src/file", dir / "dst/occupied", true, created));
  EXPECT_EQ(ReadTextFile(dir / "dst/occupied/inside"), "i");
  // Pipes are not copied (and opening one must not hang).
  ASSERT_EQ(::mkfifo((dir / "src/fifo").c_str(), 0644), 0);
  EXPECT_FALSE(CopyWithFolders(dir / "src/fifo", dir / "dst/fifo", true, created));
  EXPECT_EQ(Entries(dir / "dst"), (std::vector<std::string>{"occupied", "plain"}));

  // Folders made before the error stay and are counted.
  std::string tooLong(300, 'n');
  EXPECT_FALSE(CopyWithFolders(dir / "src/file", dir / "dst/made/" + tooLong + "/file", true, created));
  EXPECT_EQ(created, 1);
  EXPECT_TRUE(IsDirectory(dir / "dst/made"));
  EXPECT_FALSE(CopyWithFolders(dir / "src/folder", dir / "dst/made2/" + tooLong, true, created));
  EXPECT_EQ(created, 1);

  // A folder record creates the folder and its chain; a link to a folder is no folder.
  EXPECT_TRUE(CopyWithFolders(dir / "src/folder", dir / "dst/a/b/folder", true, created));
  EXPECT_EQ(created, 3);
  EXPECT_TRUE(IsDirectory(dir / "dst/a/b/folder"));
  EXPECT_TRUE(CopyWithFolders(dir / "src/folder", dir / "dst/a/b/folder", false, created));
  EXPECT_EQ(created, 0);
  ::symlink("a", (dir / "dst/link").c_str());
  EXPECT_FALSE(CopyWithFolders(dir / "src/folder", dir / "dst/link", true, created));
}

TEST(DeletePath, ResultsAndForcedDeletion) {
  TempDir dir;
  EXPECT_EQ(DeletePath(dir / "missing"), DeleteResult::NothingThere);
  EXPECT_EQ(DeletePath(""), DeleteResult::NothingThere);
  WriteFile(dir / "file", "f");
  EXPECT_EQ(DeletePath(dir / "file"), DeleteResult::Deleted);
  EXPECT_FALSE(PathExists(dir / "file"));

  WriteFile(dir / "tree/a/b/ro.txt", "r");
  ::chmod((dir / "tree/a/b/ro.txt").c_str(), 0444);
  ::chmod((dir / "tree/a/b").c_str(), 0555);
  WriteFile(dir / "tree/top.txt", "t");
  EXPECT_EQ(DeletePath(dir / "tree"), DeleteResult::Deleted);
  EXPECT_FALSE(PathExists(dir / "tree"));

  // The kernel refuses to remove this one, for root too.
  if (PathExists("/proc/self/status")) {
    EXPECT_EQ(DeletePath("/proc/self/status"), DeleteResult::StillThere);
  }
}

TEST(DeletePath, NeverDeletesThroughLinks) {
  TempDir dir;
  WriteFile(dir / "outside/keep.txt", "k");
  WriteFile(dir / "outside-file", "o");
  WriteFile(dir / "tree/own.txt", "x");
  ::symlink((dir / "outside").c_str(), (dir / "tree/folder-link").c_str());
  ::symlink((dir / "outside-file").c_str(), (dir / "tree/file-link").c_str());
  ::symlink((dir / "outside").c_str(), (dir / "top-link").c_str());

  EXPECT_EQ(DeletePath(dir / "tree"), DeleteResult::Deleted);
  EXPECT_EQ(ReadTextFile(dir / "outside/keep.txt"), "k");
  EXPECT_EQ(ReadTextFile(dir / "outside-file"), "o");

  // The path itself a link to a folder: only the link goes.
  DeleteFolderForced(dir / "top-link");
  EXPECT_FALSE(PathExists(dir / "top-link"));
  EXPECT_EQ(ReadTextFile(dir / "outside/keep.txt"), "k");
  ::symlink((dir / "outside").c_str(), (dir / "top-link").c_str());
  EXPECT_EQ(DeletePath(dir / "top-link"), DeleteResult::Deleted);
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"outside", "outside-file"}));
}
