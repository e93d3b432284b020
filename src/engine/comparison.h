// Comparison of one folder pair into operation records.
#pragma once

#include <cstdint>
#include <string>

namespace dd {

class App;
struct JobOptions;

// What the plan of one pair does to its two trees, for the mass-deletion guard.
struct PairPlan {
  int64_t FilesF1 = 0, FilesF2 = 0;                // files found on each side
  int64_t DeletedFilesF1 = 0, DeletedFilesF2 = 0;  // of them planned for deletion
  int64_t DeletedItems = 0;                        // deletions planned, files and folders
  bool EmptyF1 = false, EmptyF2 = false;           // the root holds nothing at all
  bool Complete = false;                           // the walk ran to its end (no stop)
};

// Scans both roots, classifies every item and appends the planned operations
// to the operation list. `pair` is 0-based, `lastPair` the index of the last pair.
PairPlan SimulatePfade(App& app, const std::string& rootF1, const std::string& rootF2, int pair, int lastPair);

// Whether two file times `delta` seconds apart count as the same, by the
// tolerance and the daylight-saving hour of the job options.
bool WithinTolerance(double delta, const JobOptions& options);

}  // namespace dd
