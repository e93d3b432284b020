// Comparison of one folder pair into operation records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dd {

class App;
struct JobOptions;
struct ScanResult;

// What the plan of one pair does to its two trees, for the mass-deletion guard,
// and the temporary copies of ours the scans came across.
struct PairPlan {
  int64_t FilesF1 = 0, FilesF2 = 0;                // files found on each side, at any depth
  int64_t DeletedFilesF1 = 0, DeletedFilesF2 = 0;  // of them planned for deletion
  int64_t DeletedItemsF1 = 0, DeletedItemsF2 = 0;  // deletions planned on each side, files and folders
  bool Complete = false;                           // the walk ran to its end (no stop)
  // Paths below each root of regular files named as our temporary copies.
  std::vector<std::string> TemporaryCopiesF1, TemporaryCopiesF2;
};

// Scans both roots, classifies every item and appends the planned operations
// to the operation list. `pair` is 0-based, `lastPair` the index of the last pair.
PairPlan ComparePair(App& app, const std::string& rootF1, const std::string& rootF2, int pair, int lastPair);

// Adds what the scans of a pair left out to the run statistics; the files found and the
// temporary copies (moved out of the scans) to `plan`.
void NoteScans(App& app, ScanResult& f1, ScanResult& f2, PairPlan& plan);

// Sorts the entries of both scans, classifies every item and appends the planned operations;
// counts the planned deletions in `plan`, and sets plan.Complete when the walk ran to its end.
void PlanScannedSides(App& app, const ScanResult& f1, const ScanResult& f2, PairPlan& plan);

// Whether two file times `delta` seconds apart count as the same, by the
// tolerance and the daylight-saving hour of the job options.
bool WithinTolerance(double delta, const JobOptions& options);

// The status of a file found on both sides, from its modification times (seconds) and sizes: the same size
// within the tolerance is "Identical"; otherwise, and always when the sizes differ, the later time decides,
// an exact tie going to F1.
std::string_view StatusOfBoth(int64_t modifiedF1, int64_t modifiedF2, int64_t sizeF1, int64_t sizeF2,
                              const JobOptions& options);

}  // namespace dd
