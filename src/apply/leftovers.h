// Temporary copies left behind by a run that was killed before it could name them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dd {

// Removes those of `paths` (below `root`, as the scan found them) that are
// regular files named as our temporary copies of a process that is gone.
// Everything is reached from a handle of the root, never through a link.
// Returns the number removed.
int64_t RemoveDeadTemporaryCopies(const std::string& root, const std::vector<std::string>& paths);

}  // namespace dd
