#include "common/run_lifecycle.h"

#include <utility>

namespace dd {

RunTicket::RunTicket(RunTicket&& other) noexcept : lifecycle_(std::exchange(other.lifecycle_, nullptr)) {}

RunTicket& RunTicket::operator=(RunTicket&& other) noexcept {
  if (this != &other) {
    End();
    lifecycle_ = std::exchange(other.lifecycle_, nullptr);
  }
  return *this;
}

void RunTicket::End() {
  if (RunLifecycle* lifecycle = std::exchange(lifecycle_, nullptr)) lifecycle->End();
}

RunTicket RunLifecycle::TryBegin(RunKind kind) {
  if (closed_.load()) return RunTicket();
  const RunState begun = kind == RunKind::Execution ? RunState::Executing : RunState::Simulating;
  RunState idle = RunState::Idle;
  if (!state_.compare_exchange_strong(idle, begun)) return RunTicket();
  phase_ = kind == RunKind::Execution ? Phase::Execution : Phase::Simulation;
  oneStep_ = kind == RunKind::OneStep;
  // A stop asked for before this run belongs to an earlier one; a Close that
  // came meanwhile still stops this one (it is read after the clear).
  stop_ = false;
  if (closed_.load()) RequestStop();
  return RunTicket(this);
}

bool RunLifecycle::Advance(const RunTicket& ticket) {
  if (ticket.lifecycle_ != this || !oneStep_.load()) return false;
  RunState simulating = RunState::Simulating;
  if (!state_.compare_exchange_strong(simulating, RunState::Executing)) return false;
  phase_ = Phase::Execution;
  return true;
}

void RunLifecycle::RequestStop() {
  stop_ = true;
  RunState current = state_.load();
  while ((current == RunState::Simulating || current == RunState::Executing) &&
         !state_.compare_exchange_weak(current, RunState::Stopping)) {
  }
}

void RunLifecycle::Close() {
  closed_ = true;
  RequestStop();
}

void RunLifecycle::End() {
  oneStep_ = false;
  state_ = RunState::Idle;
}

}  // namespace dd
