// What a watch saw change, and which of it a run must compare.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "plan/folder_comparison.h"

namespace dd {

struct JobOptions;

struct FolderChanges {
  std::set<std::string> Names;  // entries of the folder that events named
  bool Deep = false;            // the folder came in whole (moved in): compare all below it
};

struct ChangeLog {
  bool Overflow = false;  // events were lost: only a comparison of everything is sure
  // Pair index -> folder below the root ("" the root, "/a/b") -> what changed in it.
  std::map<int, std::map<std::string, FolderChanges>> Pairs;

  bool Empty() const { return !Overflow && Pairs.empty(); }
  void Merge(const ChangeLog& other);
};

// True when the entry `relative` (below both roots) is the same on both sides: missing on both,
// a folder on both, or files of one size whose times count as equal. A change that leaves an
// entry so, the run's own copies among them, gives a run nothing to do.
bool InStep(const std::string& rootF1, const std::string& rootF2, const std::string& relative,
            const JobOptions& options);

// The folders a run compares: of every changed folder, those with an entry not in step, and the
// deep ones. Pairs left with nothing are not named.
ChangedPairs ChangesToCompare(const ChangeLog& log, const std::vector<std::string>& sources,
                              const std::vector<std::string>& targets, const JobOptions& options);

}  // namespace dd
