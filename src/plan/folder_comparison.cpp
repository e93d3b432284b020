#include "plan/folder_comparison.h"

#include <dirent.h>
#include <sys/stat.h>

#include <unordered_map>

#include "common/clock.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/run_statistics.h"
#include "plan/scan_observer.h"
#include "plan/scanner.h"

namespace dd {

namespace {

std::string WithoutTrailingSeparator(std::string root) {
  if (!root.empty() && root.back() == '/') root.pop_back();
  return root;
}

bool IsRealFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Inside(const std::string& path, const std::string& folder) {
  return folder.empty()
             ? !path.empty()
             : path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// A root that holds something is mounted and not wiped.
bool HoldsEntries(const std::string& root) {
  DIR* dir = ::opendir(root.empty() ? "/" : root.c_str());
  if (!dir) return false;
  bool any = false;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") {
      any = true;
      break;
    }
  }
  ::closedir(dir);
  return any;
}

// One side of the pair, listed folder by folder.
class SideLister {
 public:
  SideLister(const std::string& root, ScanResult& result, ScanObserver& observer)
      : result_(result), observer_(observer), utcOffset_(CurrentUtcOffset()) {
    result_.Root = root;
  }

  // Lists a changed folder: its entries, or everything below it when deep.
  void List(const std::string& path, bool deep) {
    const uint32_t index = IndexOf(path);
    if (deep) {
      ScanDir(result_.Root + path, index, result_, observer_, utcOffset_);
      return;
    }
    std::vector<uint32_t> found;
    ListDir(result_.Root + path, index, result_, observer_, utcOffset_, found);
    for (uint32_t sub : found) {
      known_.emplace(result_.Folders[sub], sub);
      listedSubfolders_.push_back(sub);
    }
  }

  bool Knows(const std::string& path) const { return known_.count(path) > 0; }

  // Lists in whole every subfolder found here and not on `other`: the comparison sees all of it as extra.
  void ListOneSided(const SideLister& other) {
    for (uint32_t sub : listedSubfolders_) {
      if (observer_.StopRequested()) return;
      const std::string& path = result_.Folders[sub];
      if (!other.Knows(path)) ScanDir(result_.Root + path, sub, result_, observer_, utcOffset_);
    }
  }

 private:
  uint32_t IndexOf(const std::string& path) {
    if (path.empty()) return 0;
    auto it = known_.find(path);
    if (it != known_.end()) return it->second;
    const auto index = static_cast<uint32_t>(result_.Folders.size());
    result_.Folders.push_back(path);
    known_.emplace(path, index);
    return index;
  }

  ScanResult& result_;
  ScanObserver& observer_;
  int64_t utcOffset_;
  std::unordered_map<std::string, uint32_t> known_;
  std::vector<uint32_t> listedSubfolders_;
};

}  // namespace

std::map<std::string, bool> FoldersToList(const std::string& rootF1, const std::string& rootF2,
                                          const std::vector<ChangedFolder>& folders) {
  const std::string r1 = WithoutTrailingSeparator(rootF1), r2 = WithoutTrailingSeparator(rootF2);
  std::map<std::string, bool> chosen;
  for (const ChangedFolder& changed : folders) {
    std::string path = changed.Path;
    bool deep = changed.Deep;
    // A folder on one side only is seen as extra from its parent, which lists it whole.
    while (!path.empty() && !(IsRealFolder(r1 + path) && IsRealFolder(r2 + path))) {
      path = FolderBelowRoot(path);
      deep = false;
    }
    chosen[path] = chosen[path] || deep;
  }
  for (auto it = chosen.begin(); it != chosen.end();) {
    bool covered = false;
    for (const auto& [folder, deep] : chosen)
      if (deep && Inside(it->first, folder)) covered = true;
    it = covered ? chosen.erase(it) : std::next(it);
  }
  return chosen;
}

PairPlan SimulateChangedFolders(const ComparisonContext& context, const std::string& rootF1, const std::string& rootF2,
                                int pair, int lastPair, const std::vector<ChangedFolder>& folders) {
  const std::map<std::string, bool> chosen = FoldersToList(rootF1, rootF2, folders);
  const auto root = chosen.find(std::string());
  if (chosen.empty() || (root != chosen.end() && root->second))
    return ComparePair(context, rootF1, rootF2, pair, lastPair);

  RunStatistics& r = context.run;
  RunScanObserver observer(r, context.messages.screen());
  ScanResult f1, f2;
  SideLister side1(WithoutTrailingSeparator(rootF1), f1, observer);
  SideLister side2(WithoutTrailingSeparator(rootF2), f2, observer);
  r.ScanningF1 = true;
  for (const auto& [path, deep] : chosen) side1.List(path, deep);
  r.ScanningF1 = false;
  r.ScanningF2 = true;
  for (const auto& [path, deep] : chosen) side2.List(path, deep);
  r.ScanningF2 = false;
  // Which subfolders are on one side only is known once both sides are listed.
  r.ScanningF1 = true;
  side1.ListOneSided(side2);
  r.ScanningF1 = false;
  r.ScanningF2 = true;
  side2.ListOneSided(side1);
  r.ScanningF2 = false;

  PairPlan plan;
  NoteScans(r, f1, f2, plan);
  // The guard's "the other side holds no file" cannot be judged from a few folders: a side whose
  // root holds anything counts as holding a file.
  if (plan.FilesF1 == 0 && HoldsEntries(f1.Root)) plan.FilesF1 = 1;
  if (plan.FilesF2 == 0 && HoldsEntries(f2.Root)) plan.FilesF2 = 1;
  if (r.Lifecycle.StopRequested()) return plan;
  PlanScannedSides(context, f1, f2, plan);
  return plan;
}

}  // namespace dd
