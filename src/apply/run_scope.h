// A run from its begin to its end, and what the screen shows of it.
#pragma once

#include "common/run_statistics.h"
#include "common/screen.h"

namespace dd {

// Begins a run in the lifecycle (Begun() says whether it may start) and ends
// it on every way out. While shown, the run's stop button and the label timer
// are on; Hide and End take both down and refresh the buttons, so no early
// return leaves a timer running or a stop button shown.
class RunScope {
 public:
  RunScope(RunLifecycle& lifecycle, Screen& screen, RunKind kind)
      : lifecycle_(lifecycle), screen_(screen), ticket_(lifecycle.TryBegin(kind)) {}
  ~RunScope() { End(); }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

  bool Begun() const { return static_cast<bool>(ticket_); }
  // The one-step run goes on to its execution; false when it is stopping.
  bool Advance() { return lifecycle_.Advance(ticket_); }

  void Show(StopButton button) {
    Hide();
    shown_ = true;
    button_ = button;
    screen_.SetStopButtonVisible(button_, true);
    screen_.SetLabelTimer(true);
  }
  void Hide() {
    if (!shown_) return;
    shown_ = false;
    screen_.SetLabelTimer(false);
    screen_.SetStopButtonVisible(button_, false);
    screen_.RefreshButtons();
  }
  // Back to Idle now; the destructor then does nothing more.
  void End() {
    Hide();
    if (!ticket_) return;
    ticket_.End();
    screen_.RefreshButtons();
  }

 private:
  RunLifecycle& lifecycle_;
  Screen& screen_;
  RunTicket ticket_;
  StopButton button_ = StopButton::Simulation;
  bool shown_ = false;
};

}  // namespace dd
