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

  double now = 1000;
  int fired = 0;
  Scheduler scheduler;
};

}  // namespace

TEST(Scheduler, HalfAnHourCountsDownTheRestRoundedUp) {
  SchedulerFixture f("0.5");
  EXPECT_EQ(f.At(1000), Tick::Counting);
  EXPECT_EQ(f.scheduler.Labels().Countdown, "Next run in: 30.0 min");
  EXPECT_EQ(f.scheduler.Labels().ProgressPercent, 0);
  f.At(1000 + 1798.5);
  EXPECT_EQ(f.scheduler.Labels().Countdown, "Next run in: 2 sec");
}

TEST(Scheduler, HalfAnHourFiresAfter1800Seconds) {
  SchedulerFixture f("0.5");
  EXPECT_EQ(f.At(1000 + 1799.9), Tick::Counting);
  EXPECT_EQ(f.fired, 0);
  EXPECT_EQ(f.At(1000 + 1800), Tick::Fired);
  EXPECT_EQ(f.fired, 1);
}

TEST(Scheduler, AFiringShowsTheRunInProgress) {
  SchedulerFixture f("0.5");
  f.At(1000 + 1800);
  EXPECT_EQ(f.scheduler.Labels().Countdown, "Backup in progress");
  EXPECT_EQ(f.scheduler.Labels().ProgressPercent, 100);
}

TEST(Scheduler, TheNextPeriodStartsAtTheFiring) {
  SchedulerFixture f("0.5");
  f.At(1000 + 1801);
  EXPECT_EQ(f.At(1000 + 1801 + 1799.9), Tick::Counting);
  EXPECT_EQ(f.At(1000 + 1801 + 1800), Tick::Fired);
}

TEST(Scheduler, ACommaOrAPointReadAlike) {
  for (const char* text : {"0,5", "0.5"}) {
    SCOPED_TRACE(text);
    SchedulerFixture f(text);
    EXPECT_TRUE(f.scheduler.IsOn());
    EXPECT_EQ(f.At(1000 + 1799), Tick::Counting);
    EXPECT_EQ(f.At(1000 + 1800), Tick::Fired);
    EXPECT_EQ(f.At(1000 + 1e9), Tick::Fired);
  }
}

TEST(Scheduler, AnInvalidPeriodNeverFires) {
  for (const char* text : {"0", "", "abc", "-1", "1e999"}) {
    SCOPED_TRACE(text);
    SchedulerFixture f(text);
    EXPECT_TRUE(f.scheduler.IsOn());
    EXPECT_EQ(f.At(1000 + 1799), Tick::Idle);
    EXPECT_EQ(f.At(1000 + 1800), Tick::Idle);
    EXPECT_EQ(f.At(1000 + 1e9), Tick::Idle);
  }
}

TEST(Scheduler, APeriodTypedWhileOnCountsAtOnce) {
  SchedulerFixture f("1");
  f.scheduler.SetPeriodText("0,25");
  EXPECT_EQ(f.At(1000 + 900), Tick::Fired);
}

TEST(Scheduler, APeriodEndingDuringARunIsSkipped) {
  SchedulerFixture f("0.5");
  for (RunKind kind : {RunKind::Execution, RunKind::Simulation}) {
    const RunTicket run = f.app.Run.Lifecycle.TryBegin(kind);
    EXPECT_EQ(f.At(kind == RunKind::Execution ? 3000 : 4800), Tick::Skipped);
  }
  EXPECT_EQ(f.fired, 0);
  EXPECT_EQ(f.At(4800 + 1799), Tick::Counting);
  EXPECT_EQ(f.At(4800 + 1800), Tick::Fired);
}

TEST(Scheduler, SwitchedOffItNeitherCountsNorFires) {
  SchedulerFixture f("0.5");
  f.scheduler.Toggle();
  EXPECT_FALSE(f.scheduler.Labels().On);
  EXPECT_EQ(f.At(10000), Tick::Idle);
}

TEST(Scheduler, SwitchingBackOnRearmsAFullPeriod) {
  SchedulerFixture f("0.5");
  f.scheduler.Toggle();
  f.At(10000);
  f.scheduler.Toggle();
  EXPECT_EQ(f.At(10000 + 1799), Tick::Counting);
  EXPECT_TRUE(f.scheduler.Labels().On);
}

TEST(Scheduler, EscapeOutsideARunLeavesItOn) {
  SchedulerFixture f("0.5");
  EXPECT_FALSE(f.scheduler.Escape(false));
  EXPECT_TRUE(f.scheduler.IsOn());
  EXPECT_FALSE(f.app.Run.Lifecycle.StopRequested());
}

// During a run Escape stops the run and, on the main panel, switches the scheduler off.
TEST(Scheduler, EscapeDuringARunSwitchesItOff) {
  SchedulerFixture f("0.5");
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
