#include "execution/copy_heartbeat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "common/files.h"
#include "execution/file_ops.h"
#include "support/test_support.h"

namespace {

TEST(CopyHeartbeatTest, ALongCopyReportsBetweenChunksAndAStopThereRollsItBack) {
  dd::test::TempDir dir;
  dd::test::WriteFile(dir / "big", std::string(9 << 20, 'b'));
  dd::test::WriteFile(dir / "copy", "old");
  std::atomic<bool> stop{false};
  std::vector<int64_t> seen;
  dd::SetCopyHeartbeat([&](int64_t done, int64_t size) {
    seen.push_back(done);
    EXPECT_EQ(size, 9 << 20);
    stop = true;
  });
  int created = 0;
  EXPECT_EQ(dd::CopyWithFolders(dir / "big", dir / "copy", true, created, &stop), 0);
  dd::SetCopyHeartbeat(nullptr);
  ASSERT_EQ(seen.size(), 1u);  // the stop acted at the next chunk
  EXPECT_GT(seen[0], 0);
  EXPECT_EQ(dd::ReadTextFile(dir / "copy"), "old");
}

}  // namespace
