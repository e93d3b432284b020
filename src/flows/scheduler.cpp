#include "flows/scheduler.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/app.h"
#include "common/clock.h"
#include "common/duration_text.h"
#include "common/format.h"
#include "common/progress.h"
#include "common/text.h"
#include "flows/execute_flow.h"
#include "flows/watch_session.h"

namespace dd {

Scheduler::Scheduler(App& app, Clock clock, Fire fire) : app_(app), clock_(std::move(clock)), fire_(std::move(fire)) {
  if (!clock_) clock_ = MonotonicSeconds;
  if (!fire_) fire_ = [this] { ExecuteOneStep(app_); };
}

Scheduler::~Scheduler() = default;

namespace {

// Runs a function with a flag set, which is cleared on every way out.
template <class Work>
void WithFlag(bool& flag, Work work) {
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(flag);
  work();
}

const char* NoticeKey(WatchNotice notice) {
  switch (notice) {
    case WatchNotice::Unavailable:
      return "[Cannot watch folders]";
    case WatchNotice::LimitReached:
      return "[Watch limit reached]";
    case WatchNotice::EventsLost:
      return "[Change events lost]";
  }
  return "";
}

}  // namespace

void Scheduler::SetOnChange(bool onChange) {
  onChange_ = onChange;
  watch_.reset();
  if (on_ && onChange_) StartWatch();
  Show();
}

void Scheduler::StartWatch() {
  ChangeRun run = changeRun_ ? changeRun_ : [this](const ChangedPairs* changed) {
    return ExecuteOneStep(app_, changed).outcome != RunOutcome::NotRun;
  };
  auto say = [this](WatchNotice notice) {
    const Icon icon = notice == WatchNotice::EventsLost ? Icon::Information : Icon::Exclamation;
    app_.Show(NoticeKey(notice), "[Schedule]", Buttons::Ok, icon);
  };
  watch_ = std::make_unique<WatchSession>(app_, WatchSettings{}, say, run, clock_);
  // Without change events there is nothing to wait for: said, and the choice does nothing.
  if (!watch_->Start()) watch_.reset();
}

Scheduler::TickResult Scheduler::TickOnChange() {
  // Other pairs (a job opened or edited) are other folders to watch; never in the middle of a run.
  if (watch_ && watch_->PairsChanged() && !app_.Run.Lifecycle.Active()) StartWatch();
  if (!watch_) return TickResult::Idle;
  labels_.Countdown = app_.Text("[Watching for changes]");
  labels_.ProgressPercent = 0;
  bool ran = false;
  WithFlag(firing_, [&] { ran = watch_->Tick(); });
  Show();
  return ran ? TickResult::Fired : TickResult::Counting;
}

// Typing and switching on read the text the same way, so "1,5" means 1.5 hours in both.
void Scheduler::SetPeriodText(const std::string& text) {
  app_.Options.ScheduleTimeText = text;
  app_.Options.SchedulePeriodHours = ParseNumber(text);
}

void Scheduler::Toggle() {
  on_ = !on_;
  SetPeriodText(app_.Options.ScheduleTimeText);
  if (on_) {
    armedTime_ = clock_();
    labels_.ProgressPercent = 0;
  }
  watch_.reset();
  if (on_ && onChange_) StartWatch();
  app_.screen.SetScheduleTimer(on_);
  Show();
  app_.screen.RefreshButtons();
}

Scheduler::TickResult Scheduler::Tick() {
  // A tick that arrives during the fired command (its question is modal, the
  // run yields) neither skips its period nor touches its labels; the lifecycle
  // refuses a second run anyway.
  if (!on_ || firing_) return TickResult::Idle;
  if (onChange_) return TickOnChange();
  const double period = app_.Options.SchedulePeriodHours * 3600.0;
  if (!(period > 0) || !std::isfinite(period)) return TickResult::Idle;

  const double now = clock_();
  const double elapsed = std::trunc(std::max(0.0, now - armedTime_));
  const double remaining = std::trunc(period - elapsed);
  labels_.Countdown = app_.Text("label(44)") + ShortDurationText(app_.messages, std::max(0.0, remaining));
  labels_.ProgressPercent = ProgressPercent(elapsed, period);

  TickResult result = TickResult::Counting;
  if (remaining < 1) {
    // A run command is active from its start to its end, its questions included.
    if (!app_.Run.Lifecycle.Active()) {
      app_.screen.ShowMainPanel();
      labels_.Countdown = app_.Text("[Backup in Progress]");
      Show();
      WithFlag(firing_, [this] { fire_(); });
      result = TickResult::Fired;
      // The next period starts after the run.
      armedTime_ = clock_();
    } else {
      result = TickResult::Skipped;
      armedTime_ = now;
    }
  }
  Show();
  return result;
}

bool Scheduler::Escape(bool scheduleOrMainPanelVisible) {
  if (app_.Run.Lifecycle.Active()) RequestRunStop(app_);
  if (on_ && scheduleOrMainPanelVisible) {
    Toggle();
    return true;
  }
  return false;
}

void Scheduler::Show() {
  labels_.On = on_;
  app_.screen.ShowSchedule(labels_);
}

}  // namespace dd
