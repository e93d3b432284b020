// dualdock-cli: runs a job from a script or a timer.
#include <unistd.h>
#include <csignal>
#include <ctime>
#include <iostream>

#include "app/app.h"
#include "cli/cli_options.h"
#include "cli/cli_screen.h"
#include "common/format.h"
#include "common/text.h"
#include "engine/simulation.h"
#include "execution/execute_flow.h"
#include "execution/execute_sub.h"
#include "job/job_file.h"
#include "job/program_folder.h"
#include "job/startup.h"
#include "platform/gio_trash.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailures = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStopped = 3;

std::atomic<bool>* g_stop = nullptr;
volatile std::sig_atomic_t g_signalled = 0;

// SIGINT and SIGTERM act as the stop command: the loops unwind at their next
// test and the list is saved. A second signal ends the program at once, unless
// it follows within a second (tools such as timeout signal both the process and
// its group, which is one request, not two).
volatile std::sig_atomic_t g_firstSignalSecond = 0;

void OnSignal(int signal) {
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  if (g_signalled && now.tv_sec - g_firstSignalSecond > 1) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  if (!g_signalled) g_firstSignalSecond = static_cast<std::sig_atomic_t>(now.tv_sec);
  g_signalled = 1;
  if (g_stop) g_stop->store(true);
}

int Fail(const std::string& text, int code) {
  std::cerr << "dualdock-cli: " << text << "\n";
  return code;
}

void PrintPending(const dd::RunStatistics& r) {
  auto line = [](const char* what, int64_t count, int64_t size) {
    std::cout << "  " << what << count << " (" << dd::FormatSize(static_cast<double>(size)) << ")\n";
  };
  std::cout << "Pending by kind:\n";
  line("delete in F1:  ", r.PendingDeleteF1, r.PendingDeleteSizeF1);
  line("delete in F2:  ", r.PendingDeleteF2, r.PendingDeleteSizeF2);
  line("new in F1:     ", r.PendingNewF1, r.PendingNewSizeF1);
  line("new in F2:     ", r.PendingNewF2, r.PendingNewSizeF2);
  line("replace in F1: ", r.PendingReplaceF1, r.PendingReplaceSizeF1);
  line("replace in F2: ", r.PendingReplaceF2, r.PendingReplaceSizeF2);
}

// Folders that could not be listed were left out of the plan: the run went on past an error.
bool ReportUnlisted(const dd::RunStatistics& r) {
  if (r.UnlistedFolders == 0) return false;
  std::cerr << "dualdock-cli: " << r.UnlistedFolders
            << " folder(s) could not be read; nothing below them was planned or changed\n";
  return true;
}

int ExitForResult(int result, const dd::cli::CliScreen& screen, bool unlisted) {
  if (g_signalled) return kExitStopped;
  if (screen.refused() || screen.declined()) return kExitUsage;
  if (result == dd::kNotRun) return kExitUsage;
  if (result == dd::kExecutionStopped) return kExitUsage;  // stopped by an answer, not a signal
  if (result > 0 || screen.sawError() || unlisted) return kExitFailures;
  return kExitDone;
}

int Run(const dd::cli::Options& o) {
  dd::cli::CliScreen screen({o.yes, o.createMissing});
  dd::App app(screen);
  dd::GioTrash trash;
  app.trash = &trash;
  screen.Attach(&app);
  // The user starts a run here: a clear flag, then the handlers, so a signal from now on stops the run.
  app.Run.StopRequested = false;
  g_stop = &app.Run.StopRequested;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);

  std::string error;
  std::string folder = dd::ResolveProgramFolder(o.home, dd::ExecutableFolder(), error);
  if (folder.empty()) return Fail(error, kExitUsage);

  dd::StartUp(app, folder, std::string());
  if (!o.jobFile.empty()) {
    std::string result;
    switch (dd::LoadJobFile(app, o.jobFile, &result)) {
      case dd::JobLoadStatus::Loaded:
        break;
      case dd::JobLoadStatus::Missing:
        return Fail("job file " + o.jobFile + " does not exist", kExitUsage);
      case dd::JobLoadStatus::Unreadable:
        return Fail("cannot read job file " + o.jobFile, kExitUsage);
      case dd::JobLoadStatus::WrongFormat:
        return Fail("job file " + o.jobFile + " has the wrong format: " + dd::ReplaceAll(result, "\r\n", " "),
                    kExitUsage);
    }
    if (o.tolerance) {
      app.Options.TimeTolerance = *o.tolerance;
      app.Options.TimeToleranceText = std::to_string(*o.tolerance);
    }
    app.Options.SaveTextFiles = o.saveTextFiles;
  }

  if (o.command == "simulate") {
    dd::Simulate(app);
    screen.ClearProgress();
    if (g_signalled) return kExitStopped;
    if (screen.declined() || app.Run.StopRequested) return kExitUsage;
    PrintPending(app.Run);
    const bool unlisted = ReportUnlisted(app.Run);
    return screen.sawError() || unlisted ? kExitFailures : kExitDone;
  }
  int result = o.command == "execute" ? dd::Execute(app) : dd::ExecuteOneKlick(app);
  screen.ClearProgress();
  const bool unlisted = ReportUnlisted(app.Run);
  return ExitForResult(result, screen, unlisted);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = dd::cli::ParseOptions(args, error);
  if (!options) {
    std::cerr << "dualdock-cli: " << error << "\n" << dd::cli::kUsage;
    return kExitUsage;
  }
  if (options->command == "help") {
    std::cout << dd::cli::kHelp;
    return kExitDone;
  }
  return Run(*options);
}
