#include "commands/scheduler.h"

#include "commands/execute_flow.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/flow_fixture.h"

using namespace dd;
using Tick = Scheduler::TickResult;

namespace {

// A scheduler on a clock the test sets, counting how often it fires.
struct SchedulerFixture : test::ProgramFixture<> {
  explicit SchedulerFixture(const std::string& period, double start = 1000) : now(start) {
    scheduler.SetPeriodText(period);
    scheduler.Toggle();
  }
  Tick At(double seconds) {
    now = seconds;
    return scheduler.Tick();
  }
  std::string Countdown(const char* rest) { return app.Text("label(44)") + rest; }

  double now;
  int fired = 0;
  Scheduler scheduler{app, [this] { return now; }, [this] { ++fired; }};
};

}  // namespace

TEST(Scheduler, HalfAnHourFiresAfter1800SecondsAndCountsDown) {
  SchedulerFixture f("0.5");
  EXPECT_EQ(f.At(1000), Tick::Counting);
  EXPECT_EQ(f.scheduler.Labels().Countdown, f.Countdown("30.0 min"));
  EXPECT_EQ(f.scheduler.Labels().ProgressPercent, 0);
  f.At(1000 + 900.7);
  EXPECT_EQ(f.scheduler.Labels().Countdown, f.Countdown("15.0 min"));
  EXPECT_EQ(f.scheduler.Labels().ProgressPercent, 50);
  f.At(1000 + 1798.5);  // the rest is rounded up
  EXPECT_EQ(f.scheduler.Labels().Countdown, f.Countdown("2 sec"));
  EXPECT_EQ(f.At(1000 + 1799.9), Tick::Counting);
  EXPECT_EQ(f.fired, 0);

  EXPECT_EQ(f.At(1000 + 1800), Tick::Fired);
  EXPECT_EQ(f.fired, 1);
  EXPECT_EQ(f.scheduler.Labels().Countdown, f.app.Text("[Backup in Progress]"));
  EXPECT_EQ(f.scheduler.Labels().ProgressPercent, 100);
  // The next period starts at the firing.
  EXPECT_EQ(f.At(1000 + 3599.9), Tick::Counting);
  EXPECT_EQ(f.At(1000 + 3600), Tick::Fired);
  EXPECT_EQ(f.fired, 2);
}

TEST(Scheduler, CommaAndPointReadAlikeWhenTypedAndWhenSwitchedOn) {
  for (const char* text : {"0,5", "0.5"}) {
    SchedulerFixture f(text);
    EXPECT_EQ(f.At(1000 + 1799), Tick::Counting) << text;
    EXPECT_EQ(f.At(1000 + 1800), Tick::Fired) << text;
  }
  // Typed while on: the period follows the text at once.
  SchedulerFixture f("1");
  f.scheduler.SetPeriodText("0,25");
  EXPECT_EQ(f.At(1000 + 900), Tick::Fired);
}

TEST(Scheduler, InvalidPeriodsNeverFire) {
  for (const char* text : {"0", "", "abc", "-1", "1e999"}) {
    SchedulerFixture f(text);
    EXPECT_TRUE(f.scheduler.IsOn()) << text;
    for (double t : {1000.0, 1001.0, 1000.0 + 86400, 1000.0 + 1e9})
      EXPECT_EQ(f.At(t), Tick::Idle) << text << " at " << t;
    EXPECT_EQ(f.fired, 0) << text;
  }
}

TEST(Scheduler, PeriodEndingDuringARunIsSkippedAndRearmed) {
  SchedulerFixture f("0.5");
  f.app.Run.ExecutionRunning = true;
  EXPECT_EQ(f.At(1000 + 2000), Tick::Skipped);
  f.app.Run.ExecutionRunning = false;
  f.app.Run.SimulationRunning = true;
  EXPECT_EQ(f.At(1000 + 3800), Tick::Skipped);
  f.app.Run.SimulationRunning = false;
  EXPECT_EQ(f.fired, 0);
  // The period starts anew at the skip.
  EXPECT_EQ(f.At(1000 + 3800 + 1799), Tick::Counting);
  EXPECT_EQ(f.At(1000 + 3800 + 1800), Tick::Fired);
}

TEST(Scheduler, SwitchingAndEscape) {
  SchedulerFixture f("0.5");
  f.At(1000 + 600);
  f.scheduler.Toggle();
  EXPECT_FALSE(f.scheduler.IsOn());
  EXPECT_FALSE(f.scheduler.Labels().On);
  EXPECT_EQ(f.At(1000 + 5000), Tick::Idle);
  // Switching on arms the period anew.
  f.scheduler.Toggle();
  EXPECT_EQ(f.At(1000 + 5000 + 1799), Tick::Counting);
  EXPECT_TRUE(f.scheduler.Labels().On);

  // Escape elsewhere leaves the scheduler on and does not stop anything.
  EXPECT_FALSE(f.scheduler.Escape(false));
  EXPECT_TRUE(f.scheduler.IsOn());
  EXPECT_FALSE(f.app.Run.StopRequested);
  // Escape during a run stops it and, on the main panel, switches the scheduler off.
  f.app.Run.SimulationRunning = true;
  EXPECT_TRUE(f.scheduler.Escape(true));
  EXPECT_FALSE(f.scheduler.IsOn());
  EXPECT_TRUE(f.app.Run.StopRequested);
  EXPECT_FALSE(f.app.Run.SimulationRunning);
  EXPECT_FALSE(f.scheduler.Escape(true));
}

namespace {

// Ticks the scheduler while a message box is open, as the window's timer does
// during a modal box.
class TickingScreen : public test::ScriptedScreen {
 public:
  Answer ShowMessage(const Message& message) override {
    if (onMessage) onMessage();
    return ScriptedScreen::ShowMessage(message);
  }
  std::function<void()> onMessage;
};

}  // namespace

TEST(Scheduler, NoSecondRunWhileTheQuestionIsOpen) {
  test::ProgramFixture<TickingScreen> f;
  double now = 0;
  Scheduler scheduler{f.app, [&] { return now; }};  // the real one-step command
  scheduler.SetPeriodText("0.5");
  scheduler.Toggle();
  f.screen.answers = {Answer::No};
  int ticks = 0;
  f.screen.onMessage = [&] {
    if (ticks++) return;  // a missing guard would otherwise recurse without end
    now += 5000;
    EXPECT_EQ(scheduler.Tick(), Tick::Idle);
  };
  now = 1800;
  EXPECT_EQ(scheduler.Tick(), Tick::Fired);
  EXPECT_EQ(f.screen.keys(), std::vector<std::string>{"[Simulation and execution]"});
  // Armed again when the command returned, not when it started.
  f.screen.onMessage = nullptr;
  now += 1799;
  EXPECT_EQ(scheduler.Tick(), Tick::Counting);
  EXPECT_EQ(f.screen.keys().size(), 1u);
}

TEST(Scheduler, APeriodEndingWhileTheUserAnswersAnExecuteQuestionIsSkipped) {
  test::ProgramFixture<TickingScreen> f;
  double now = 0;
  int fired = 0;
  Scheduler scheduler{f.app, [&] { return now; }, [&] { ++fired; }};
  scheduler.SetPeriodText("0.5");
  scheduler.Toggle();
  Tick during = Tick::Idle;
  f.screen.onMessage = [&] {
    now = 1800;
    during = scheduler.Tick();
  };
  Execute(f.app);
  EXPECT_EQ(f.screen.keys().size(), 1u);  // nothing pending: Execute says so and waits for OK
  EXPECT_EQ(during, Tick::Skipped);
  EXPECT_EQ(fired, 0);
  // Once the question is closed the next period runs as usual.
  f.screen.onMessage = nullptr;
  now = 1800 + 1800;
  EXPECT_EQ(scheduler.Tick(), Tick::Fired);
  EXPECT_EQ(fired, 1);
}
