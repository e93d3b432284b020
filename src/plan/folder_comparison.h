// Comparison of the folders of a pair that changed, instead of the whole trees:
// what a watch compares after a change.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "plan/comparison.h"

namespace dd {

struct ChangedFolder {
  std::string Path;   // below the root, as the scans hold it: "" the root, "/a/b"
  bool Deep = false;  // everything below it too, e.g. a folder moved in whole

  bool operator==(const ChangedFolder&) const = default;
};

// The pairs to compare (by 0-based index) and their changed folders. Pairs not named are left alone.
using ChangedPairs = std::map<int, std::vector<ChangedFolder>>;

// Compares only the entries of the changed folders on both sides. A subfolder found on one side
// only is listed with everything below it; a changed folder that is missing on a side is replaced
// by its nearest ancestor present on both. The root deep (or no folder at all) compares the whole pair.
PairPlan SimulateChangedFolders(const ComparisonContext& context, const std::string& rootF1, const std::string& rootF2,
                                int pair, int lastPair, const std::vector<ChangedFolder>& folders);

// The folders to list for `folders`: each present as a folder (not a link) on both sides, sorted,
// none inside a deep one. Exposed for the tests.
std::map<std::string, bool> FoldersToList(const std::string& rootF1, const std::string& rootF2,
                                          const std::vector<ChangedFolder>& folders);

}  // namespace dd
