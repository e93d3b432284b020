#include <gtest/gtest.h>
#include <stdlib.h>

#include "commands/simulate.h"
#include "common/files.h"
#include "execution/execute_sub.h"
#include "oplist/backup_mode.h"
#include "platform/gio_trash.h"
#include "support/flow_fixture.h"

using namespace dd;
using dd::test::FlowFixture;
using dd::test::WriteFile;

TEST(DeletedToTrash, DeletedAndReplacedFilesCanBeRestoredFromTheTrash) {
  FlowFixture f;
  // GIO reads these once per process: this is the only test here that uses it.
  ::setenv("HOME", f.dir.path().c_str(), 1);
  ::setenv("XDG_DATA_HOME", (f.dir / "data").c_str(), 1);
  test::MakeDirs(f.dir / "data");
  GioTrash trash;
  f.app.trash = &trash;
  f.app.Options.DeletedToTrash = true;
  f.SetMirrorMode();
  WriteFile(f.dir / "t/extra.txt", "deleted");
  WriteFile(f.dir / "s/newer.txt", "new", 2000000000);
  WriteFile(f.dir / "t/newer.txt", "replaced", 1900000000);
  f.AddSourceTargetPair();
  Simulate(f.app);
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 0}));

  EXPECT_FALSE(PathExists(f.dir / "t/extra.txt"));
  EXPECT_EQ(ReadTextFile(f.dir / "t/newer.txt"), "new");
  const std::string trash_ = f.dir / "data/Trash";
  EXPECT_EQ(ReadTextFile(trash_ + "/files/extra.txt"), "deleted");
  EXPECT_EQ(ReadTextFile(trash_ + "/files/newer.txt"), "replaced");
  EXPECT_NE(ReadTextFile(trash_ + "/info/extra.txt.trashinfo").find("Path=" + f.dir / "t/extra.txt\n"),
            std::string::npos);
  EXPECT_NE(ReadTextFile(trash_ + "/info/newer.txt.trashinfo").find("Path=" + f.dir / "t/newer.txt\n"),
            std::string::npos);

  // Without a trash to go to, nothing is deleted and the records stay.
  f.app.trash = nullptr;
  WriteFile(f.dir / "t/another.txt", "kept");
  Simulate(f.app);
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 1}));
  EXPECT_EQ(ReadTextFile(f.dir / "t/another.txt"), "kept");
}
