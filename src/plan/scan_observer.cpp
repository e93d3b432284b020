#include "plan/scan_observer.h"

#include "common/app.h"

namespace dd {

void AppScanObserver::FolderFound() {
  RunStatistics& r = app_.Run;
  if (r.ScanningF1) ++r.TreeFoldersF1;
  if (r.ScanningF2) ++r.TreeFoldersF2;
}

void AppScanObserver::FileFound(std::string_view folder, std::string_view name, int64_t size) {
  RunStatistics& r = app_.Run;
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

void AppScanObserver::Yield() {
  BeforeYield();
  app_.Yield();
}

bool AppScanObserver::StopRequested() {
  return app_.Run.Lifecycle.StopRequested();
}

}  // namespace dd
