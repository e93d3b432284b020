#include "flows/scheduler.h"

#include <gtest/gtest.h>

#include <functional>

#include "flows/execute_flow.h"
#include "support/flow_fixture.h"

using namespace dd;
using Tick = Scheduler::TickResult;

namespace {

// Ticks the scheduler while a message box is open, as the window's timer does during a modal box.
struct TickingScreen : test::ScriptedScreen {
  Answer ShowMessage(const Message& message) override {
    if (onMessage) onMessage();
    return ScriptedScreen::ShowMessage(message);
  }
  std::function<void()> onMessage;
};

// A switched-on scheduler on a clock the test sets; it counts its firings or starts the real one-step run.
struct SchedulerFixture : test::ProgramFixture<TickingScreen> {
  explicit SchedulerFixture(const std::string& period, bool oneStepRun = false)
      : scheduler(
            app, [this] { return now; }, oneStepRun ? Scheduler::Fire() : Scheduler::Fire([this] { ++fired; })) {
    scheduler.SetPeriodText(period);
    scheduler.Toggle();
  }
  Tick At(double seconds) {
    now = seconds;
    return scheduler.Tick();
  }
  std::string Countdown(const char* rest) { return app.Text("label(44)") + rest; }

  double now = 1000;
  int fired = 0;
  Scheduler scheduler;
};

}  // namespace

TEST(Scheduler, HalfAnHourFiresAfter1800SecondsAndCountsDown) {
  SchedulerFixture f("0.5");
  EXPECT_EQ(f.At(1000), Tick::Counting);
  EXPECT_EQ(f.scheduler.Labels().Countdown, f.Countdown("30.0 min"));
  EXPECT_EQ(f.scheduler.Labels().ProgressPercent, 0);
  f.At(1000 + 1798.5);  // the rest is rounded up
  EXPECT_EQ(f.scheduler.Labels().Countdown, f.Countdown("2 sec"));
  EXPECT_EQ(f.At(1000 + 1799.9), Tick::Counting);
  EXPECT_EQ(f.fired, 0);

  EXPECT_EQ(f.At(1000 + 1800), Tick::Fired);
  EXPECT_EQ(f.fired, 1);
  EXPECT_EQ(f.scheduler.Labels().Countdown, f.app.Text("[Backup in Progress]"));
  EXPECT_EQ(f.scheduler.Labels().ProgressPercent, 100);
  EXPECT_EQ(f.At(1000 + 3599.9), Tick::Counting);  // the next period starts at the firing
}

TEST(Scheduler, CommaAndPointReadAlikeAndInvalidPeriodsNeverFire) {
  const struct {
    const char* text;
    bool valid;
  } cases[] = {{"0,5", true},  {"0.5", true}, {"0", false},    {"", false},
               {"abc", false}, {"-1", false}, {"1e999", false}};
  for (const auto& c : cases) {
    SchedulerFixture f(c.text);
    EXPECT_TRUE(f.scheduler.IsOn()) << c.text;
    EXPECT_EQ(f.At(1000 + 1799), c.valid ? Tick::Counting : Tick::Idle) << c.text;
    EXPECT_EQ(f.At(1000 + 1800), c.valid ? Tick::Fired : Tick::Idle) << c.text;
    EXPECT_EQ(f.At(1000 + 1e9), c.valid ? Tick::Fired : Tick::Idle) << c.text;
  }
  // Typed while on: the period follows the text at once.
  SchedulerFixture f("1");
  f.scheduler.SetPeriodText("0,25");
  EXPECT_EQ(f.At(1000 + 900), Tick::Fired);
}

TEST(Scheduler, APeriodEndingDuringARunIsSkippedAndSwitchingOnRearms) {
  SchedulerFixture f("0.5");
  for (RunKind kind : {RunKind::Execution, RunKind::Simulation}) {
    const RunTicket run = f.app.Run.Lifecycle.TryBegin(kind);
    EXPECT_EQ(f.At(kind == RunKind::Execution ? 3000 : 4800), Tick::Skipped);
  }
  EXPECT_EQ(f.fired, 0);
  EXPECT_EQ(f.At(4800 + 1799), Tick::Counting);
  EXPECT_EQ(f.At(4800 + 1800), Tick::Fired);

  f.scheduler.Toggle();
  EXPECT_FALSE(f.scheduler.Labels().On);
  EXPECT_EQ(f.At(10000), Tick::Idle);
  f.scheduler.Toggle();
  EXPECT_EQ(f.At(10000 + 1799), Tick::Counting);
  EXPECT_TRUE(f.scheduler.Labels().On);

  // Escape elsewhere leaves the scheduler on; during a run it stops the run and, on the main panel,
  // switches the scheduler off.
  EXPECT_FALSE(f.scheduler.Escape(false));
  EXPECT_TRUE(f.scheduler.IsOn());
  EXPECT_FALSE(f.app.Run.Lifecycle.StopRequested());
  const RunTicket run = f.app.Run.Lifecycle.TryBegin(RunKind::Simulation);
  EXPECT_TRUE(f.scheduler.Escape(true));
  EXPECT_FALSE(f.scheduler.IsOn());
  EXPECT_EQ(f.app.Run.Lifecycle.State(), RunState::Stopping);
  EXPECT_FALSE(f.scheduler.Escape(true));
}

TEST(Scheduler, NoRunStartsWhileAQuestionIsOpen) {
  SchedulerFixture f("0.5", true);
  std::vector<Tick> during;
  f.screen.onMessage = [&] {
    if (during.size() == 2) return;  // a missing guard would otherwise recurse without end
    f.now += 1800;
    during.push_back(f.scheduler.Tick());
  };
  f.screen.answers = {Answer::Ok, Answer::No};
  Execute(f.app);  // nothing pending: Execute says so and waits for OK
  EXPECT_EQ(f.At(f.now + 1800), Tick::Fired);
  EXPECT_EQ(during, (std::vector<Tick>{Tick::Skipped, Tick::Idle}));
  EXPECT_EQ(f.screen.keys(), (std::vector<std::string>{"[no operations pending!]", "[Simulation and execution]"}));
  // Armed again when the one-step run returned, not when it started.
  EXPECT_EQ(f.At(f.now + 1799), Tick::Counting);
}
