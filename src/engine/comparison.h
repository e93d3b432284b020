// Comparison of one folder pair into operation records.
#pragma once

#include <string>

namespace dd {

class App;
struct JobOptions;

// Scans both roots, classifies every item and appends the planned operations
// to the operation list. `pair` is 0-based, `lastPair` the index of the last pair.
void SimulatePfade(App& app, const std::string& rootF1, const std::string& rootF2, int pair, int lastPair);

// Whether two file times `delta` seconds apart count as the same, by the
// tolerance and the daylight-saving hour of the job options.
bool WithinTolerance(double delta, const JobOptions& options);

}  // namespace dd
