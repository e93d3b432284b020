#include "flows/watch_changes.h"

#include <sys/stat.h>

#include <cerrno>

#include "common/state.h"
#include "plan/comparison.h"

namespace dd {

namespace {

std::string Root(const std::string& root) {
  return !root.empty() && root.back() == '/' ? root.substr(0, root.size() - 1) : root;
}

}  // namespace

void ChangeLog::Merge(const ChangeLog& other) {
  Overflow = Overflow || other.Overflow;
  for (const auto& [pair, folders] : other.Pairs)
    for (const auto& [folder, changes] : folders) {
      FolderChanges& mine = Pairs[pair][folder];
      mine.Names.insert(changes.Names.begin(), changes.Names.end());
      mine.Deep = mine.Deep || changes.Deep;
    }
}

bool InStep(const std::string& rootF1, const std::string& rootF2, const std::string& relative,
            const JobOptions& options) {
  struct stat a {
  }, b{};
  const bool hasA = ::lstat((Root(rootF1) + relative).c_str(), &a) == 0;
  const int errorA = errno;
  const bool hasB = ::lstat((Root(rootF2) + relative).c_str(), &b) == 0;
  const int errorB = errno;
  if (!hasA || !hasB) return !hasA && !hasB && errorA == ENOENT && errorB == ENOENT;
  if (S_ISDIR(a.st_mode) || S_ISDIR(b.st_mode)) return S_ISDIR(a.st_mode) && S_ISDIR(b.st_mode);
  if (!S_ISREG(a.st_mode) || !S_ISREG(b.st_mode)) return false;
  return a.st_size == b.st_size && WithinTolerance(static_cast<double>(b.st_mtim.tv_sec - a.st_mtim.tv_sec), options);
}

ChangedPairs ChangesToCompare(const ChangeLog& log, const std::vector<std::string>& sources,
                              const std::vector<std::string>& targets, const JobOptions& options) {
  ChangedPairs changed;
  for (const auto& [pair, folders] : log.Pairs) {
    if (pair < 0 || static_cast<std::size_t>(pair) >= sources.size() ||
        static_cast<std::size_t>(pair) >= targets.size())
      continue;
    std::vector<ChangedFolder> compare;
    for (const auto& [folder, changes] : folders) {
      bool needed = changes.Deep;
      for (auto it = changes.Names.begin(); !needed && it != changes.Names.end(); ++it)
        needed = !InStep(sources[pair], targets[pair], folder + "/" + *it, options);
      if (needed) compare.push_back({folder, changes.Deep});
    }
    if (!compare.empty()) changed[pair] = std::move(compare);
  }
  return changed;
}

}  // namespace dd
