// Checks that keep a pair from destroying what it should keep: roots that lie
// inside each other, and plans that would delete most of a tree.
#pragma once

#include <string>

#include "engine/comparison.h"

namespace dd {

class App;

// True when one root is the other or lies inside it, after links, "." and ".."
// and trailing separators are resolved. Roots that cannot be resolved do not overlap.
bool RootsOverlap(const std::string& rootF1, const std::string& rootF2);

// True when the plan deletes more than half of one side's files (and more than
// 10), or deletes anything while the source root is empty: an unmounted drive
// looks like an empty folder.
bool IsMassDeletion(const PairPlan& plan);

// Asks whether the deletions of pair `pair` may be planned; the safe answer is No.
bool ConfirmMassDeletion(App& app, const std::string& rootF1, const std::string& rootF2, const PairPlan& plan);

}  // namespace dd
