#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/files.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;

namespace {

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST(Files, AWriteReplacesTheWholeFileLeavingNoTemporaryFile) {
  TempDir dir;
  ASSERT_TRUE(WriteTextFile("first version, longer", dir / "list.txt"));
  ASSERT_TRUE(WriteTextFile("a\r\nb", dir / "list.txt"));
  EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"list.txt=a\r\nb"}));
}

TEST(Files, AWriteBelowARegularFileFails) {
  TempDir dir;
  MakeTree(dir.path(), {"file=x"});
  EXPECT_FALSE(WriteTextFile("y", dir / "file/inner.txt"));
  EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"file=x"}));
}

TEST(Files, AWrittenFileKeepsItsModeOrGetsTheUsualOne) {
  TempDir dir;
  MakeTree(dir.path(), {"private.txt=old"});
  ASSERT_EQ(::chmod((dir / "private.txt").c_str(), 0600), 0);
  ASSERT_TRUE(WriteTextFile("new", dir / "private.txt"));
  ASSERT_TRUE(WriteTextFile("new", dir / "fresh.txt"));
  EXPECT_EQ(ModeOf(dir / "private.txt"), 0600u);
  EXPECT_EQ(ModeOf(dir / "fresh.txt"), 0644u);
}

TEST(Files, AnUncommittedFileLeavesOnlyTheOldOne) {
  TempDir dir;
  MakeTree(dir.path(), {"list.txt=old"});
  {
    AtomicFile file(dir / "list.txt");
    file.Append(std::string(3u << 20, 'x'));  // beyond the gathered amount: part of it is on the disk already
  }
  EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"list.txt=old"}));
}

TEST(Files, PiecesAppendedInTurnMakeTheFile) {
  TempDir dir;
  const std::string large(3u << 20, 'x');
  AtomicFile file(dir / "dump.txt");
  file.Append("head ");
  file.Append(large);
  file.Append(" tail");
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadWholeFile(dir / "dump.txt", kListFileLimit, false).text, "head " + large + " tail");
}

TEST(Files, MakePathCreatesEveryMissingFolderOrFails) {
  struct Row {
    const char* name;
    const char* path;
    bool made;
  };
  const Row rows[] = {{"nested", "a/b/c", true}, {"below a file", "file/sub", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    MakeTree(dir.path(), {"file=x"});
    EXPECT_EQ(MakePath(dir / row.path), row.made);
    EXPECT_EQ(IsDirectory(dir / row.path), row.made);
  }
  EXPECT_FALSE(MakePath(""));
}

TEST(Files, AWholeReadTakesOnlyARegularFileWithinTheLimit) {
  TempDir dir;
  MakeTree(dir.path(), {"plain.txt=abc", "link.txt->plain.txt"});
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  struct Row {
    const char* name;
    std::string path;
    std::size_t limit;
    bool followLinks;
    FileReadStatus status;
    const char* text;
  };
  const Row rows[] = {
      {"within the limit", dir / "plain.txt", 3, false, FileReadStatus::Read, "abc"},
      {"beyond the limit", dir / "plain.txt", 2, false, FileReadStatus::Damaged, ""},
      {"missing", dir / "missing.txt", 9, false, FileReadStatus::Unreadable, ""},
      // A pipe is never opened for a blocking read; opening it without a writer would hang.
      {"pipe", dir / "pipe", 9, true, FileReadStatus::Damaged, ""},
      {"device", "/dev/zero", kProgramFileLimit, true, FileReadStatus::Damaged, ""},
      // A link is followed only when asked to (job files).
      {"link not followed", dir / "link.txt", 9, false, FileReadStatus::Damaged, ""},
      {"link followed", dir / "link.txt", 9, true, FileReadStatus::Read, "abc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const FileRead read = ReadWholeFile(row.path, row.limit, row.followLinks);
    EXPECT_EQ(read.status, row.status);
    EXPECT_EQ(read.text, row.text);
  }
}

TEST(Files, AProgramFileIsReadOnlyWhenItIsNoLink) {
  TempDir dir;
  MakeTree(dir.path(), {"plain.txt=abc", "link.txt->plain.txt"});
  EXPECT_EQ(ReadTextFile(dir / "plain.txt"), "abc");
  EXPECT_EQ(ReadTextFile(dir / "link.txt"), "");
  EXPECT_EQ(ReadTextFile(dir / "missing.txt"), "");
}

TEST(Files, LinksAreEntriesButNeverFolders) {
  TempDir dir;
  MakeTree(dir.path(), {"real/", "link->real", "dangling->nowhere"});
  struct Row {
    const char* name;
    bool exists;
    bool folder;
  };
  const Row rows[] = {
      {"real", true, true}, {"link", true, false}, {"dangling", true, false}, {"missing", false, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(PathExists(dir / row.name), row.exists);
    EXPECT_EQ(IsDirectory(dir / row.name), row.folder);
  }
}

TEST(Files, DeletingAFileSaysWhatBecameOfIt) {
  struct Row {
    const char* name;
    const char* entry;  // made beside "folder/inner=x"; "" for none
    bool readOnly;
    DeleteResult result;
  };
  const Row rows[] = {
      {"file", "file=a", false, DeleteResult::Deleted},
      {"read-only", "read-only=a", true, DeleteResult::Deleted},
      // The link goes, never what it points to.
      {"link", "link->folder", false, DeleteResult::Deleted},
      {"missing", "", false, DeleteResult::NothingThere},
      {"folder", "", false, DeleteResult::StillThere},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    MakeTree(dir.path(), {"folder/inner=x"});
    if (*row.entry) MakeTree(dir.path(), {row.entry});
    if (row.readOnly) {
      ASSERT_EQ(::chmod((dir / row.name).c_str(), 0444), 0);
    }
    EXPECT_EQ(DeleteFile(dir / row.name), row.result);
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"folder/", "folder/inner=x"}));
  }
}
