#include "apply/record_paths.h"

#include <string_view>

#include "apply/beneath.h"
#include "common/files.h"

namespace dd {

namespace {

std::string_view RootKey(std::string_view root) {
  while (!root.empty() && root.back() == kPathSeparator) root.remove_suffix(1);
  return root;
}

// The part of `path` below `root` (without trailing separator), or false.
bool Below(std::string_view root, std::string_view path, std::string_view& rel) {
  if (path.size() <= root.size() + 1 || path.compare(0, root.size(), root) != 0 || path[root.size()] != kPathSeparator)
    return false;
  rel = path.substr(root.size() + 1);
  return true;
}

bool FromPairs(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
               std::string_view pathF1, std::string_view pathF2, RecordPaths& out) {
  std::size_t best = std::string::npos, bestLength = 0;
  for (std::size_t i = 0; i < sources.size() && i < targets.size(); ++i) {
    const std::string_view r1 = RootKey(sources[i]), r2 = RootKey(targets[i]);
    std::string_view rel1, rel2;
    if (sources[i].empty() || targets[i].empty() || !Below(r1, pathF1, rel1) || !Below(r2, pathF2, rel2) ||
        rel1 != rel2)
      continue;
    if (best == std::string::npos || r1.size() + r2.size() > bestLength) {
      best = i;
      bestLength = r1.size() + r2.size();
      // Parts of the record's own paths, which begin with the roots.
      out.RootF1 = pathF1.substr(0, r1.size());
      out.RootF2 = pathF2.substr(0, r2.size());
      out.Rel = rel1;
      out.Pair = i;
    }
  }
  return best != std::string::npos;
}

}  // namespace

bool SplitMovePaths(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                    std::string_view pathF1, std::string_view pathF2, MovePaths& out) {
  std::size_t bestLength = 0;
  bool found = false;
  for (std::size_t i = 0; i < sources.size() && i < targets.size(); ++i) {
    const std::string_view r1 = RootKey(sources[i]), r2 = RootKey(targets[i]);
    std::string_view rel1, rel2;
    if (sources[i].empty() || targets[i].empty() || !Below(r1, pathF1, rel1) || !Below(r2, pathF2, rel2)) continue;
    if (found && r1.size() + r2.size() <= bestLength) continue;
    found = true;
    bestLength = r1.size() + r2.size();
    out = {pathF1.substr(0, r1.size()), pathF2.substr(0, r2.size()), rel1, rel2, i};
  }
  return found && IsPlainRelativePath(out.RelF1) && IsPlainRelativePath(out.RelF2);
}

bool SplitRecordPaths(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                      std::string_view pathF1, std::string_view pathF2, RecordPaths& out) {
  if (pathF1.empty() || pathF2.empty() || pathF1[0] != kPathSeparator || pathF2[0] != kPathSeparator) return false;
  return FromPairs(sources, targets, pathF1, pathF2, out) && IsPlainRelativePath(out.Rel);
}

}  // namespace dd
