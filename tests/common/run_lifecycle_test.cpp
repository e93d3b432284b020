#include "common/run_lifecycle.h"

#include <gtest/gtest.h>

namespace dd {
namespace {

// A lifecycle brought into one state by its own calls.
struct Reached {
  RunLifecycle lifecycle;
  RunTicket run;
  explicit Reached(RunState state) {
    if (state == RunState::Idle) return;
    run = lifecycle.TryBegin(state == RunState::Executing ? RunKind::Execution : RunKind::Simulation);
    if (state == RunState::Stopping) lifecycle.RequestStop();
  }
};

TEST(RunLifecycle, OnlyAnIdleLifecycleBeginsARun) {
  const struct {
    RunState from;
    bool begins;
  } rows[] = {
      {RunState::Idle, true}, {RunState::Simulating, false}, {RunState::Executing, false}, {RunState::Stopping, false}};
  for (const auto& row : rows) {
    Reached r(row.from);
    ASSERT_EQ(r.lifecycle.State(), row.from);
    for (RunKind kind : {RunKind::Simulation, RunKind::Execution, RunKind::OneStep}) {
      const RunTicket second = r.lifecycle.TryBegin(kind);
      EXPECT_EQ(static_cast<bool>(second), row.begins) << static_cast<int>(row.from);
      if (!row.begins) {
        EXPECT_EQ(r.lifecycle.State(), row.from);
      }
    }
  }
}

TEST(RunLifecycle, AStopLastsUntilTheRunEnds) {
  RunLifecycle lifecycle;
  RunTicket run = lifecycle.TryBegin(RunKind::Execution);
  lifecycle.RequestStop();
  lifecycle.RequestStop();
  EXPECT_EQ(lifecycle.State(), RunState::Stopping);
  EXPECT_TRUE(lifecycle.Execution());  // still unwinding: what it was is still known
  EXPECT_TRUE(lifecycle.StopRequested());
  run.End();
  EXPECT_EQ(lifecycle.State(), RunState::Idle);
}

TEST(RunLifecycle, AStopNeverReachesTheNextRun) {
  RunLifecycle lifecycle;
  RunTicket run = lifecycle.TryBegin(RunKind::Execution);
  lifecycle.RequestStop();
  run.End();
  const RunTicket next = lifecycle.TryBegin(RunKind::Simulation);
  EXPECT_EQ(lifecycle.State(), RunState::Simulating);
  EXPECT_FALSE(lifecycle.StopRequested());
}

TEST(RunLifecycle, TheOneStepRunMovesOnToItsExecutionUnlessItIsStopping) {
  RunLifecycle lifecycle;
  {
    const RunTicket plain = lifecycle.TryBegin(RunKind::Simulation);
    EXPECT_FALSE(lifecycle.Advance(plain));
  }
  RunTicket oneStep = lifecycle.TryBegin(RunKind::OneStep);
  EXPECT_FALSE(lifecycle.Advance(RunTicket()));
  EXPECT_TRUE(lifecycle.Advance(oneStep));
  EXPECT_EQ(lifecycle.State(), RunState::Executing);
  EXPECT_TRUE(lifecycle.OneStep());
  oneStep.End();
  EXPECT_FALSE(lifecycle.OneStep());

  oneStep = lifecycle.TryBegin(RunKind::OneStep);
  lifecycle.RequestStop();
  EXPECT_FALSE(lifecycle.Advance(oneStep));
  EXPECT_EQ(lifecycle.State(), RunState::Stopping);
}

// A signal that ends the program may come before its run has begun.
TEST(RunLifecycle, CloseStopsTheRun) {
  RunLifecycle lifecycle;
  RunTicket run = lifecycle.TryBegin(RunKind::Simulation);
  lifecycle.Close();
  EXPECT_EQ(lifecycle.State(), RunState::Stopping);
  EXPECT_TRUE(lifecycle.StopRequested());
}

TEST(RunLifecycle, CloseRefusesEveryLaterRun) {
  for (const bool during : {false, true}) {
    SCOPED_TRACE(during ? "during a run" : "while idle");
    RunLifecycle lifecycle;
    RunTicket run;
    if (during) run = lifecycle.TryBegin(RunKind::Simulation);
    lifecycle.Close();
    EXPECT_EQ(lifecycle.State(), during ? RunState::Stopping : RunState::Idle);
    run.End();
    EXPECT_FALSE(lifecycle.TryBegin(RunKind::Execution));
    EXPECT_EQ(lifecycle.State(), RunState::Idle);
  }
}

TEST(RunLifecycle, AMovedTicketEndsTheRunOnce) {
  RunLifecycle lifecycle;
  RunTicket first = lifecycle.TryBegin(RunKind::Simulation);
  RunTicket second = std::move(first);
  first.End();
  EXPECT_EQ(lifecycle.State(), RunState::Simulating);
  second = RunTicket();
  EXPECT_EQ(lifecycle.State(), RunState::Idle);
}

}  // namespace
}  // namespace dd
