// Checks that keep a pair from destroying what it should keep: roots that lie
// inside each other, and plans that would delete most of a tree.
#pragma once

#include <string>
#include <vector>

#include "plan/comparison.h"

namespace dd {

class Messages;
struct BackupModeDef;

// True when one root is the other or lies inside it, after links, "." and ".."
// and trailing separators are resolved. Roots that cannot be resolved do not overlap.
bool RootsOverlap(const std::string& rootF1, const std::string& rootF2);

// The pairs of a job (as "source TAB target" lines, CR LF between) of which a folder the pair may write
// is, holds or lies inside a folder of another pair; "" when there are none. A pair writes its target,
// and its source too when `mode` copies to or deletes in F1. Pairs that are not compared (a root that
// cannot be listed, or one root inside the other) write nothing and are left out.
std::string PairsOverlappingEachOther(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                                      const BackupModeDef& mode);

// True when the plan deletes more than half of one side's files (and more than
// 10), or deletes anything on one side while the other holds no file at any
// depth: an unmounted drive or a wiped tree looks like that.
bool IsMassDeletion(const PairPlan& plan);

// Asks whether the deletions of pair `pair` may be planned; the safe answer is No.
bool ConfirmMassDeletion(Messages& messages, const std::string& rootF1, const std::string& rootF2,
                         const PairPlan& plan);

}  // namespace dd
