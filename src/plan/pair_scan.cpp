#include "plan/pair_scan.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "common/messages.h"
#include "common/run_statistics.h"
#include "plan/scanner.h"

namespace dd {

namespace {

// Counts of the target-side scan, which runs on its own thread. The main thread
// copies them into the run statistics; the worker never touches them itself.
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
  // Set when the main thread leaves early (its own scan failed): the scan is of no use then.
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
class SourceScanObserver : public RunScanObserver {
 public:
  SourceScanObserver(RunStatistics& run, Screen& screen, const TargetTotals& base, const WorkerScanObserver& worker)
      : RunScanObserver(run, screen), base_(base), worker_(worker) {}

 protected:
  void BeforeYield() override { base_.Publish(run_, worker_); }

 private:
  const TargetTotals& base_;
  const WorkerScanObserver& worker_;
};

// The reason a scan failed, as the report names it.
std::string ReasonOf(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "not enough memory";
  return e.what();
}

// The worker's scan of the target, and what the main thread waits for.
struct TargetScan {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::optional<std::string> failure;  // the reason
  std::thread thread;

  void Run(const std::string& root, ScanResult& result, ScanObserver& observer) {
    try {
      result = ScanFolder(root, observer);
    } catch (const std::exception& e) {
      failure = ReasonOf(e);
    }
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    finished.notify_one();
  }
};

// Waits for the worker, serving the event loop and showing its progress.
void AwaitTarget(RunStatistics& r, Messages& messages, TargetScan& scan, const TargetTotals& base,
                 WorkerScanObserver& worker) {
  std::unique_lock<std::mutex> lock(scan.mutex);
  while (!scan.done) {
    lock.unlock();
    base.Publish(r, worker);
    std::string current = worker.CurrentFile();
    if (!current.empty()) r.CurrentFile = std::move(current);
    messages.Yield();
    lock.lock();
    scan.finished.wait_for(lock, std::chrono::milliseconds(20), [&] { return scan.done; });
  }
  lock.unlock();
  scan.thread.join();
  base.Publish(r, worker);
}

}  // namespace

std::string ScanningText(const Messages& messages, int number, int total) {
  return messages.Text("[Scanning folder]") + " " + std::to_string(number) + "/ " + std::to_string(total);
}

std::optional<PairFailure> ScanBothSides(RunStatistics& r, Messages& messages, const std::string& rootF1,
                                         const std::string& rootF2, int pair, int total, ScanResult& f1,
                                         ScanResult& f2) {
  const TargetTotals base{r.TreeFilesF2, r.TreeFoldersF2, r.TreeSizeF2};
  WorkerScanObserver worker(r.Lifecycle.StopFlag());
  TargetScan scan;
  try {
    scan.thread = std::thread([&] { scan.Run(rootF2, f2, worker); });
  } catch (const std::system_error&) {
    scan.done = true;  // no thread to be had: the target is scanned below, after the source
  }
  const bool threaded = scan.thread.joinable();
  struct Joiner {
    std::thread& t;
    WorkerScanObserver& w;
    ~Joiner() {
      if (!t.joinable()) return;
      w.abandoned = true;
      t.join();
    }
  } joiner{scan.thread, worker};

  try {
    SourceScanObserver source(r, messages.screen(), base, worker);
    f1 = ScanFolder(rootF1, source);
  } catch (const std::exception& e) {
    return PairFailure{rootF1, ReasonOf(e)};
  }

  r.CurrentFile.clear();
  base.Publish(r, worker);
  messages.screen().ShowRunLabels(r);
  r.ScanningF1 = false;
  r.ScanningF2 = true;
  messages.Yield();
  r.ActionText = ScanningText(messages, 2 * pair + 2, total);

  if (!threaded) {
    RunScanObserver target(r, messages.screen());
    scan.Run(rootF2, f2, target);
  } else {
    AwaitTarget(r, messages, scan, base, worker);
  }
  if (scan.failure) return PairFailure{rootF2, *scan.failure};
  return std::nullopt;
}

}  // namespace dd
