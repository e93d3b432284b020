#include "apply/file_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "common/files.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;
using Lines = std::vector<std::string>;

namespace {

bool Copy(const std::string& source, const std::string& target, const std::atomic<bool>* cancel = nullptr) {
  int created = -1;
  return CopyWithFolders(source, target, true, created, cancel);
}

}  // namespace

TEST(CopyWithFolders, ACopyKeepsTheTimesAndModeOfItsSource) {
  TempDir dir;
  MakeTree(dir.path(), {"src/a.txt=content", "src/open.txt=open"});
  ::chmod((dir / "src/a.txt").c_str(), 0640);
  ::chmod((dir / "src/open.txt").c_str(), 0666);  // bits the creation mask strips are set all the same
  struct timespec times[2] = {{1000000000, 123456789}, {1200000000, 987654321}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "src/a.txt").c_str(), times, 0), 0);
  ASSERT_TRUE(Copy(dir / "src/a.txt", dir / "dst/a.txt"));
  ASSERT_TRUE(Copy(dir / "src/open.txt", dir / "dst/b.txt"));
  struct stat st {};
  ::lstat((dir / "dst/a.txt").c_str(), &st);  // before reading it, which may touch the access time
  EXPECT_EQ(std::vector<int64_t>(
                {st.st_mode & 07777, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_atim.tv_sec, st.st_atim.tv_nsec}),
            std::vector<int64_t>({0640, 1200000000, 987654321, 1000000000, 123456789}));
  ::lstat((dir / "dst/b.txt").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0666u);
}

// One tree met by copies in turn, then checked as a whole: every refused copy left it as it was.
TEST(CopyWithFolders, EachCopyInOneTreeHasItsOutcomeWithoutDebris) {
  TempDir dir;
  MakeTree(dir.path(), {"src/a.txt=content", "src/open.txt=open", "src/file=f", "src/folder/", "src/new.txt=new",
                        "src/to-new->new.txt", "src/to-data->data.txt", "src/dangling->../nowhere", "dst/old.txt=old",
                        "dst/ro.txt=keep", "dst/plain=plain", "dst/occupied/inside=i",
                        "dst/to-data=a file that becomes a link", "dst/data.txt=other data", "dst/link->a"});
  ::chmod((dir / "dst/ro.txt").c_str(), 0444);  // no write bit for anybody: refused even though root could write
  ASSERT_EQ(::mkfifo((dir / "src/fifo").c_str(), 0644), 0);
  const std::string tooLong(300, 'n');
  const struct {
    std::string source, target;
    bool overwrite, ok;
    int created;
  } copies[] = {
      {"src/a.txt", "dst/x/y/a.txt", true, true, 2},
      {"src/open.txt", "dst/x/b.txt", true, true, 0},
      {"", "dst/c.txt", true, false, 0},
      {"src/file", "", true, false, 0},
      {"src/missing", "dst/c.txt", true, false, 0},
      {"src/new.txt", "dst/old.txt", false, false, 0},
      {"src/new.txt", "dst/old.txt", true, true, 0},
      {"src/new.txt", "dst/ro.txt", true, false, 0},
      {"src/to-new", "dst/ro.txt", true, false, 0},   // a link source meets the same refusal
      {"src/to-data", "dst/to-data", true, true, 0},  // links are copied as links
      {"src/dangling", "dst/sub/dangling", true, true, 1},
      {"src/dangling", "dst/to-data", true, true, 0},  // replacing a link replaces the link, not what it points to
      {"src/file", "dst/plain/sub/file", true, false, 0},
      {"src/folder", "dst/plain/sub", true, false, 0},
      {"src/folder", "dst/plain", true, false, 0},   // a folder record meets a file
      {"src/file", "dst/occupied", true, false, 0},  // a file meets a folder
      {"src/fifo", "dst/fifo", true, false, 0},      // pipes are not copied, and opening one must not hang
      {"src/file", "dst/made/" + tooLong + "/file", true, false, 1},  // folders made before the error stay and count
      {"src/folder", "dst/made2/" + tooLong, true, false, 1},
      {"src/folder", "dst/a/b/folder", true, true, 3},  // a folder record creates the folder and its chain
      {"src/folder", "dst/a/b/folder", false, true, 0},
      {"src/folder", "dst/link", true, false, 0},  // a link to a folder is no folder
  };
  for (const auto& c : copies) {
    int created = -1;
    EXPECT_EQ(CopyWithFolders(c.source.empty() ? "" : dir / c.source, c.target.empty() ? "" : dir / c.target,
                              c.overwrite, created),
              c.ok)
        << c.source << " -> " << c.target;
    EXPECT_EQ(created, c.created) << c.source << " -> " << c.target;
  }
  EXPECT_EQ(Listing(dir / "dst"),
            (Lines{"a/", "a/b/", "a/b/folder/", "data.txt=other data", "link->a", "made/", "made2/", "occupied/",
                   "occupied/inside=i", "old.txt=new", "plain=plain", "ro.txt=keep", "sub/", "sub/dangling->../nowhere",
                   "to-data->../nowhere", "x/", "x/b.txt=open", "x/y/", "x/y/a.txt=content"}));
}

TEST(CopyWithFolders, ACancelledCopyKeepsTheOldTarget) {
  TempDir dir;
  const std::string big(9 << 20, 'b');  // more than one chunk, so the flag is seen half-way
  MakeTree(dir.path(), {"src/big=" + big, "src/small=s", "dst/big=old"});
  std::atomic<bool> cancel{true};
  EXPECT_FALSE(Copy(dir / "src/big", dir / "dst/big", &cancel));
  EXPECT_FALSE(Copy(dir / "src/big", dir / "dst/fresh", &cancel));
  EXPECT_EQ(Listing(dir / "dst"), Lines{"big=old"});
  // A copy that is finished before the flag is looked at stands.
  EXPECT_TRUE(Copy(dir / "src/small", dir / "dst/small", &cancel));
  cancel = false;
  EXPECT_TRUE(Copy(dir / "src/big", dir / "dst/big", &cancel));
  EXPECT_EQ(ReadTextFile(dir / "dst/big"), big);
}

TEST(CopyWithFolders, AWriteErrorHalfWayKeepsTheOldTarget) {
  TempDir dir;
  const std::string big(9 << 20, 'b');
  MakeTree(dir.path(), {"src/big=" + big, "dst/big=old"});
  // A file-size limit makes the write fail for root as well.
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit limited = saved;
  limited.rlim_cur = 1 << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool copied = Copy(dir / "src/big", dir / "dst/big");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(copied);
  EXPECT_EQ(Listing(dir / "dst"), Lines{"big=old"});
}

TEST(CopyWithFolders, AcrossFileSystemsFallsBackToReadWrite) {
  const std::string shm = "/dev/shm";
  if (!IsDirectory(shm) || ::access(shm.c_str(), W_OK) != 0) GTEST_SKIP() << "no /dev/shm";
  const std::string source = shm + "/dualdock-copy-test-" + std::to_string(::getpid());
  const std::string content = std::string(5 << 20, 'c') + "end";
  ASSERT_TRUE(WriteTextFile(content, source));
  TempDir dir;
  const bool copied = Copy(source, dir / "copy");
  ::unlink(source.c_str());
  EXPECT_TRUE(copied);
  EXPECT_EQ(ReadTextFile(dir / "copy"), content);
}

TEST(DeletePath, SaysWhatBecameOfThePath) {
  TempDir dir;
  MakeTree(dir.path(), {"file=f"});
  EXPECT_EQ(DeletePath(dir / "missing"), DeleteResult::NothingThere);
  EXPECT_EQ(DeletePath(""), DeleteResult::NothingThere);
  EXPECT_EQ(DeletePath(dir / "file"), DeleteResult::Deleted);
  // The kernel refuses to remove this one, for root too.
  if (PathExists("/proc/self/status")) {
    EXPECT_EQ(DeletePath("/proc/self/status"), DeleteResult::StillThere);
  }
}

TEST(DeletePath, DeletesATreeButNothingALinkLeadsTo) {
  TempDir dir;
  MakeTree(dir.path(), {"file=f", "tree/a/b/ro.txt=r", "tree/top.txt=t", "outside/keep.txt=k", "outside-file=o",
                        "tree/folder-link->../outside", "tree/file-link->../outside-file", "top-link->outside",
                        "top-link2->outside"});
  ::chmod((dir / "tree/a/b/ro.txt").c_str(), 0444);
  ::chmod((dir / "tree/a/b").c_str(), 0555);
  EXPECT_EQ(DeletePath(dir / "file"), DeleteResult::Deleted);
  EXPECT_EQ(DeletePath(dir / "tree"), DeleteResult::Deleted);
  // The path itself a link to a folder: only the link goes.
  DeleteFolderForced(dir / "top-link");
  EXPECT_EQ(DeletePath(dir / "top-link2"), DeleteResult::Deleted);
  EXPECT_EQ(Listing(dir.path()), (Lines{"outside-file=o", "outside/", "outside/keep.txt=k"}));
}
