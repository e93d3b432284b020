#include "cli/watch_command.h"

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "cli/cli_screen.h"
#include "common/app.h"
#include "flows/execute_flow.h"
#include "flows/watch_session.h"

namespace dd::cli {

namespace {

std::string NoticeText(WatchNotice notice, const WatchSettings& settings) {
  switch (notice) {
    case WatchNotice::Unavailable:
      return "cannot watch folders: the system gives no change events (inotify)";
    case WatchNotice::LimitReached:
      return "the system's limit of folder watches is reached (fs.inotify.max_user_watches), so changes in some "
             "folders go unseen; every pair is compared in whole every " +
             std::to_string(static_cast<long>(settings.fullRunSeconds)) + " seconds instead";
    case WatchNotice::EventsLost:
      return "change events were lost (the system's queue overflowed): every pair is compared in whole";
  }
  return {};
}

}  // namespace

int RunWatch(const Options& o, App& app, CliScreen& screen, const volatile std::sig_atomic_t& signalled) {
  if (!o.yes && ::isatty(STDIN_FILENO) != 1) {
    screen.Error("watch runs without anyone to ask: pass --yes (no terminal to ask)");
    return 2;
  }
  WatchSettings settings;
  if (o.settle) settings.settleSeconds = *o.settle;
  bool stoppedInRun = false;
  auto run = [&](const ChangedPairs* changed) {
    const bool before = signalled != 0;
    ExecuteOneStep(app, changed);
    screen.ClearProgress();
    if (!before && signalled) stoppedInRun = true;
    std::cout.flush();
    // Nothing else runs here: a run refused or declined is over, not waiting to start.
    return true;
  };
  WatchSession session(
      app, settings, [&](WatchNotice n) { screen.Error(NoticeText(n, settings)); }, run);
  if (!session.Start()) return 1;
  if (!o.quiet)
    std::cerr << "dualdock-cli: watching " << app.Job.SourceFolders.size()
              << " folder pair(s); Ctrl+C ends the watch\n";
  while (!signalled) {
    if (session.Tick() && !signalled && !o.quiet) std::cerr << "dualdock-cli: waiting for changes\n" << std::flush;
    if (signalled) break;
    std::this_thread::sleep_for(std::chrono::duration<double>(session.Wait()));
  }
  return stoppedInRun ? 3 : 0;
}

}  // namespace dd::cli
