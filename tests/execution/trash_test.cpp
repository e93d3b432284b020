#include <gtest/gtest.h>
#include <stdlib.h>

#include "commands/simulate.h"
#include "common/files.h"
#include "execution/execute_sub.h"
#include "platform/gio_trash.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

TEST(DeletedToTrash, DeletedAndReplacedFilesCanBeRestoredFromTheTrash) {
  FlowFixture f;
  // GIO reads these once per process: this is the only test here that uses it.
  ::setenv("HOME", f.dir.path().c_str(), 1);
  ::setenv("XDG_DATA_HOME", (f.dir / "data").c_str(), 1);
  MakeDirs(f.dir / "data");
  GioTrash trash;
  f.app.trash = &trash;
  f.app.Options.DeletedToTrash = true;
  f.SetMirrorMode();
  Simulated(f, {"t/extra.txt=deleted", "s/newer.txt=new@2000000000", "t/newer.txt=replaced@1900000000"});
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(Listing(f.dir / "t"), std::vector<std::string>{"newer.txt=new"});
  EXPECT_EQ(Listing(f.dir / "data/Trash/files"), (std::vector<std::string>{"extra.txt=deleted", "newer.txt=replaced"}));
  for (const char* name : {"extra.txt", "newer.txt"})
    EXPECT_NE(ReadTextFile(f.dir / "data/Trash/info/" + std::string(name) + ".trashinfo")
                  .find("Path=" + f.dir / "t/" + name + "\n"),
              std::string::npos);

  // Without a trash to go to, nothing is deleted and the records stay.
  f.app.trash = nullptr;
  WriteFile(f.dir / "t/another.txt", "kept");
  Simulate(f.app);
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 1}));
  EXPECT_EQ(ReadTextFile(f.dir / "t/another.txt"), "kept");
}
