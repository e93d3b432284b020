// Copies read back and compared with their source.
#include "apply/copy_verify.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "apply/execute_app.h"
#include "apply/execute_sub.h"
#include "common/files.h"
#include "flows/execute_flow.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/backup_mode.h"

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

// The three ways a run may go: verified and sound, verified and damaged on the disk, damaged unverified.
struct Case {
  const char* name;
  bool verify, tamper;
};
constexpr Case kCases[] = {
    {"verified", true, false},
    {"verified, damaged", true, true},
    {"damaged, not verified", false, true},
};

// A replacement (a.txt, 8 bytes) and a new file (fresh.txt, 5 bytes) copied as the case says.
RunResult RunCopies(FlowFixture& f, const Case& c) {
  f.SetMirrorMode();
  f.app.Options.VerifyCopies = c.verify;
  Simulated(f, {"s/a.txt=new text@1700000000", "t/a.txt=old@1600000000", "s/fresh.txt=fresh"});
  Tampering seam(c.tamper ? std::function<void(int)>([](int out) {
    char first = 0;
    if (::pread(out, &first, 1, 0) == 1 && first == 'n') FlipFirstByte(out);
  })
                          : std::function<void(int)>());
  return ExecuteList(f.app);
}

}  // namespace

TEST(CopyVerify, ACopyThatReadsBackOtherwiseKeepsTheOldTarget) {
  const struct {
    Case run;
    std::string target;  // after the run
    int failures;
  } rows[] = {
      {kCases[0], "new text", 0},
      {kCases[1], "old", 1},
      // Without the option nothing reads the copy back: the damage goes unseen.
      {kCases[2], "oew text", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.run.name);
    FlowFixture f;
    EXPECT_EQ(RunCopies(f, row.run), (RunResult{RunOutcome::Done, row.failures}));
    EXPECT_EQ(ReadTextFile(f.dir / "t/a.txt"), row.target);
  }
}

TEST(CopyVerify, OnlyACopyThatReadsBackOtherwiseIsNamed) {
  const struct {
    Case run;
    std::size_t named;
  } rows[] = {{kCases[0], 0}, {kCases[1], 1}, {kCases[2], 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.run.name);
    FlowFixture f;
    RunCopies(f, row.run);
    ASSERT_EQ(f.app.Run.NamedFailures.size(), row.named);
    if (row.named == 0) continue;
    EXPECT_EQ(f.app.Run.NamedFailures[0].reasonKey, "[Copy differs from its source]");
    EXPECT_EQ(f.app.Run.NamedFailures[0].path, f.dir / "t/a.txt");
  }
}

TEST(CopyVerify, ACopyThatReadsBackOtherwiseStaysPending) {
  FlowFixture f;
  RunCopies(f, kCases[1]);
  EXPECT_EQ(f.ListFileRecords().size(), 1u);
}

TEST(CopyVerify, ReadingBackIsCounted) {
  const struct {
    Case run;
    std::vector<int64_t> counts;  // files, mismatches, bytes read
  } rows[] = {
      {kCases[0], {2, 0, 26}},  // both sides of both copies
      {kCases[1], {2, 1, 26}},
      {kCases[2], {0, 0, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.run.name);
    FlowFixture f;
    RunCopies(f, row.run);
    const VerifyCounts& v = f.app.Run.Verified;
    EXPECT_EQ(std::vector<int64_t>({v.Files, v.Mismatches, v.BytesRead}), row.counts);
  }
}

TEST(CopyVerify, ReadingBackLeavesNoTemporaryCopy) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FlowFixture f;
    RunCopies(f, c);
    EXPECT_EQ(Listing(f.dir / "t").size(), 2u);
    EXPECT_EQ(ReadTextFile(f.dir / "t/fresh.txt"), "fresh");  // a new copy read back whole
  }
}
