// Copies read back and compared with their source.
#include "apply/copy_verify.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "flows/execute_flow.h"
#include "common/files.h"
#include "apply/execute_sub.h"
#include "apply/execute_app.h"
#include "todo/backup_mode.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;
using Lines = std::vector<std::string>;

namespace {

// Undoes the seam at the end of a test.
struct Tampering {
  explicit Tampering(std::function<void(int)> tamper) { SetCopyTamperForTest(std::move(tamper)); }
  ~Tampering() { SetCopyTamperForTest({}); }
};

// Flips the first byte of the written copy, as a disk that returns other data would.
void FlipFirstByte(int out) {
  char c = 0;
  ASSERT_EQ(::pread(out, &c, 1, 0), 1);
  c ^= 1;
  ASSERT_EQ(::pwrite(out, &c, 1, 0), 1);
}

}  // namespace

TEST(CopyVerify, ACopyThatReadsBackOtherwiseFailsNamedAndKeepsTheOldTarget) {
  const struct {
    bool verify, tamper;
    std::string target;  // after the run
    int failures;
  } cases[] = {
      {true, false, "new text", 0},
      {true, true, "old", 1},
      // Without the option nothing reads the copy back: the damage goes unseen.
      {false, true, "oew text", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.verify) + std::to_string(c.tamper));
    FlowFixture f;
    f.SetMirrorMode();
    f.app.Options.VerifyCopies = c.verify;
    Simulated(f, {"s/a.txt=new text@1700000000", "t/a.txt=old@1600000000", "s/fresh.txt=fresh"});
    Tampering seam(c.tamper ? std::function<void(int)>([](int out) {
      char first = 0;
      if (::pread(out, &first, 1, 0) == 1 && first == 'n') FlipFirstByte(out);
    })
                            : std::function<void(int)>());
    EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, c.failures}));
    EXPECT_EQ(ReadTextFile(f.dir / "t/a.txt"), c.target);
    EXPECT_EQ(ReadTextFile(f.dir / "t/fresh.txt"), "fresh");  // a new copy read back whole
    EXPECT_EQ(f.app.Run.Verified.Files, c.verify ? 2 : 0);
    EXPECT_EQ(f.app.Run.Verified.Mismatches, c.failures);
    EXPECT_EQ(f.app.Run.Verified.BytesRead, c.verify ? 2 * (8 + 5) : 0);
    ASSERT_EQ(f.app.Run.NamedFailures.size(), std::size_t(c.failures));
    if (c.failures) {
      EXPECT_EQ(f.app.Run.NamedFailures[0].reasonKey, "[Copy differs from its source]");
      EXPECT_EQ(f.app.Run.NamedFailures[0].path, f.dir / "t/a.txt");
      EXPECT_EQ(f.ListFileRecords().size(), 1u);  // the failed copy stays pending
    }
    EXPECT_EQ(Listing(f.dir / "t").size(), 2u);  // no temporary copy left behind
  }
}
