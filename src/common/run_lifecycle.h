// The one place that says whether a run may start, what is running and whether
// it is to stop.
#pragma once

#include <atomic>
#include <cstdint>

namespace dd {

enum class RunState : std::uint8_t { Idle, Simulating, Executing, Stopping };

// What a run does: a simulation, an execution, or the one-step run (a
// simulation, then an execution of its list).
enum class RunKind : std::uint8_t { Simulation, Execution, OneStep };

class RunLifecycle;

// A begun run. Ending it, or letting it go out of scope on any way out,
// returns the lifecycle to Idle. An empty ticket is a refused begin.
class RunTicket {
 public:
  RunTicket() = default;
  RunTicket(RunTicket&& other) noexcept;
  RunTicket& operator=(RunTicket&& other) noexcept;
  ~RunTicket() { End(); }
  RunTicket(const RunTicket&) = delete;
  RunTicket& operator=(const RunTicket&) = delete;

  explicit operator bool() const { return lifecycle_ != nullptr; }
  void End();

 private:
  friend class RunLifecycle;
  explicit RunTicket(RunLifecycle* lifecycle) : lifecycle_(lifecycle) {}
  RunLifecycle* lifecycle_ = nullptr;
};

// Idle -> Simulating or Executing (TryBegin); Simulating -> Executing (Advance,
// the one-step run); Simulating or Executing -> Stopping (RequestStop); any ->
// Idle only when the run's ticket ends. Every member may be called from any
// thread, and RequestStop and Close from a signal handler.
class RunLifecycle {
 public:
  // Begins a run when none is active and the lifecycle is not closed; clears a
  // stop request left from before. An empty ticket otherwise.
  [[nodiscard]] RunTicket TryBegin(RunKind kind);
  // The one-step run moves from its simulation to its execution; false when it
  // is stopping (or the ticket is not this run's).
  bool Advance(const RunTicket& ticket);
  // Asks the run to stop at its next test. A run in progress is Stopping until
  // it has unwound; it never goes to Idle from here.
  void RequestStop();
  // Stops the run in progress and refuses every later one (the program ends).
  void Close();

  RunState State() const { return state_.load(); }
  bool Active() const { return State() != RunState::Idle; }
  // A simulation (or an execution) is on or stopping.
  bool Simulation() const { return Active() && phase_.load() == Phase::Simulation; }
  bool Execution() const { return Active() && phase_.load() == Phase::Execution; }
  // The active run is the one-step run.
  bool OneStep() const { return Active() && oneStep_.load(); }
  bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }
  bool Closed() const { return closed_.load(); }
  // The flag that long loops and copies poll.
  const std::atomic<bool>& StopFlag() const { return stop_; }

 private:
  friend class RunTicket;
  enum class Phase : std::uint8_t { Simulation, Execution };
  void End();

  std::atomic<RunState> state_{RunState::Idle};
  std::atomic<Phase> phase_{Phase::Simulation};
  std::atomic<bool> oneStep_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> closed_{false};
};

}  // namespace dd
