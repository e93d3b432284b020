// dualdock-cli: runs a job from a script or a timer.
#include <unistd.h>
#include <csignal>
#include <ctime>
#include <iostream>

#include "apply/execute_sub.h"
#include "cli/cli_options.h"
#include "cli/cli_screen.h"
#include "cli/job_commands.h"
#include "cli/json_report.h"
#include "cli/list_route.h"
#include "cli/watch_command.h"
#include "common/app.h"
#include "common/clock.h"
#include "common/format.h"
#include "common/program_folder_lock.h"
#include "common/text.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "job/job_file.h"
#include "job/program_folder.h"
#include "job/startup.h"
#include "platform/desktop_trash.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailures = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStopped = 3;

dd::RunLifecycle* g_run = nullptr;
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
  // Also a signal before the run has begun: Close makes it refuse to begin.
  if (g_run) g_run->Close();
}

void PrintPending(const dd::RunStatistics& r) {
  using dd::OpKind, dd::Side;
  auto line = [&](const char* what, OpKind kind, Side side) {
    const dd::PendingCount& c = r.Pending(kind, side);
    std::cout << "  " << what << c.Count << " (" << dd::FormatSize(static_cast<double>(c.Bytes)) << ")\n";
  };
  std::cout << "Pending by kind:\n";
  line("delete in F1:  ", OpKind::Delete, Side::F1);
  line("delete in F2:  ", OpKind::Delete, Side::F2);
  line("new in F1:     ", OpKind::New, Side::F1);
  line("new in F2:     ", OpKind::New, Side::F2);
  line("replace in F1: ", OpKind::Replace, Side::F1);
  line("replace in F2: ", OpKind::Replace, Side::F2);
  line("moved in F1:   ", OpKind::Move, Side::F1);
  line("moved in F2:   ", OpKind::Move, Side::F2);
}

// What content comparison and read-back cost and found, when they ran.
void PrintContentCounts(const dd::RunStatistics& r) {
  if (r.Compared.Files > 0)
    std::cout << "Compared by content: " << r.Compared.Files << " file(s), " << r.Compared.Differing << " differing, "
              << dd::FormatSize(static_cast<double>(r.Compared.BytesRead)) << " read\n";
  if (r.Verified.Files > 0)
    std::cout << "Copies read back: " << r.Verified.Files << ", " << r.Verified.Mismatches << " not as their source, "
              << dd::FormatSize(static_cast<double>(r.Verified.BytesRead)) << " read\n";
}

// Files whose content could not be compared were judged by size and time alone: the run went on past an error.
bool ReportUncompared(const dd::RunStatistics& r, dd::cli::CliScreen& screen) {
  if (r.Compared.Unreadable == 0) return false;
  screen.Error(std::to_string(r.Compared.Unreadable) +
               " file(s) could not be compared by content; size and time alone decided for them");
  return true;
}

// Folders that could not be listed were left out of the plan: the run went on past an error.
bool ReportUnlisted(const dd::RunStatistics& r, dd::cli::CliScreen& screen) {
  if (r.UnlistedFolders == 0) return false;
  screen.Error(std::to_string(r.UnlistedFolders) +
               " folder(s) could not be read; nothing below them was planned or changed");
  return true;
}

// Names the record formats cannot carry were left out: those items are not in step, and each is named.
bool ReportSkipped(const dd::RunStatistics& r, dd::cli::CliScreen& screen) {
  if (r.SkippedNames == 0) return false;
  for (const std::string& path : r.SkippedPaths)
    screen.Error("skipped, the name holds a TAB or line break: " + dd::EscapedText(path));
  const int64_t unnamed = r.SkippedNames - static_cast<int64_t>(r.SkippedPaths.size());
  if (unnamed > 0) screen.Error(std::to_string(unnamed) + " more name(s) skipped");
  return true;
}

// One line per item the execution could not carry out: the operation, the item and the reason.
void ReportFailedItems(const dd::RunStatistics& r) {
  for (const dd::RunStatistics::FailedItem& f : r.FailedItems)
    std::cerr << "dualdock-cli: " << f.operation << " failed: " << f.path << ": " << f.reason << "\n";
  if (r.FailedItems.size() == dd::kFailedItemsKept)
    std::cerr << "dualdock-cli: the items that failed after these are not named\n";
}

int ExitForResult(const dd::RunResult& result, const dd::cli::CliScreen& screen, bool incomplete) {
  if (g_signalled) return kExitStopped;
  if (screen.refused() || screen.declined()) return kExitUsage;
  if (result.outcome == dd::RunOutcome::NotRun) return kExitUsage;
  if (result.outcome == dd::RunOutcome::Stopped) return kExitUsage;  // stopped by an answer, not a signal
  if (result.failures > 0 || screen.sawError() || incomplete) return kExitFailures;
  return kExitDone;
}

// Runs simulate, execute or sync; `failures` receives the number of failed operations.
int RunCommand(const dd::cli::Options& o, dd::App& app, dd::cli::CliScreen& screen, int& failures) {
  auto fail = [&](const std::string& text) {
    screen.Error(text);
    return kExitUsage;
  };
  std::string error;
  // The command line shows no pictures: checking the hundreds of them at every start would cost more than a small run.
  std::string folder = dd::ResolveProgramFolder(o.home, dd::ExecutableFolder(), error, false);
  if (folder.empty()) return fail(error);
  // One run per program folder, for the whole command: a second one does not wait.
  dd::ProgramFiles files;
  files.SetFolder(folder);
  const dd::ProgramFolderLock lock(files.LockFilePath);
  if (!lock.Held())
    return fail("another Dualdock run uses the program folder " + folder + "; try again when it has ended");

  dd::StartUp(app, folder, std::string());
  if (!o.jobFile.empty()) {
    std::string result;
    switch (dd::LoadJobFile(app, o.jobFile, &result, o.command == "execute")) {
      case dd::JobLoadStatus::Loaded:
        break;
      case dd::JobLoadStatus::Missing:
        return fail("job file " + o.jobFile + " does not exist");
      case dd::JobLoadStatus::Unreadable:
        return fail("cannot read job file " + o.jobFile);
      case dd::JobLoadStatus::WrongFormat:
        return fail("job file " + o.jobFile + " has the wrong format: " + dd::ReplaceAll(result, "\r\n", " "));
    }
    if (o.tolerance) {
      app.Options.TimeTolerance = *o.tolerance;
      app.Options.TimeToleranceText = std::to_string(*o.tolerance);
    }
    app.Options.SaveTextFiles = o.saveTextFiles;
  }
  if (!o.logFile.empty()) app.Options.LogFile = o.logFile;
  // Switched on for this run; a job saved with them has them on already.
  if (o.checksum) app.Options.CompareContent = true;
  if (o.verify) app.Options.VerifyCopies = app.ToDo.Plan.VerifyCopies = true;

  if (o.command == "watch") return dd::cli::RunWatch(o, app, screen, g_signalled);
  const bool text = !o.quiet && !o.json;
  if (o.command == "simulate") {
    dd::Simulate(app);
    screen.ClearProgress();
    if (g_signalled) return kExitStopped;
    if (screen.declined() || screen.refused() || app.Run.Lifecycle.StopRequested()) return kExitUsage;
    if (text) PrintPending(app.Run);
    if (text) PrintContentCounts(app.Run);
    const bool incomplete =
        ReportUnlisted(app.Run, screen) | ReportSkipped(app.Run, screen) | ReportUncompared(app.Run, screen);
    return screen.sawError() || incomplete ? kExitFailures : kExitDone;
  }
  if (o.command == "execute") {
    const std::string refusal = dd::cli::RefusalToExecute(app, o.jobFile);
    if (!refusal.empty()) return fail(refusal);
  }
  const dd::RunResult result = o.command == "execute" ? dd::Execute(app) : dd::ExecuteOneStep(app);
  screen.ClearProgress();
  ReportFailedItems(app.Run);
  if (result.outcome == dd::RunOutcome::Done) failures = static_cast<int>(result.failures);
  if (text) PrintContentCounts(app.Run);
  const bool incomplete =
      ReportUnlisted(app.Run, screen) | ReportSkipped(app.Run, screen) | ReportUncompared(app.Run, screen);
  return ExitForResult(result, screen, incomplete);
}

int Run(const dd::cli::Options& o) {
  const double start = dd::MonotonicSeconds();
  dd::cli::CliScreen screen({o.yes, o.createMissing, o.quiet || o.json, o.allowMassDelete, o.verbose});
  dd::DesktopTrash trash;
  dd::App app(screen, &trash);
  screen.Attach(&app, &app.Run.Lifecycle);
  g_run = &app.Run.Lifecycle;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);

  int failures = 0;
  const int code = RunCommand(o, app, screen, failures);
  if (o.json) {
    dd::cli::RunReport report;
    report.command = o.command;
    report.jobFile = o.jobFile;
    report.exitStatus = code;
    report.seconds = dd::MonotonicSeconds() - start;
    report.failures = failures;
    report.stopped = g_signalled != 0;
    report.errors = screen.errors();
    std::cout << dd::cli::RunReportJson(report, app.Run) << "\n" << std::flush;
  }
  return code;
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
  if (options->command == "version") {
    std::cout << "dualdock-cli " DUALDOCK_VERSION "\n";
    return kExitDone;
  }
  if (options->command == "job new") return dd::cli::RunJobNew(*options);
  if (options->command == "job show") return dd::cli::RunJobShow(*options);
  return Run(*options);
}
