// The run puts what it wrote on the disk: the whole file system is flushed
// before a copy gets its name, and again at the end for every new name.
#include "apply/disk_flush.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apply/execute_app.h"
#include "common/files.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

int NoFlush(int) {
  return 0;
}

// The runs of this binary need nothing on the disk for real: they leave the whole file system alone.
class NoDiskFlush : public ::testing::Environment {
 public:
  void SetUp() override { SetFileSystemFlushForTest(&NoFlush); }
  void TearDown() override { SetFileSystemFlushForTest(nullptr); }
};
[[maybe_unused]] const auto* const kNoDiskFlush = ::testing::AddGlobalTestEnvironment(new NoDiskFlush);

// The path a test watches, and whether it was there at each flush.
std::string watched;
std::vector<bool> seenAtFlush;

int WatchingFlush(int) {
  seenAtFlush.push_back(PathExists(watched));
  return 0;
}

// Watches the flushes of one test, then puts back the flush the binary runs with.
class FlushWatch {
 public:
  explicit FlushWatch(std::string path) : previous_(SetFileSystemFlushForTest(&WatchingFlush)) {
    watched = std::move(path);
    seenAtFlush.clear();
  }
  ~FlushWatch() { SetFileSystemFlushForTest(previous_); }

 private:
  FileSystemFlush previous_;
};

}  // namespace

TEST(DiskFlush, ACopyIsOnTheDiskBeforeItGetsItsName) {
  FlowFixture f;
  f.SetMirrorMode();
  Simulated(f, {"s/a.txt=content", "t/"});
  FlushWatch watch(f.dir / "t/a.txt");
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  ASSERT_FALSE(seenAtFlush.empty());
  EXPECT_FALSE(seenAtFlush.front());
  EXPECT_EQ(ReadTextFile(f.dir / "t/a.txt"), "content");
}

TEST(DiskFlush, ANewNameIsFlushedOnceItStands) {
  const struct {
    const char* name;
    std::vector<std::string> entries;
    const char* made;  // below the fixture's dir
  } rows[] = {
      {"a new folder", {"s/new/", "t/"}, "t/new"},
      {"a new link", {"s/link->nowhere", "t/"}, "t/link"},
      {"a moved file", {"s/b.jpg=photo@1600000000", "t/a.jpg=photo@1600000000"}, "t/b.jpg"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FlowFixture f;
    f.SetMirrorMode();
    Simulated(f, row.entries);
    FlushWatch watch(f.dir / row.made);
    EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
    EXPECT_TRUE(PathExists(f.dir / row.made));
    EXPECT_TRUE(!seenAtFlush.empty() && seenAtFlush.back());
  }
}
