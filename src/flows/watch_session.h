// Watch mode: runs a one-step sync of the pairs that changed once their changes
// have settled. A thread of its own reads the kernel's events (so that none are
// lost while a run goes on, and folders made meanwhile are watched at once); the
// front end calls Tick on its own thread, and the runs happen there.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "flows/settle_rule.h"
#include "flows/watch_changes.h"

namespace dd {

class App;
class FolderWatch;

// What a watch cannot do, and does instead; each front end words it.
enum class WatchNotice {
  Unavailable,   // the system gives no change events: no watch at all
  LimitReached,  // the limit of folder watches is reached: every pair is compared in whole periodically
  EventsLost,    // the system's queue of events overflowed: every pair is compared in whole now
};

struct WatchSettings {
  double settleSeconds = 2;     // quiet time after the last change
  double capSeconds = 60;       // at most this long after the first change
  double fullRunSeconds = 300;  // the period of full runs once the watch limit is reached
};

class WatchSession {
 public:
  // A run: of the named pairs and folders, or of every pair in whole when `changed` is null. False when
  // it could not start (another run is on its way): the changes wait for the next tick.
  using Run = std::function<bool(const ChangedPairs* changed)>;
  using Say = std::function<void(WatchNotice notice)>;
  using Clock = std::function<double()>;

  // Without a clock: the monotonic one. Without a run: ExecuteOneStep.
  WatchSession(App& app, WatchSettings settings, Say say, Run run = {}, Clock clock = {});
  ~WatchSession();

  // Watches both folders of every pair and plans a first run of all of them. False when the
  // kernel gives no watch at all (said).
  bool Start();
  // Starts what is due: a run of every pair after lost events, at the first tick and (once the watch
  // limit is reached) every fullRunSeconds; else a run of the settled changes that are not in step.
  // Does nothing while a run is active. True when it started a run.
  bool Tick();
  // True when the job's pairs are no longer those the watch began with (the window's job was edited).
  bool PairsChanged() const;
  // Adds changes as the reader of the kernel's events does (a front end or a test that learns of them otherwise).
  void Note(const ChangeLog& log);
  // Seconds until Tick may have something to do, for a front end that sleeps; at most 0.2.
  double Wait() const;

 private:
  void WatchAll();
  void ReadEvents();
  void SayLimit();

  App& app_;
  WatchSettings settings_;
  Say say_;
  Run run_;
  Clock clock_;
  // The pairs as they were when the watch began: the reader thread reads them.
  std::vector<std::pair<std::string, std::string>> roots_;
  std::unique_ptr<FolderWatch> watch_;
  std::thread reader_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> limitReached_{false};
  mutable std::mutex mutex_;  // guards pending_ and rule_
  ChangeLog pending_;
  SettleRule rule_;
  bool fullRunDue_ = false;
  bool limitSaid_ = false;
  double lastFullRun_ = 0;
};

}  // namespace dd
