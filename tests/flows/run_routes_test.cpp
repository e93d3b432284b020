// Every way a run can be stopped or declined leaves the next one free to plan in full,
// and no run starts inside another.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/app.h"
#include "common/files.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "support/builders.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

using test::FlowFixture;

constexpr int kFiles = 20;

// Source files that the target lacks: what a full plan copies.
int64_t Missing(const FlowFixture& f) {
  int missing = 0;
  for (int i = 0; i < kFiles; ++i) missing += PathExists(f.dir / ("t/f" + std::to_string(i))) ? 0 : 1;
  return missing;
}

TEST(RunRoutes, AfterEveryStopOrDeclineTheNextSimulationPlansTheFullList) {
  const struct {
    const char* name;
    std::function<void(FlowFixture&)> route;
  } rows[] = {
      {"stop during an execution",
       [](FlowFixture& f) {
         Simulate(f.app);
         f.screen.onYield = [&f] {
           if (f.app.Run.Lifecycle.Execution() && f.app.Run.CurrentFile == f.dir / "s/f13") RequestRunStop(f.app);
         };
         f.screen.answers = {Answer::Ok};
         EXPECT_EQ(Execute(f.app).outcome, RunOutcome::Stopped);
         f.screen.onYield = nullptr;
       }},
      {"one-step run answered No",
       [](FlowFixture& f) {
         f.screen.answers = {Answer::No};
         ExecuteOneStep(f.app);
       }},
      {"missing folder answered No",
       [](FlowFixture& f) {
         f.AddPair(f.dir / "s", f.dir / "missing");
         f.screen.answers = {Answer::No};
         Simulate(f.app);
         f.app.Job.SourceFolders.pop_back();
         f.app.Job.TargetFolders.pop_back();
       }},
      {"unequal pairs",
       [](FlowFixture& f) {
         f.app.Job.SourceFolders.push_back(f.dir / "s");
         Simulate(f.app);
         f.app.Job.SourceFolders.pop_back();
       }},
  };
  for (const auto& row : rows) {
    FlowFixture f;
    f.SetMirrorMode();
    test::Numbered(f.dir / "s/f", kFiles);
    f.AddSourceTargetPair();
    row.route(f);
    ASSERT_FALSE(f.app.Run.Lifecycle.Active()) << row.name;

    f.screen.messages.clear();
    Simulate(f.app);
    EXPECT_FALSE(f.screen.find("[Aborted]")) << row.name;
    EXPECT_TRUE(f.screen.find("[Simulation done in ]")) << row.name;
    EXPECT_EQ(static_cast<int64_t>(f.ListFileRecords().size()), Missing(f)) << row.name;
    EXPECT_EQ(f.app.Run.PendingOps(), Missing(f)) << row.name;
    EXPECT_GT(Missing(f), 0) << row.name;
  }
}

// A Simulate asked for from inside a run's turn of the event loop (a key, a
// button, the scheduler) must not run inside it, whether that run goes on or
// is stopping; inside it, it would plan every item a second time.
TEST(RunRoutes, ASimulationAskedForDuringARunIsRefused) {
  for (const bool stopFirst : {false, true}) {
    FlowFixture f;
    test::Numbered(f.dir / "s/f", 300);
    f.AddSourceTargetPair();
    bool asked = false;
    f.screen.onYield = [&] {
      if (asked || !f.app.Run.Lifecycle.Simulation()) return;
      asked = true;
      if (stopFirst) RequestRunStop(f.app);
      f.screen.answers = {Answer::No};  // to "stop the run in progress?"
      Simulate(f.app);
    };
    Simulate(f.app);
    ASSERT_TRUE(asked);
    EXPECT_TRUE(f.screen.find("[Abort?]")) << stopFirst;
    const std::vector<std::string> records = f.ListFileRecords();
    EXPECT_EQ(std::set<std::string>(records.begin(), records.end()).size(), records.size()) << stopFirst;
    EXPECT_EQ(records.size(), stopFirst ? 0u : 300u);
    EXPECT_FALSE(f.app.Run.Lifecycle.Active());
  }
}

}  // namespace
}  // namespace dd
