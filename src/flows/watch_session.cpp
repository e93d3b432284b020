#include "flows/watch_session.h"

#include <poll.h>

#include <algorithm>

#include "common/app.h"
#include "common/clock.h"
#include "flows/execute_flow.h"
#include "flows/folder_watch.h"

namespace dd {

WatchSession::WatchSession(App& app, WatchSettings settings, Say say, Run run, Clock clock)
    : app_(app),
      settings_(settings),
      say_(std::move(say)),
      run_(std::move(run)),
      clock_(std::move(clock)),
      rule_(settings.settleSeconds, settings.capSeconds) {
  if (!run_)
    run_ = [this](const ChangedPairs* changed) { return ExecuteOneStep(app_, changed).outcome != RunOutcome::NotRun; };
  if (!clock_) clock_ = [] { return MonotonicSeconds(); };
}

WatchSession::~WatchSession() {
  stop_ = true;
  if (reader_.joinable()) reader_.join();
}

bool WatchSession::Start() {
  // Each run writes its list and log into the program folder: a pair holding it must not see that.
  watch_ = std::make_unique<FolderWatch>(std::vector<std::string>{app_.Files.Folder});
  if (!watch_->Open()) {
    say_(WatchNotice::Unavailable);
    return false;
  }
  const auto& sources = app_.Job.SourceFolders;
  const auto& targets = app_.Job.TargetFolders;
  for (std::size_t i = 0; i < sources.size() && i < targets.size(); ++i) roots_.emplace_back(sources[i], targets[i]);
  WatchAll();
  limitReached_ = watch_->LimitReached();
  // What changed before the watch began is found by a first run of everything.
  fullRunDue_ = true;
  reader_ = std::thread([this] { ReadEvents(); });
  return true;
}

bool WatchSession::PairsChanged() const {
  const auto& sources = app_.Job.SourceFolders;
  const auto& targets = app_.Job.TargetFolders;
  if (std::min(sources.size(), targets.size()) != roots_.size()) return true;
  for (std::size_t i = 0; i < roots_.size(); ++i)
    if (roots_[i].first != sources[i] || roots_[i].second != targets[i]) return true;
  return false;
}

void WatchSession::WatchAll() {
  for (std::size_t i = 0; i < roots_.size(); ++i) {
    watch_->AddTree(static_cast<int>(i), roots_[i].first);
    watch_->AddTree(static_cast<int>(i), roots_[i].second);
  }
}

void WatchSession::ReadEvents() {
  pollfd p{watch_->Fd(), POLLIN, 0};
  while (!stop_) {
    if (::poll(&p, 1, 100) <= 0) continue;
    ChangeLog log;
    if (!watch_->Read(log)) continue;
    // Folders made during the lost events have no watch yet.
    if (log.Overflow) WatchAll();
    if (watch_->LimitReached()) limitReached_ = true;
    Note(log);
  }
}

void WatchSession::Note(const ChangeLog& log) {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.Merge(log);
  rule_.Note(clock_());
}

void WatchSession::SayLimit() {
  if (limitSaid_ || !limitReached_) return;
  limitSaid_ = true;
  say_(WatchNotice::LimitReached);
}

bool WatchSession::Tick() {
  if (app_.Run.Lifecycle.Active() || app_.Run.Lifecycle.Closed()) return false;
  SayLimit();
  const double now = clock_();
  ChangeLog taken;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (rule_.Due(now)) {
      taken = std::move(pending_);
      pending_ = ChangeLog();
      rule_.Clear();
    }
  }
  if (taken.Overflow) say_(WatchNotice::EventsLost);
  const bool periodic = limitReached_ && now - lastFullRun_ >= settings_.fullRunSeconds;
  if (fullRunDue_ || taken.Overflow || periodic) {
    fullRunDue_ = !run_(nullptr);
    if (!fullRunDue_) lastFullRun_ = now;
    return !fullRunDue_;
  }
  if (taken.Empty()) return false;
  std::vector<std::string> sources, targets;
  for (const auto& [source, target] : roots_) {
    sources.push_back(source);
    targets.push_back(target);
  }
  const ChangedPairs changed = ChangesToCompare(taken, sources, targets, app_.Options);
  if (changed.empty()) return false;
  if (run_(&changed)) return true;
  Note(taken);
  return false;
}

double WatchSession::Wait() const {
  std::lock_guard<std::mutex> lock(mutex_);
  const double remaining = rule_.Remaining(clock_());
  return remaining < 0 ? 0.2 : std::min(0.2, remaining);
}

}  // namespace dd
