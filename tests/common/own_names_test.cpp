#include "common/own_names.h"

#include <gtest/gtest.h>

using namespace dd;

// Only exact names of ours are taken for leftovers: anything else may be the user's file.
TEST(OwnNames, OnlyTheExactPatternsAreOurs) {
  const struct {
    std::string name;
    bool copy, trash;
    int64_t pid;
  } cases[] = {{TemporaryCopyName(4242, 3), true, false, 4242},
               {".dualdock-copy-2147483647-18446744073709551615", true, false, 2147483647},
               {".dualdock-copy-2147483648-1", false, false, 0},  // beyond any process id
               {".dualdock-copy-0-3", false, false, 0},           // 0 would name the own process group
               {".dualdock-copy-012-3", false, false, 0},
               {".dualdock-copy-12-3x", false, false, 0},
               {".dualdock-copy-12-", false, false, 0},
               {"a.dualdock-copy-12-3", false, false, 0},
               {".Trash", false, true, 0},
               {".Trash-1000", false, true, 0},
               {".Trash-", false, false, 0},
               {".Trash-1000x", false, false, 0},
               {".trash", false, false, 0}};
  for (const auto& c : cases) {
    int64_t pid = 0;
    EXPECT_EQ(IsTemporaryCopyName(c.name, &pid), c.copy) << c.name;
    EXPECT_EQ(pid, c.pid) << c.name;
    EXPECT_EQ(IsTrashFolderName(c.name), c.trash) << c.name;
  }
}
