#include "plan/scan_observer.h"

#include "common/run_statistics.h"
#include "common/screen.h"

namespace dd {

void RunScanObserver::FolderFound() {
  RunStatistics& r = run_;
  if (r.ScanningF1) ++r.TreeFoldersF1;
  if (r.ScanningF2) ++r.TreeFoldersF2;
}

void RunScanObserver::FileFound(std::string_view folder, std::string_view name, int64_t size) {
  RunStatistics& r = run_;
  if (r.ScanningF1) {
    ++r.TreeFilesF1;
    r.TreeSizeF1 += size;
  }
  if (r.ScanningF2) {
    ++r.TreeFilesF2;
    r.TreeSizeF2 += size;
  }
  r.CurrentFile.assign(folder).append("\r\n").append(name);
}

void RunScanObserver::Yield() {
  BeforeYield();
  screen_.Yield();
}

bool RunScanObserver::StopRequested() {
  return run_.Lifecycle.StopRequested();
}

}  // namespace dd
