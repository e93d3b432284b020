// The shared state of the current run: flags, tree statistics, pending and done
// counters, phase times and the texts the run labels show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/run_lifecycle.h"

namespace dd {

// The largest size a record may hold (4 EiB); byte sums stop there as well, so
// no sum of them can overflow.
inline constexpr int64_t kMaxRecordSize = int64_t{1} << 62;

// Skipped names are reported by path up to this many; the rest only counted.
inline constexpr std::size_t kSkippedPathsKept = 1000;
// Failed items are named up to this many; the rest are only counted (as failures).
inline constexpr std::size_t kFailedItemsKept = 10000;

// a + b for byte sums, held at kMaxRecordSize.
inline int64_t AddSize(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum) || sum > kMaxRecordSize) return kMaxRecordSize;
  return sum;
}

// A move renames an item within one tree: it is neither a deletion nor a copy.
enum class OpKind { Delete, Replace, New, Move };
enum class Side { F1, F2 };

struct PendingCount {
  int64_t Count = 0;
  int64_t Bytes = 0;
};

// Pending operations by kind and side; the totals are summed when asked, so
// they cannot drift from the cells.
class PendingTable {
 public:
  PendingCount& operator()(OpKind kind, Side side) { return cells_[Index(kind)][Index(side)]; }
  const PendingCount& operator()(OpKind kind, Side side) const { return cells_[Index(kind)][Index(side)]; }

  void Add(OpKind kind, Side side, int64_t bytes) {
    PendingCount& c = (*this)(kind, side);
    ++c.Count;
    c.Bytes = AddSize(c.Bytes, bytes);
  }
  // One operation of the kind done (or dropped).
  void Take(OpKind kind, Side side, int64_t bytes) {
    PendingCount& c = (*this)(kind, side);
    --c.Count;
    c.Bytes -= bytes;
  }
  int64_t Count(OpKind kind) const { return (*this)(kind, Side::F1).Count + (*this)(kind, Side::F2).Count; }
  int64_t Bytes(OpKind kind) const { return AddSize((*this)(kind, Side::F1).Bytes, (*this)(kind, Side::F2).Bytes); }
  int64_t Ops() const {
    return Count(OpKind::Delete) + Count(OpKind::Replace) + Count(OpKind::New) + Count(OpKind::Move);
  }
  void Clear() { *this = PendingTable(); }

 private:
  static int Index(OpKind kind) { return static_cast<int>(kind); }
  static int Index(Side side) { return static_cast<int>(side); }
  PendingCount cells_[4][2];
};

// Files that size and time called the same, compared by content in the simulation.
struct ContentComparisonCounts {
  int64_t Files = 0, Differing = 0;
  int64_t Unreadable = 0;  // could not be read (or changed meanwhile): left to size and time
  int64_t BytesRead = 0;   // of both copies
};

// Copies read back after writing and compared with their source in the execution.
struct VerifyCounts {
  int64_t Files = 0, Mismatches = 0;
  int64_t BytesRead = 0;  // of sources and copies
};

struct RunStatistics {
  // Whether a run may start, what runs, and the stop request.
  RunLifecycle Lifecycle;
  bool ScanningF1 = false;
  bool ScanningF2 = false;

  // Tree statistics of the simulation (and kept current by the execution).
  int64_t TreeFoldersF1 = 0, TreeFoldersF2 = 0;
  int64_t TreeFilesF1 = 0, TreeFilesF2 = 0;
  int64_t TreeSizeF1 = 0, TreeSizeF2 = 0;
  bool TreeStatisticsValid = false;

  // Items left out of the comparison because their name holds a TAB, CR, LF or NUL,
  // which the record formats cannot carry, and the paths of the first kSkippedPathsKept.
  int64_t SkippedNames = 0;
  std::vector<std::string> SkippedPaths;
  // Our own temporary copies and the trash folders at a root, never compared.
  int64_t OwnEntriesLeftOut = 0;
  // Folders that could not be listed: nothing below them is planned on either side.
  int64_t UnlistedFolders = 0;
  // Pairs left out of the plan: one root inside the other, or a mass deletion the user refused.
  int64_t OverlappingPairs = 0;
  int64_t RefusedPairs = 0;

  ContentComparisonCounts Compared;
  VerifyCounts Verified;

  // Pending operations by kind and side (counted from the to-do list, taken
  // down by the execution), and their number at the last count.
  PendingTable Pending;
  int64_t PendingOpsAtCount = 0;
  int64_t PendingOps() const { return Pending.Ops(); }

  // Done by the execution.
  int64_t DeletedCount = 0, ReplacedCount = 0, NewCount = 0;
  int64_t DeletedBytes = 0, ReplacedBytes = 0, NewBytes = 0;
  // Moves done, and of them those done as a copy and a deletion (the rename was not possible).
  int64_t MovedCount = 0, MovedBytes = 0, MovedByCopy = 0;

  // Phase start times in monotonic seconds; 0 = not begun.
  double ExecutionStartTime = 0, FirstDeleteTime = 0, FirstNewTime = 0, FirstReplaceTime = 0;

  // Items of the last execution left alone because they changed since the
  // simulation (or a link now stands in their path).
  std::vector<std::string> ChangedItems;
  // Other failed items worth naming: the text key of the reason and the item.
  struct NamedFailure {
    std::string reasonKey;
    std::string path;
  };
  std::vector<NamedFailure> NamedFailures;
  // Every item of the last execution that was not carried out (the first kFailedItemsKept): the operation
  // ("delete in F2", "new in F1", "replace in F2"), the item and the reason, the system's error text or the
  // language text of the program's own.
  struct FailedItem {
    std::string operation;
    std::string path;
    std::string reason;
  };
  std::vector<FailedItem> FailedItems;

  // Display texts.
  std::string ActionText;
  std::string CurrentFile;
  std::string CurrentSizeText;
  std::optional<OpKind> LastOperationKind;
};

}  // namespace dd
