// Comparison of one folder pair into operation records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plan/classification.h"
#include "plan/sorted_entries.h"

namespace dd {

class Messages;
struct BackupModeDef;
struct JobOptions;
struct ProgramFiles;
struct RunStatistics;
struct ScanResult;

// Why a pair could not be compared: the root whose tree failed and the reason.
struct PairFailure {
  std::string Folder;
  std::string Reason;
};

// What the plan of one pair does to its two trees, for the mass-deletion guard,
// and the temporary copies of ours the scans came across.
struct PairPlan {
  int64_t FilesF1 = 0, FilesF2 = 0;                // files found on each side, at any depth
  int64_t DeletedFilesF1 = 0, DeletedFilesF2 = 0;  // of them planned for deletion
  int64_t DeletedItemsF1 = 0, DeletedItemsF2 = 0;  // deletions planned on each side, files and folders
  bool Complete = false;                           // the walk ran to its end (no stop)
  // Paths below each root of regular files named as our temporary copies.
  std::vector<std::string> TemporaryCopiesF1, TemporaryCopiesF2;
  // Set when the pair could not be compared; none of its records were appended then.
  std::optional<PairFailure> Failure;
};

// What the comparison of a pair reads and writes besides its roots.
struct ComparisonContext {
  const JobOptions& options;       // tolerance, daylight saving, content, the sorted dump
  const BackupModeDef& mode;       // read for every item: an edit during the walk counts from the next item on
  const ProgramFiles& files;       // where the sorted dump goes
  std::vector<std::string>& toDo;  // the records are appended here
  RunStatistics& run;              // tree statistics, the labels' texts, the stop request
  Messages& messages;              // texts, the run labels and the turns of the event loop
  std::size_t entryLimit = kMaxEntriesPerTree;  // files, and folders, a tree may hold; lower only in tests
};

// Scans both roots, classifies every item and appends the planned operations
// to the to-do list. `pair` is 0-based, `lastPair` the index of the last pair.
PairPlan ComparePair(const ComparisonContext& context, const std::string& rootF1, const std::string& rootF2, int pair,
                     int lastPair);

// Adds what the scans of a pair left out to the run statistics; the files found and the
// temporary copies (moved out of the scans) to `plan`.
void NoteScans(RunStatistics& run, ScanResult& f1, ScanResult& f2, PairPlan& plan);

// Sorts the entries of both scans, classifies every item and appends the planned operations;
// counts the planned deletions in `plan`, and sets plan.Complete when the walk ran to its end.
// A tree too large to sort sets plan.Failure and plans nothing.
void PlanScannedSides(const ComparisonContext& context, const ScanResult& f1, const ScanResult& f2, PairPlan& plan);

}  // namespace dd
