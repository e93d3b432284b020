// The scheduler: repeats the one-step run at a period given in hours while the
// program is open. The front end calls Tick every 100 ms while it is on.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/screen.h"
#include "plan/folder_comparison.h"

namespace dd {

class App;
class WatchSession;

// Colour of the schedule bar.
inline constexpr int kScheduleBarRed = 179, kScheduleBarGreen = 125, kScheduleBarBlue = 186;

class Scheduler {
 public:
  // Seconds of a clock that never jumps (not reset at midnight).
  using Clock = std::function<double()>;
  // Starts the one-step run; returns when it is over.
  using Fire = std::function<void()>;

  // A run of the pairs that changed (null: of every pair), for the "on change" choice; false when it
  // could not start.
  using ChangeRun = std::function<bool(const ChangedPairs* changed)>;

  enum class TickResult { Idle, Counting, Fired, Skipped };

  // Without arguments: the monotonic clock and ExecuteOneStep.
  explicit Scheduler(App& app, Clock clock = {}, Fire fire = {});
  ~Scheduler();

  // The "on change" choice: instead of at the end of a period, the one-step run starts when the
  // job's folders have changed and the changes have settled (the watch of `dualdock-cli watch`),
  // comparing only the pairs and folders that changed. Switching it while on starts afresh.
  void SetOnChange(bool onChange);
  bool OnChange() const { return onChange_; }
  // Without one: ExecuteOneStep of the changed pairs.
  void SetChangeRun(ChangeRun run) { changeRun_ = std::move(run); }

  // The text of txtScheduleTime changed (also when a new job is made).
  void SetPeriodText(const std::string& text);
  // The on/off button of the panel.
  void Toggle();
  bool IsOn() const { return on_; }

  TickResult Tick();

  // Escape in the main window: stops a run in progress, then switches the
  // scheduler off when it is on and the schedule or main panel is shown.
  // Returns false when the caller is to close the open panels instead.
  bool Escape(bool scheduleOrMainPanelVisible);

  const ScheduleLabels& Labels() const { return labels_; }

 private:
  void Show();
  void StartWatch();
  TickResult TickOnChange();

  App& app_;
  Clock clock_;
  Fire fire_;
  bool on_ = false;
  bool firing_ = false;
  double armedTime_ = 0;
  ScheduleLabels labels_;
  bool onChange_ = false;
  ChangeRun changeRun_;
  std::unique_ptr<WatchSession> watch_;
};

}  // namespace dd
