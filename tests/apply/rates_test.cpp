#include "apply/rates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "support/flow_fixture.h"

using namespace dd;

namespace {

class StatusScreen : public test::ScriptedScreen {
 public:
  void SetStatusText(int panel, const std::string& text) override { panels[panel] = text; }
  std::map<int, std::string> panels;
};

struct RatesFixture : test::ProgramFixture<StatusScreen> {
  void Load() { LoadOrMeasureRates(app.Rates, app.Files, app.messages); }
  void Save() { SaveRates(app.Rates, app.Files, app.messages); }
  std::string Estimate() { return EstimateRemainingTime(app.Run, app.Rates, app.messages); }
  std::string RatesFile() { return ReadTextFile(app.Files.RatesFilePath); }
};

// The lines of a rates file as numbers, read without the program's own parser.
std::vector<double> NumbersOf(const std::string& text) {
  std::vector<double> numbers;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find("\r\n", start), text.size());
    numbers.push_back(std::stod(text.substr(start, end - start)));
    start = end + 2;
  }
  return numbers;
}

// 16 files of 1024 lines of 1026 bytes cannot be copied in less than a microsecond or more than an hour.
constexpr double kSlowestCopyRate = 16.0 * 1050624 / 3600;

}  // namespace

TEST(Rates, AnUnusableFileMeasuresTheRates) {
  const struct {
    const char* name;
    const char* text;  // null: no file
    double updatesBefore;
  } rows[] = {
      {"a fourth line", "100\r\n200\r\n3\r\n", 0},
      {"a zero rate", "100\r\n0\r\n3", 3},
      {"a negative and an infinite rate", "-100\r\n1e999\r\n3", 3},
      {"no file", nullptr, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RatesFixture f;
    if (row.text) {
      ASSERT_TRUE(WriteTextFile(row.text, f.app.Files.RatesFilePath));
    }
    f.Load();
    const RateState& r = f.app.Rates;
    EXPECT_GT(r.StoredDeleteRate, 0);
    EXPECT_GT(r.StoredCopyRate, kSlowestCopyRate);
    // One update for the measurement, one for its save.
    EXPECT_EQ(r.UpdateCount, row.updatesBefore + 2);
  }
}

TEST(Rates, MeasuredRatesAreKeptAsMeasured) {
  RatesFixture f;
  f.Load();
  const RateState& r = f.app.Rates;
  // Not halved towards zero by the save that follows the measurement.
  EXPECT_EQ(r.CurrentDeleteRate, r.StoredDeleteRate);
  EXPECT_EQ(r.CurrentCopyRate, r.StoredCopyRate);
  EXPECT_EQ(NumbersOf(f.RatesFile()), (std::vector<double>{r.StoredDeleteRate, r.StoredCopyRate, 2}));
}

TEST(Rates, TheDiskTestGivesTheWindowATurnBetweenItsFiles) {
  RatesFixture f;
  f.Load();
  EXPECT_GE(f.screen.yields, 48);
}

TEST(Rates, TheDiskTestLeavesNoTestFiles) {
  RatesFixture f;
  f.Load();
  for (auto& e : std::filesystem::directory_iterator(f.dir.path()))
    EXPECT_NE(e.path().filename().string().rfind("TempFile.tmp", 0), 0u) << e.path();
}

TEST(Rates, SaveMovesTheStoredRatesHalfwayToTheCurrentOnes) {
  RatesFixture f;
  RateState& r = f.app.Rates;
  r.StoredDeleteRate = 100, r.CurrentDeleteRate = 301;
  r.StoredCopyRate = 1e20, r.CurrentCopyRate = 1e20;
  r.UpdateCount = 7;
  f.Save();
  EXPECT_EQ(r.StoredDeleteRate, 200.5);
  EXPECT_EQ(r.CurrentDeleteRate, 301);
  EXPECT_EQ(r.StoredCopyRate, 1e20);
  EXPECT_EQ(r.UpdateCount, 8);
}

TEST(Rates, SaveWritesTheRatesFile) {
  RatesFixture f;
  RateState& r = f.app.Rates;
  r.StoredDeleteRate = 100, r.CurrentDeleteRate = 301;
  r.StoredCopyRate = 1e20, r.CurrentCopyRate = 1e20;
  r.UpdateCount = 7;
  f.Save();
  EXPECT_EQ(f.RatesFile(), "200.5\r\n1e+20\r\n8");
}

TEST(Rates, SaveLeavesRatesThatAreZeroOnBothSidesAtZero) {
  RatesFixture f;
  f.Save();
  EXPECT_EQ(f.app.Rates.StoredDeleteRate, 0);
  EXPECT_EQ(f.app.Rates.StoredCopyRate, 0);
  EXPECT_EQ(f.RatesFile(), "0\r\n0\r\n1");
}

TEST(Rates, AUsableFileLoadsWithoutADiskTest) {
  const struct {
    const char* name;
    const char* text;
    double deleteRate, copyRate, updates;
  } rows[] = {
      {"as saved", "200.5\r\n1e+20\r\n8", 200.5, 1e20, 8},
      {"decimal commas", "1234,5\r\n678,25\r\n3", 1234.5, 678.25, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RatesFixture f;
    ASSERT_TRUE(WriteTextFile(row.text, f.app.Files.RatesFilePath));
    f.Load();
    const RateState& r = f.app.Rates;
    EXPECT_EQ(std::vector<double>({r.StoredDeleteRate, r.StoredCopyRate, r.UpdateCount}),
              std::vector<double>({row.deleteRate, row.copyRate, row.updates}));
    EXPECT_EQ(std::vector<double>({r.CurrentDeleteRate, r.CurrentCopyRate}),
              std::vector<double>({row.deleteRate, row.copyRate}));
    EXPECT_EQ(f.screen.yields, 0);
  }
}

TEST(Rates, TheEstimateAddsThePendingSizesOverTheirRates) {
  // Deletions 1000 bytes, new 1000 bytes, replacements 1500 bytes.
  const struct {
    const char* name;
    bool pending;
    double deleteRate, copyRate;
    const char* estimate;
  } rows[] = {
      {"both rates", true, 100, 50, "60 sec"},  // 10 + 20 + 30
      {"no copy rate", true, 100, 0, "10 sec"},
      {"no rates", true, 0, 0, ""},
      {"nothing pending", false, 100, 50, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RatesFixture f;
    RunStatistics& run = f.app.Run;
    if (row.pending) {
      run.Pending(OpKind::Delete, Side::F1) = {2, 1000};
      run.Pending(OpKind::New, Side::F1) = {1, 1000};
      run.Pending(OpKind::Replace, Side::F1) = {1, 1500};
    }
    f.app.Rates.CurrentDeleteRate = row.deleteRate, f.app.Rates.CurrentCopyRate = row.copyRate;
    EXPECT_EQ(f.Estimate(), row.estimate);
  }
}

namespace {

// Deletions and copies pending and under way: 3,000,000 bytes deleted in the last
// 1000 seconds, 4,000,000 copied since the earlier copy phase began 2000 seconds ago.
struct PhasesUnderWay : RatesFixture {
  PhasesUnderWay() {
    RunStatistics& run = app.Run;
    run.Pending(OpKind::Delete, Side::F1) = {2, 1000};
    run.Pending(OpKind::New, Side::F1) = {1, 1000};
    app.Rates.CurrentDeleteRate = 100, app.Rates.CurrentCopyRate = 50;
    const double now = MonotonicSeconds();
    run.FirstDeleteTime = now - 1000, run.DeletedBytes = 3000000;
    run.FirstNewTime = now - 2000, run.FirstReplaceTime = now - 1000;
    run.NewBytes = 3000000, run.ReplacedBytes = 1000000;
  }
};

}  // namespace

TEST(Rates, NoPhaseBegunLeavesTheStatusPanelEmpty) {
  RatesFixture f;
  f.app.Run.Pending(OpKind::Delete, Side::F1) = {2, 1000};
  f.app.Run.Pending(OpKind::New, Side::F1) = {1, 1000};
  f.app.Rates.CurrentDeleteRate = 100;
  f.screen.panels[2] = "old";
  f.Estimate();
  EXPECT_EQ(f.screen.panels[2], "");
  EXPECT_EQ(f.app.Rates.CurrentDeleteRate, 100);
}

TEST(Rates, LiveRatesReplaceTheCurrentOnes) {
  PhasesUnderWay f;
  f.Estimate();
  const RateState& r = f.app.Rates;
  EXPECT_NEAR(r.CurrentDeleteRate, 3000, 1);
  EXPECT_NEAR(r.LiveDeleteRate, 3000, 1);
  EXPECT_NEAR(r.CurrentCopyRate, 2000, 1);  // from the earlier of the two copy phases
  EXPECT_NEAR(r.LiveCopyRate, 2000, 1);
}

TEST(Rates, TheStatusPanelShowsTheThroughputOfThePhaseUnderWay) {
  const struct {
    const char* name;
    bool deletionsPending;
    const char* panel;
  } rows[] = {
      {"deletions pending", true, "2.9 KB/s"},  // 3000 bytes a second
      {"copies only", false, "2.0 KB/s"},       // 2000 bytes a second
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PhasesUnderWay f;
    if (!row.deletionsPending) f.app.Run.Pending(OpKind::Delete, Side::F1) = {};
    f.Estimate();
    EXPECT_EQ(f.screen.panels[2], row.panel);
  }
}

TEST(Rates, NothingCopiedYetKeepsTheCurrentCopyRate) {
  PhasesUnderWay f;
  f.app.Run.NewBytes = f.app.Run.ReplacedBytes = 0;
  f.Estimate();
  EXPECT_EQ(f.app.Rates.CurrentCopyRate, 50);
}
