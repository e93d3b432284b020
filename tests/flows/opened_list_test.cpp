#include <gtest/gtest.h>

#include "common/files.h"
#include "flows/execute_flow.h"
#include "flows/todo_files.h"
#include "job/startup.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

// A list opened from a file belongs to the job open then: a later run without that job (the command line
// without JOB, a window just started) carries it out inside that job's pairs only.
TEST(OpenedList, IsCarriedOutAgainstTheJobItWasOpenedWith) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"s/", "t/stale.txt=stale", "x/s/", "x/t/victim.txt=victim"});
  f.AddSourceTargetPair();
  const std::string own = Rec("= x", "Extra in F2", f.dir / "s/stale.txt", f.dir / "t/stale.txt", "0", "5");
  const std::string other = Rec("= x", "Extra in F2", f.dir / "x/s/victim.txt", f.dir / "x/t/victim.txt", "0", "6");
  WriteFile(f.dir / "saved.txt", own + "\r\n" + other);
  OpenListCommand(f.app, f.dir / "saved.txt");
  ASSERT_EQ(f.ListFileRecords().size(), 2u);

  ScriptedScreen screen;
  App later(screen);
  StartUp(later, f.home, std::string());
  ASSERT_TRUE(later.Job.SourceFolders.empty());
  EXPECT_EQ(Execute(later), (RunResult{RunOutcome::Done, 1}));
  EXPECT_FALSE(PathExists(f.dir / "t/stale.txt"));
  EXPECT_EQ(ReadTextFile(f.dir / "x/t/victim.txt"), "victim");
  EXPECT_EQ(f.ListFileRecords(), std::vector<std::string>{other});
}

}  // namespace
