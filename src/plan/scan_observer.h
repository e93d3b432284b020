// What a folder scan reports while it runs: found items, its turns for the
// event loop and its question whether to stop.
#pragma once

#include <cstdint>
#include <string_view>

namespace dd {

class Screen;
struct RunStatistics;

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  virtual void FolderFound() {}
  // `folder` is the absolute folder path with its trailing separator.
  virtual void FileFound(std::string_view folder, std::string_view name, int64_t size) {
    (void)folder, (void)name, (void)size;
  }
  // Called after every 50th file of the scan.
  virtual void Yield() {}
  virtual bool StopRequested() { return false; }
};

// Keeps the tree statistics of the side being scanned (ScanningF1/ScanningF2)
// and the current item in the run statistics, and yields through the screen.
// For the main thread only.
class RunScanObserver : public ScanObserver {
 public:
  RunScanObserver(RunStatistics& run, Screen& screen) : run_(run), screen_(screen) {}
  void FolderFound() override;
  void FileFound(std::string_view folder, std::string_view name, int64_t size) override;
  void Yield() override;
  bool StopRequested() override;

 protected:
  // Runs before each turn of the event loop, so the labels see current values.
  virtual void BeforeYield() {}
  RunStatistics& run_;
  Screen& screen_;
};

}  // namespace dd
