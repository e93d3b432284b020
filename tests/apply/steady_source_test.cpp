// A copy is only good when its source held still while it was read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "apply/file_ops.h"
#include "common/files.h"
#include "flows/execute_flow.h"
#include "support/clock_tick.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

// Larger than the first chunk of a copy, so that the copy hands out a turn halfway.
constexpr std::size_t kSize = (8 << 20) + 1;

// Rewrites the whole file with `fill`, size kept, as a program saving it in place would.
void Rewrite(const std::string& path, char fill) {
  NextClockTick();  // a change time of its own, as a later save has
  const std::string data(kSize, fill);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, data.data(), data.size(), 0), static_cast<ssize_t>(data.size()));
  ::close(fd);
}

}  // namespace

TEST(SteadySource, ASourceRewrittenDuringItsCopyIsCopiedAgainOrNotAtAll) {
  struct Row {
    const char* what;
    int rewrites;  // at the first turns of the copy
    bool copied;   // a whole copy of the last version is in place
  };
  const Row rows[] = {{"rewritten once: the second read is steady", 1, true},
                      {"rewritten during every read", 1000, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    MakeDirs(dir / "to");
    WriteFile(dir / "source", std::string(kSize, 'a'), 1900000000);
    int rewrites = 0;
    char fill = 'a';
    const CopyTurn turn = [&](int64_t, int64_t) {
      if (rewrites++ < row.rewrites) Rewrite(dir / "source", ++fill);
    };
    const int from = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int to = ::open((dir / "to").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    PreparedCopy copy;
    const bool prepared = PrepareCopyAt(from, "source", to, "copy", nullptr, nullptr, copy, turn);
    EXPECT_EQ(prepared, row.copied);
    EXPECT_EQ(copy.sourceChanged, !row.copied);
    if (prepared) {
      EXPECT_TRUE(CommitCopy(copy, {}));
    }
    ::close(from);
    ::close(to);
    if (row.copied) {
      EXPECT_EQ(ReadTextFile(dir / "to/copy"), std::string(kSize, fill));
      EXPECT_EQ(GetMTime(dir / "to/copy"), GetMTime(dir / "source"));
    } else {
      EXPECT_EQ(Listing(dir / "to"), std::vector<std::string>{});
    }
  }
}

// Through a run: a replacement whose source keeps changing leaves the old target and its record, and says why.
TEST(SteadySource, ARunKeepsTheTargetOfASourceThatNeverHeldStill) {
  FlowFixture f;
  f.SetMirrorMode();
  WriteFile(f.dir / "s/big", std::string(kSize, 'a'), 1100000000);
  WriteFile(f.dir / "t/big", std::string(kSize, 'o'), 1000000000);
  Simulated(f, {});
  char fill = 'a';
  f.screen.onYield = [&] { Rewrite(f.dir / "s/big", fill == 'a' ? ++fill : --fill); };
  f.screen.messages.clear();
  EXPECT_EQ(Execute(f.app), (RunResult{RunOutcome::Done, 1}));
  f.screen.onYield = nullptr;
  EXPECT_EQ(ReadTextFile(f.dir / "t/big"), std::string(kSize, 'o'));
  EXPECT_EQ(GetMTime(f.dir / "t/big"), 1000000000);
  EXPECT_EQ(f.ListFileRecords().size(), 1u);
  const std::string& prompt = f.screen.messages.back().prompt;
  EXPECT_NE(prompt.find(f.app.Text("[Changed while being copied]") + "\t1\r\n" + f.dir / "s/big"), std::string::npos)
      << prompt;
}
