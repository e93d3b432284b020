// Which pair a record belongs to, and where below its roots it points.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dd {

// Parts of the record's two paths: they live as long as the paths do.
struct RecordPaths {
  std::string_view RootF1, RootF2;  // without a trailing separator ("" for "/")
  std::string_view Rel;             // the same below both roots, a plain relative path
  std::size_t Pair = 0;             // the pair whose roots hold the paths
};

// Splits the two paths of a record into the roots of a pair and the part below
// them: the pair whose roots hold both paths (the longest roots when several
// do). False when no pair holds the paths or the part below is not a plain path.
bool SplitRecordPaths(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                      std::string_view pathF1, std::string_view pathF2, RecordPaths& out);

// The two paths of a move record: the item where it is in F1 and where it is
// in F2, below the roots of one pair, each part below a plain path (they differ).
struct MovePaths {
  std::string_view RootF1, RootF2;
  std::string_view RelF1, RelF2;
  std::size_t Pair = 0;
};

// As SplitRecordPaths, for a move: the pair with the longest roots that hold both paths.
bool SplitMovePaths(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                    std::string_view pathF1, std::string_view pathF2, MovePaths& out);

}  // namespace dd
