#include "plan/comparison.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "common/app.h"
#include "plan/move_plan.h"
#include "plan/content_check.h"
#include "plan/scanner.h"
#include "plan/sorted_entries.h"
#include "plan/unlisted_areas.h"
#include "todo/backup_mode.h"
#include "todo/record_texts.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

const std::string kIdentical(kStatusIdentical);
const std::string kNewerInF1(kStatusNewerInF1);
const std::string kNewerInF2(kStatusNewerInF2);
const std::string kExtraInF1(kStatusExtraInF1);
const std::string kExtraInF2(kStatusExtraInF2);

// Counts of the target-side scan, which runs on its own thread. The main thread
// copies them into the run statistics; the worker never touches the app.
class WorkerScanObserver : public ScanObserver {
 public:
  explicit WorkerScanObserver(const std::atomic<bool>& stop) : stop_(stop) {}

  void FolderFound() override { folders.fetch_add(1, std::memory_order_relaxed); }
  void FileFound(std::string_view folder, std::string_view name, int64_t size) override {
    bytes.fetch_add(size, std::memory_order_relaxed);
    // The current item is only shown, so it is handed over every 50 files.
    if (files.fetch_add(1, std::memory_order_relaxed) % 50 == 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      current_.assign(folder).append("\r\n").append(name);
    }
  }
  bool StopRequested() override {
    return stop_.load(std::memory_order_relaxed) || abandoned.load(std::memory_order_relaxed);
  }

  std::string CurrentFile() {
    std::lock_guard<std::mutex> lock(mutex_);
    return current_;
  }

  std::atomic<int64_t> files{0}, folders{0}, bytes{0};
  // Set when the main thread leaves early (an exception): the scan is of no use then.
  std::atomic<bool> abandoned{false};

 private:
  const std::atomic<bool>& stop_;
  std::mutex mutex_;
  std::string current_;
};

// The target-side counts as they stood before this pair, plus what the worker found so far.
struct TargetTotals {
  int64_t files, folders, bytes;

  void Publish(RunStatistics& r, const WorkerScanObserver& w) const {
    r.TreeFilesF2 = files + w.files.load(std::memory_order_relaxed);
    r.TreeFoldersF2 = folders + w.folders.load(std::memory_order_relaxed);
    r.TreeSizeF2 = bytes + w.bytes.load(std::memory_order_relaxed);
  }
};

// The source side on the main thread: keeps its own statistics as the
// sequential scan would and shows the target-side progress at every turn.
class SourceScanObserver : public AppScanObserver {
 public:
  SourceScanObserver(App& app, const TargetTotals& base, const WorkerScanObserver& worker)
      : AppScanObserver(app), base_(base), worker_(worker) {}

 protected:
  void BeforeYield() override { base_.Publish(app_.Run, worker_); }

 private:
  const TargetTotals& base_;
  const WorkerScanObserver& worker_;
};

void SetActionText(App& app, const std::string& key) {
  app.Run.ActionText = app.Text(key);
}

void Step(App& app, const std::string& key) {
  SetActionText(app, key);
  app.screen.ShowRunLabels(app.Run);
  app.Yield();
}

std::string ScanningText(App& app, int number, int total) {
  return app.Text("[Scanning folder]") + " " + std::to_string(number) + "/ " + std::to_string(total);
}

// Both trees at once: the target on a worker thread, the source here, with
// the event loop served throughout. Statistics end as a sequential scan leaves them.
void ScanBothSides(App& app, const std::string& rootF1, const std::string& rootF2, int pair, int total, ScanResult& f1,
                   ScanResult& f2) {
  RunStatistics& r = app.Run;
  const TargetTotals base{r.TreeFilesF2, r.TreeFoldersF2, r.TreeSizeF2};
  WorkerScanObserver worker(r.Lifecycle.StopFlag());

  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::exception_ptr failure;
  std::thread thread;
  try {
    thread = std::thread([&] {
      try {
        f2 = ScanFolder(rootF2, worker);
      } catch (...) {
        failure = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(mutex);
      done = true;
      finished.notify_one();
    });
  } catch (const std::system_error&) {
    done = true;  // no thread to be had: the target is scanned below, after the source
  }
  const bool threaded = thread.joinable();
  struct Joiner {
    std::thread& t;
    WorkerScanObserver& w;
    ~Joiner() {
      if (!t.joinable()) return;
      w.abandoned = true;
      t.join();
    }
  } joiner{thread, worker};

  {
    SourceScanObserver source(app, base, worker);
    f1 = ScanFolder(rootF1, source);
  }

  r.CurrentFile.clear();
  base.Publish(r, worker);
  app.screen.ShowRunLabels(app.Run);
  r.ScanningF1 = false;
  r.ScanningF2 = true;
  app.Yield();
  r.ActionText = ScanningText(app, 2 * pair + 2, total);

  if (threaded) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!done) {
      lock.unlock();
      base.Publish(r, worker);
      std::string current = worker.CurrentFile();
      if (!current.empty()) r.CurrentFile = std::move(current);
      app.Yield();
      lock.lock();
      finished.wait_for(lock, std::chrono::milliseconds(20), [&] { return done; });
    }
    lock.unlock();
    thread.join();
    if (failure) std::rethrow_exception(failure);
    base.Publish(r, worker);
  } else {
    f2 = ScanFolder(app, rootF2);
  }
}

}  // namespace

bool WithinTolerance(double delta, const JobOptions& options) {
  const double d = std::fabs(delta);
  const double t = options.TimeTolerance;
  // A tolerance of zero or less asks for equal times, not for no match at all.
  if (!(t > 0)) return d == 0 || (options.DaylightSaving && d == 3600);
  return d < t || (options.DaylightSaving && std::fabs(d - 3600) < t);
}

std::string_view StatusOfBoth(int64_t modifiedF1, int64_t modifiedF2, int64_t sizeF1, int64_t sizeF2,
                              const JobOptions& options) {
  // A copy of another size is never the same file, whatever its time says.
  if (sizeF1 == sizeF2 && WithinTolerance(static_cast<double>(modifiedF2 - modifiedF1), options))
    return kStatusIdentical;
  return modifiedF1 >= modifiedF2 ? kStatusNewerInF1 : kStatusNewerInF2;
}

PairPlan ComparePair(App& app, const std::string& rootF1, const std::string& rootF2, int pair, int lastPair) {
  PairPlan plan;
  RunStatistics& r = app.Run;
  const int total = 2 * (lastPair + 1);

  app.screen.ShowRunLabels(app.Run);
  r.ScanningF1 = true;
  app.Yield();
  r.ActionText = ScanningText(app, 2 * pair + 1, total);

  ScanResult f1, f2;
  ScanBothSides(app, rootF1, rootF2, pair, total, f1, f2);
  NoteScans(app, f1, f2, plan);

  r.ScanningF2 = false;
  r.CurrentFile.clear();
  app.screen.ShowRunLabels(app.Run);
  app.Yield();
  if (r.Lifecycle.StopRequested()) return plan;

  Step(app, "[Analyzing source files..]");
  Step(app, "[Analyzing target files..]");
  Step(app, "[Analyzing source folders..]");
  Step(app, "[Analyzing target folders..]");
  app.Yield();
  if (r.Lifecycle.StopRequested()) return plan;

  Step(app, "[Analyzing ..]");
  app.Yield();
  if (r.Lifecycle.StopRequested()) return plan;

  PlanScannedSides(app, f1, f2, plan);
  return plan;
}

void NoteScans(App& app, ScanResult& f1, ScanResult& f2, PairPlan& plan) {
  RunStatistics& r = app.Run;
  r.SkippedNames += f1.Skipped + f2.Skipped;
  for (const ScanResult* side : {&f1, &f2})
    for (const std::string& path : side->SkippedPaths)
      if (r.SkippedPaths.size() < kSkippedPathsKept) r.SkippedPaths.push_back(path);
  r.OwnEntriesLeftOut += f1.OwnEntries + f2.OwnEntries;
  r.UnlistedFolders += static_cast<int64_t>(f1.Unlisted.size() + f2.Unlisted.size());
  plan.FilesF1 = static_cast<int64_t>(f1.Files.size());
  plan.FilesF2 = static_cast<int64_t>(f2.Files.size());
  plan.TemporaryCopiesF1 = std::move(f1.TemporaryCopies);
  plan.TemporaryCopiesF2 = std::move(f2.TemporaryCopies);
}

void PlanScannedSides(App& app, const ScanResult& f1, const ScanResult& f2, PairPlan& plan) {
  RunStatistics& r = app.Run;
  // The scans dropped one trailing separator of each root already.
  const std::string& r1 = f1.Root;
  const std::string& r2 = f2.Root;

  Step(app, "[Sorting ..]");
  SortedEntries lines(f1, f2);

  if (app.Options.SaveTextFiles) {
    Step(app, "[Saving ..]");
    lines.WriteDump(app.Files.SortedDumpPath);
  }

  Step(app, "[Generating operation list ..]");
  if (r.Lifecycle.StopRequested()) return;

  // The mode is read for every item: an edit during the walk counts from the next item on.
  const BackupModeDef& mode = app.Modes.CurrentBackupMode;
  auto plans = [&](const std::string& status) { return !OpTextOf(CodeForStatus(mode, status)).empty(); };
  auto& toDo = app.ToDo.ToDoList;
  const UnlistedAreas unlisted(f1, f2);
  // Which moves the mode allows is fixed at the start of the walk: a move needs both of its halves planned alike.
  MovePlanner moves(mode);
  auto countDeletion = [&](const std::string& code, bool file) {
    if (code == kDeleteInSource) {
      ++plan.DeletedItemsF1;
      plan.DeletedFilesF1 += file;
    } else if (code == kDeleteInTarget) {
      ++plan.DeletedItemsF2;
      plan.DeletedFilesF2 += file;
    }
  };

  std::optional<ContentCheck> content;
  if (app.Options.CompareContent)
    content.emplace(r1, r2, r.Compared, [&] {
      app.Yield();
      return !r.Lifecycle.StopRequested();
    });

  const std::size_t n = lines.size();
  bool usedNext = false;
  std::string key;  // one buffer for the keys of all items
  for (std::size_t k = 0; k < n; ++k) {
    app.Yield();
    if (r.Lifecycle.StopRequested()) return;
    if (usedNext) {
      usedNext = false;
      continue;
    }
    if (lines.IsRoot(k)) continue;
    if (unlisted.Hides(lines, k)) {
      usedNext = k + 1 < n && lines.SameItem(k, k + 1);
      continue;
    }

    if (k + 1 < n && lines.SameItem(k, k + 1)) {
      // The F1 line sorts first.
      usedNext = true;
      // Folder lines carry size 0 and one fixed time: both copies of a folder are "Identical".
      std::string_view both =
          StatusOfBoth(lines.Modified(k), lines.Modified(k + 1), lines.Size(k), lines.Size(k + 1), app.Options);
      if (content && both == kStatusIdentical && !lines.IsFolder(k) && lines.Size(k) > 0) {
        lines.KeyInto(k, key);
        both = StatusAfterContent(content->Compare(key, lines.Size(k)), lines.Modified(k), lines.Modified(k + 1));
      }
      const std::string* status = both == kStatusIdentical ? &kIdentical
                                  : both == kStatusNewerInF1 ? &kNewerInF1
                                                             : &kNewerInF2;
      if (!plans(*status)) continue;
      lines.KeyInto(k, key);
      const std::string& code = CodeForStatus(mode, *status);
      countDeletion(code, !lines.IsFolder(k));
      AppendToDoRecord(toDo, *status, code, r1, r2, key, lines.Size(k), lines.Size(k + 1));
    } else if (lines.Side(k) == 0) {
      if (!plans(kExtraInF1)) continue;
      lines.KeyInto(k, key);
      const std::string& code = CodeForStatus(mode, kExtraInF1);
      countDeletion(code, !lines.IsFolder(k));
      AppendToDoRecord(toDo, kExtraInF1, code, r1, r2, key, lines.Size(k), 0);
      moves.Noted(0, code, key, lines.IsFolder(k), lines.Size(k), lines.Modified(k), toDo.size() - 1);
    } else {
      if (!plans(kExtraInF2)) continue;
      lines.KeyInto(k, key);
      const std::string& code = CodeForStatus(mode, kExtraInF2);
      countDeletion(code, !lines.IsFolder(k));
      AppendToDoRecord(toDo, kExtraInF2, code, r1, r2, key, 0, lines.Size(k));
      moves.Noted(1, code, key, lines.IsFolder(k), lines.Size(k), lines.Modified(k), toDo.size() - 1);
    }
  }

  moves.Apply(toDo, r1, r2, plan, MoveFileCheck(r1, r2));
  r.ActionText = "..";
  app.screen.ShowRunLabels(app.Run);
  plan.Complete = true;
}

}  // namespace dd
