#include "apply/rates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "support/flow_fixture.h"

using namespace dd;

namespace {

class StatusScreen : public test::ScriptedScreen {
 public:
  void SetStatusText(int panel, const std::string& text) override { panels[panel] = text; }
  std::map<int, std::string> panels;
};

using RatesFixture = test::ProgramFixture<StatusScreen>;

}  // namespace

TEST(Rates, InvalidFileRunsTheDiskTestAndStoresTheMeasuredRates) {
  // A fourth (empty) line, a zero, a negative or infinite rate, no file at all.
  const std::pair<const char*, double> cases[] = {
      {"100\r\n200\r\n3\r\n", 0}, {"100\r\n0\r\n3", 3}, {"-100\r\n1e999\r\n3", 3}, {nullptr, 0}};
  for (auto [text, loadedCount] : cases) {
    RatesFixture f;
    if (text) {
      ASSERT_TRUE(WriteTextFile(text, f.app.Files.RatesFilePath));
    }
    LoadOrMeasureRates(f.app.Rates, f.app.Files, f.app.messages);
    const RateState& r = f.app.Rates;
    // Stored as measured, not halved, and on the scale of the live rates (bytes per second:
    // 16 MiB cannot be copied in less than a microsecond or more than an hour).
    EXPECT_GT(r.StoredDeleteRate, 0);
    EXPECT_GT(r.StoredCopyRate, 16.0 * 1050624 / 3600);
    EXPECT_EQ(r.CurrentDeleteRate, r.StoredDeleteRate);
    EXPECT_EQ(r.CurrentCopyRate, r.StoredCopyRate);
    EXPECT_EQ(r.UpdateCount, loadedCount + 2);
    EXPECT_GE(f.screen.yields, 48);  // a turn between the files
    for (auto& e : std::filesystem::directory_iterator(f.dir.path()))
      EXPECT_NE(e.path().filename().string().rfind("TempFile.tmp", 0), 0u) << e.path();
    const std::vector<std::string> lines = Split(ReadTextFile(f.app.Files.RatesFilePath), "\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(std::vector<double>({ParseNumber(lines[0]), ParseNumber(lines[1]), ParseNumber(lines[2])}),
              std::vector<double>({r.StoredDeleteRate, r.StoredCopyRate, static_cast<double>(r.UpdateCount)}));
  }
}

TEST(Rates, SaveMovesHalfwayAndWritesNumbersThatReadBack) {
  RatesFixture f;
  RateState& r = f.app.Rates;
  r.StoredDeleteRate = 100, r.CurrentDeleteRate = 301;
  r.StoredCopyRate = 1e20, r.CurrentCopyRate = 1e20;
  r.UpdateCount = 7;
  SaveRates(f.app.Rates, f.app.Files, f.app.messages);
  EXPECT_EQ(r.StoredDeleteRate, 200.5);
  EXPECT_EQ(r.CurrentDeleteRate, 301);
  EXPECT_EQ(r.UpdateCount, 8);
  const std::string text = ReadTextFile(f.app.Files.RatesFilePath);
  EXPECT_EQ(text.substr(0, 7), "200.5\r\n");
  EXPECT_TRUE(EndsWith(text, "\r\n8"));

  // Read back without a disk test, as is a file with decimal commas.
  RatesFixture g;
  ASSERT_TRUE(WriteTextFile(text, g.app.Files.RatesFilePath));
  LoadOrMeasureRates(g.app.Rates, g.app.Files, g.app.messages);
  EXPECT_EQ(g.app.Rates.StoredCopyRate, 1e20);
  EXPECT_EQ(g.app.Rates.CurrentDeleteRate, 200.5);
  ASSERT_TRUE(WriteTextFile("1234,5\r\n678,25\r\n3", g.app.Files.RatesFilePath));
  LoadOrMeasureRates(g.app.Rates, g.app.Files, g.app.messages);
  EXPECT_EQ(g.app.Rates.StoredDeleteRate, 1234.5);
  EXPECT_EQ(g.app.Rates.CurrentCopyRate, 678.25);
  EXPECT_EQ(g.screen.yields, 0);

  // A zero on both sides keeps the stored value.
  r.StoredDeleteRate = 0, r.CurrentDeleteRate = 0;
  SaveRates(f.app.Rates, f.app.Files, f.app.messages);
  EXPECT_EQ(r.StoredDeleteRate, 0);
}

TEST(Rates, EstimateFromPendingSizesAndLiveRatesShownInTheStatusBar) {
  RatesFixture f;
  RunStatistics& run = f.app.Run;
  RateState& r = f.app.Rates;
  r.CurrentDeleteRate = 100, r.CurrentCopyRate = 50;
  EXPECT_EQ(EstimateRemainingTime(f.app.Run, f.app.Rates, f.app.messages), "");               // nothing pending
  run.Pending(OpKind::Delete, Side::F1) = {2, 1000};   // 10 s
  run.Pending(OpKind::New, Side::F1) = {1, 1000};      // 20 s
  run.Pending(OpKind::Replace, Side::F1) = {1, 1500};  // 30 s
  f.screen.panels[2] = "old";
  EXPECT_EQ(EstimateRemainingTime(f.app.Run, f.app.Rates, f.app.messages), "60 sec");
  EXPECT_EQ(f.screen.panels[2], "");  // no phase begun yet
  EXPECT_EQ(r.CurrentDeleteRate, 100);
  // A zero rate leaves its part out.
  r.CurrentCopyRate = 0;
  EXPECT_EQ(EstimateRemainingTime(f.app.Run, f.app.Rates, f.app.messages), "10 sec");
  r.CurrentDeleteRate = 0;
  EXPECT_EQ(EstimateRemainingTime(f.app.Run, f.app.Rates, f.app.messages), "");

  // Once phases have begun, their live rates replace the current ones.
  const double now = MonotonicSeconds();
  run.FirstDeleteTime = now - 1000, run.DeletedBytes = 1000000;
  run.FirstNewTime = now - 2000, run.FirstReplaceTime = now - 1000;
  run.NewBytes = 3000000, run.ReplacedBytes = 1000000;
  EstimateRemainingTime(f.app.Run, f.app.Rates, f.app.messages);
  EXPECT_NEAR(r.CurrentDeleteRate, 1000, 1);
  EXPECT_EQ(r.LiveDeleteRate, r.CurrentDeleteRate);
  EXPECT_NEAR(r.CurrentCopyRate, 2000, 1);  // from the earlier of the two copy phases
  // While deletions are pending the panel shows their throughput.
  EXPECT_EQ(f.screen.panels[2], FormatSize(r.LiveDeleteRate) + "/s");
  run.Pending(OpKind::Delete, Side::F1) = {};
  EstimateRemainingTime(f.app.Run, f.app.Rates, f.app.messages);
  EXPECT_EQ(f.screen.panels[2], FormatSize(r.LiveCopyRate) + "/s");
  // Nothing moved yet: the current rate stays.
  run.NewBytes = run.ReplacedBytes = 0;
  EstimateRemainingTime(f.app.Run, f.app.Rates, f.app.messages);
  EXPECT_NEAR(r.CurrentCopyRate, 2000, 1);
}
