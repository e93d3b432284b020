#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "apply/execute_app.h"
#include "apply/execute_sub.h"
#include "common/clock.h"
#include "common/files.h"
#include "flows/simulate.h"
#include "platform/desktop_trash.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

TEST(DeletedToTrash, FilesDeletedOrReplacedCanBeRestoredFromTheTrash) {
  FlowFixture f;
  // GIO reads these once per process: this is the only test here that uses it.
  ::setenv("HOME", f.dir.path().c_str(), 1);
  ::setenv("XDG_DATA_HOME", (f.dir / "data").c_str(), 1);
  MakeDirs(f.dir / "data");
  DesktopTrash trash;
  f.app.trash = &trash;
  f.app.Options.DeletedToTrash = true;
  f.SetMirrorMode();
  Simulated(f, {"t/extra.txt=deleted", "s/newer.txt=new@2000000000", "t/newer.txt=replaced@1900000000"});
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(Listing(f.dir / "t"), std::vector<std::string>{"newer.txt=new"});
  EXPECT_EQ(Listing(f.dir / "data/Trash/files"), (std::vector<std::string>{"extra.txt=deleted", "newer.txt=replaced"}));
  for (const char* name : {"extra.txt", "newer.txt"})
    EXPECT_NE(ReadTextFile(f.dir / "data/Trash/info/" + std::string(name) + ".trashinfo")
                  .find("Path=" + f.dir / "t/" + name + "\n"),
              std::string::npos);
}

TEST(DeletedToTrash, WithoutATrashToGoToNothingIsDeleted) {
  FlowFixture f;
  f.app.trash = nullptr;
  f.app.Options.DeletedToTrash = true;
  f.SetMirrorMode();
  Simulated(f, {"t/another.txt=kept"});
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 1}));
  EXPECT_EQ(ReadTextFile(f.dir / "t/another.txt"), "kept");
  EXPECT_EQ(f.ListFileRecords().size(), 1u);
}

// A target folder swapped back and forth with a link to a folder outside the pair, while a run sends what it
// deletes or replaces to the trash: nothing outside the pair may move or change.
TEST(DeletedToTrash, AFolderSwappedForALinkNeverLetsTheTrashReachOutside) {
  constexpr int kFiles = 60;
  const double deadline = MonotonicSeconds() + 2;
  TempDir data;
  ::setenv("HOME", data.path().c_str(), 1);
  ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  int rounds = 0;
  while (MonotonicSeconds() < deadline) {
    ++rounds;
    FlowFixture f;
    DesktopTrash trash;
    f.app.trash = &trash;
    f.app.Options.DeletedToTrash = true;
    f.SetMirrorMode();
    std::vector<std::string> tree{"s/d/"};
    for (int i = 0; i < kFiles; ++i) {
      const std::string name = "d/f" + std::to_string(i);
      if (i % 2) tree.push_back("s/" + name + "=new@2000000000");
      tree.push_back("t/" + name + "=old@1900000000");
      tree.push_back("outside/" + name + "=out@1900000000");
    }
    Simulated(f, tree);
    const std::vector<std::string> outside = Listing(f.dir / "outside");
    std::filesystem::create_symlink(f.dir / "outside/d", f.dir / "t/swap");

    std::atomic<bool> stop{false};
    std::thread swapper([&] {
      const std::string a = f.dir / "t/d", b = f.dir / "t/swap";
      while (!stop) ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
    });
    ExecuteList(f.app);
    stop = true;
    swapper.join();
    ASSERT_EQ(Listing(f.dir / "outside"), outside) << "round " << rounds;
  }
  // What went to the trash came from inside the pair.
  for (const std::string& entry : Listing(data / "Trash/files")) EXPECT_EQ(entry.substr(entry.find('=')), "=old");
}

TEST(DeletedToTrash, TheRecordedPathEscapesEveryByteButPlainOnes) {
  const std::pair<std::string, std::string> rows[] = {
      {"/home/a/file-1_x.txt~", "/home/a/file-1_x.txt~"},
      {"/a b/100%", "/a%20b/100%25"},
      {"/\xC3\xBC\n", "/%C3%BC%0A"},
  };
  for (const auto& [path, text] : rows) EXPECT_EQ(TrashInfoPath(path), text) << path;
}
