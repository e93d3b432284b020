// The run state a command switches on for its duration, restored on every way out.
#pragma once

#include "common/app.h"

namespace dd {

// Sets the run's flag, shows its stop button and starts the label timer; the
// destructor undoes all three and refreshes the buttons, so no early return
// leaves a timer running or a stop button shown.
class RunScope {
 public:
  RunScope(App& app, bool RunStatistics::*flag, StopButton button) : app_(app), flag_(flag), button_(button) {
    app_.Run.*flag_ = true;
    app_.screen.SetStopButtonVisible(button_, true);
    app_.screen.SetLabelTimer(true);
  }
  ~RunScope() { End(); }
  // Ends the run state now; the destructor then does nothing more.
  void End() {
    if (ended_) return;
    ended_ = true;
    app_.screen.SetLabelTimer(false);
    app_.screen.SetStopButtonVisible(button_, false);
    app_.Run.*flag_ = false;
    app_.screen.RefreshButtons();
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  App& app_;
  bool RunStatistics::*flag_;
  StopButton button_;
  bool ended_ = false;
};

}  // namespace dd
