// The scans of the two trees of a pair: the target on a worker thread, the
// source on the calling one, with the event loop served throughout.
#pragma once

#include <optional>
#include <string>

#include "plan/comparison.h"

namespace dd {

class Messages;
struct RunStatistics;
struct ScanResult;

// Scans both roots into f1 and f2; the tree statistics, the current item and the action text in `run`
// end as a scan of one side after the other leaves them. `pair` is 0-based, `total` the number of
// scans of the job. A scan that failed (no memory) gives its root and the reason.
std::optional<PairFailure> ScanBothSides(RunStatistics& run, Messages& messages, const std::string& rootF1,
                                         const std::string& rootF2, int pair, int total, ScanResult& f1,
                                         ScanResult& f2);

// "[Scanning folder]" with the number of the scan among `total`.
std::string ScanningText(const Messages& messages, int number, int total);

}  // namespace dd
