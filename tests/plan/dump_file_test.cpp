// The dump of the sorted entries is a program file like the others: written whole, in place of the old one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "plan/scanner.h"
#include "plan/sorted_entries.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;

TEST(SortedEntriesDump, AReplacedDumpKeepsItsMode) {
  TempDir dir;
  MakeTree(dir.path(), {"F1/a=1", "F2/", "dump.txt=old"});
  ASSERT_EQ(::chmod((dir / "dump.txt").c_str(), 0600), 0);
  ScanObserver quiet;
  const ScanResult f1 = ScanFolder(dir / "F1", quiet), f2 = ScanFolder(dir / "F2", quiet);
  ASSERT_TRUE(SortedEntries(f1, f2).WriteDump(dir / "dump.txt"));
  struct stat st {};
  ASSERT_EQ(::stat((dir / "dump.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}
