// Moves in the plan of one pair: the extra items the comparison meets, and
// the pairs of them that are one item moved, planned as one rename.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plan/comparison.h"
#include "plan/move_pairing.h"

namespace dd {

struct BackupModeDef;

class MovePlanner {
 public:
  // Moves are planned only where the mode copies an item of one side only to
  // the other side and deletes the items only on that other side: in F2 when
  // it copies to F2 and deletes in F2, in F1 when it copies to F1 and deletes in F1.
  explicit MovePlanner(const BackupModeDef& mode);

  bool Active() const { return copyCode_ != nullptr; }

  // Notes the extra item of `side` (0 F1, 1 F2) whose record, planned with `code`, is at `index` of the list.
  void Noted(int side, std::string_view code, std::string_view key, bool folder, int64_t size, int64_t modified,
             std::size_t index);

  // Puts one move record in the place of the copy and the deletion of each
  // pair of items that is one item moved, drops the records of what a moved
  // folder carries, and takes these deletions off `plan`'s counts.
  // `rootF1`, `rootF2` without a trailing separator.
  void Apply(std::vector<std::string>& toDo, std::string_view rootF1, std::string_view rootF2, PairPlan& plan,
             const SameFile& sameFile = {}) const;

 private:
  const char* copyCode_ = nullptr;    // the code of the item that stays where it is
  const char* deleteCode_ = nullptr;  // the code of the item that moves
  bool inF2_ = false;                 // the moving items are in F2
  std::vector<MoveCandidate> candidates_[2];
  std::vector<std::size_t> indices_[2];  // their records in the list
};

// Whether the files at two keys below the roots are the same file: their modification times agree to the
// nanosecond (the comparison sees whole seconds only, and two files written in one second with one size are
// common) and, when the job compares content, their bytes. Roots without a trailing separator.
SameFile MoveFileCheck(std::string_view rootF1, std::string_view rootF2);

}  // namespace dd
