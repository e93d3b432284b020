// Where an entry on another mount than the home trash goes: the trash at the top of its own mount, never one
// reached through a link.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/files.h"
#include "platform/desktop_trash.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;

namespace {

struct Row {
  const char* what;
  std::vector<std::string> prepared;  // entries made on the mount (links may point to "../outside")
  TrashOutcome outcome;
  const char* trash;   // where the entry is then, below the mount ("" when it stayed)
  mode_t outsideMode;  // a folder outside the mount that would pass as a trash if a link were followed
};

// In a child with a mount namespace of its own: a fresh file system mounted at dir/mnt, the home trash on another.
int RunRow(const TempDir& dir, const Row& row) {
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 10;
  const std::string mnt = dir / "mnt";
  if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "mode=0755") != 0) return 11;
  ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  MakeTree(mnt, {"d/f=x"});
  for (const std::string& entry : row.prepared) {
    if (entry == ".Trash/") {
      MakeDirs(mnt + "/.Trash");
      ::chmod((mnt + "/.Trash").c_str(), 01777);
    } else {
      MakeTree(mnt, {entry});
    }
  }
  const int folder = ::open((mnt + "/d").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const TrashOutcome outcome = DesktopTrash().MoveToTrash(folder, "f", mnt + "/d/f");
  const std::string uid = std::to_string(::geteuid());
  std::string trash = row.trash;
  if (const auto pos = trash.find("UID"); pos != std::string::npos) trash.replace(pos, 3, uid);
  if (outcome != row.outcome) return 1;
  if (!Listing(dir / "outside").empty() || !Listing(dir / "data").empty()) return 2;
  if (trash.empty()) return PathExists(mnt + "/d/f") ? 0 : 3;
  if (PathExists(mnt + "/d/f") || ReadTextFile(mnt + "/" + trash + "/files/f") != "x") return 4;
  return ReadTextFile(mnt + "/" + trash + "/info/f.trashinfo").find("Path=" + mnt + "/d/f\n") == std::string::npos;
}

}  // namespace

TEST(TrashFolders, AnEntryOnAnotherMountGoesToTheTrashAtItsTop) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  const Row rows[] = {
      {"no trash yet", {}, TrashOutcome::Moved, ".Trash-UID", 0700},
      {"a shared sticky trash", {".Trash/"}, TrashOutcome::Moved, ".Trash/UID", 0700},
      {"a shared trash that is a link", {".Trash->../outside"}, TrashOutcome::Moved, ".Trash-UID", 01777},
      {"a trash of ours that is a link", {".Trash-UID->../outside"}, TrashOutcome::NoTrash, "", 0700},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    MakeDirs(dir / "mnt");
    MakeDirs(dir / "outside");
    MakeDirs(dir / "data");
    ::chmod((dir / "outside").c_str(), row.outsideMode);
    Row mine = row;
    for (std::string& entry : mine.prepared)
      if (const auto pos = entry.find("UID"); pos != std::string::npos)
        entry.replace(pos, 3, std::to_string(::geteuid()));
    for (std::string& entry : mine.prepared)
      if (const auto pos = entry.find("->../outside"); pos != std::string::npos)
        entry = entry.substr(0, pos) + "->" + dir / "outside";
    const pid_t child = ::fork();
    if (child == 0) ::_exit(RunRow(dir, mine));
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}
