// A run from its begin to its end, and what the screen shows of it.
#pragma once

#include "common/app.h"

namespace dd {

// Begins a run in the lifecycle (Begun() says whether it may start) and ends
// it on every way out. While shown, the run's stop button and the label timer
// are on; Hide and End take both down and refresh the buttons, so no early
// return leaves a timer running or a stop button shown.
class RunScope {
 public:
  RunScope(App& app, RunKind kind) : app_(app), ticket_(app.Run.Lifecycle.TryBegin(kind)) {}
  ~RunScope() { End(); }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

  bool Begun() const { return static_cast<bool>(ticket_); }
  // The one-step run goes on to its execution; false when it is stopping.
  bool Advance() { return app_.Run.Lifecycle.Advance(ticket_); }

  void Show(StopButton button) {
    Hide();
    shown_ = true;
    button_ = button;
    app_.screen.SetStopButtonVisible(button_, true);
    app_.screen.SetLabelTimer(true);
  }
  void Hide() {
    if (!shown_) return;
    shown_ = false;
    app_.screen.SetLabelTimer(false);
    app_.screen.SetStopButtonVisible(button_, false);
    app_.screen.RefreshButtons();
  }
  // Back to Idle now; the destructor then does nothing more.
  void End() {
    Hide();
    if (!ticket_) return;
    ticket_.End();
    app_.screen.RefreshButtons();
  }

 private:
  App& app_;
  RunTicket ticket_;
  StopButton button_ = StopButton::Simulation;
  bool shown_ = false;
};

}  // namespace dd
