// Folders a run makes in the target keep the mode (and, for root, the owner) of the source folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "apply/execute_app.h"
#include "apply/execute_sub.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/todo_list.h"

using namespace dd;
using namespace dd::test;

TEST(FolderModes, AMadeFolderTakesTheModeAndOwnerOfItsSource) {
  struct Row {
    mode_t mode;
    uid_t owner;    // 0: left as made
    bool onTheWay;  // made as the folder of a copied file, not by its own record
  };
  const Row rows[] = {{0700, 0, false}, {0750, 0, false}, {0755, 0, false},    {02775, 0, false},
                      {0700, 0, true},  {02750, 0, true}, {0750, 4321, false}, {0750, 4321, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::oct << row.mode << " owner " << std::dec << row.owner
                                    << (row.onTheWay ? " on the way" : ""));
    if (row.owner != 0 && ::geteuid() != 0) continue;  // only root gives folders away
    FlowFixture f;
    f.SetMirrorMode();
    MakeTree(f.dir.path(), {"s/private/f.txt=f", "t/"});
    const std::string source = f.dir / "s/private";
    if (row.owner != 0) {
      ASSERT_EQ(::chown(source.c_str(), row.owner, row.owner + 1), 0);
    }
    ASSERT_EQ(::chmod(source.c_str(), row.mode), 0);
    Simulated(f, {});
    if (row.onTheWay) {
      for (std::string& record : f.app.ToDo.ToDoList)
        if (record.find(source + "\t") != std::string::npos) record.clear();
      RebuildToDoRows(f.app.ToDo, f.app.screen);
      CountOperations(f.app.ToDo.ToDoList, f.app.Run);
    }
    ASSERT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
    struct stat st {};
    ASSERT_EQ(::lstat((f.dir / "t/private").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, row.mode) << std::oct << (st.st_mode & 07777);
    if (row.owner != 0) {
      EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(row.owner, row.owner + 1));
    }
  }
}
