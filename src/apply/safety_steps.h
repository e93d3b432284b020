// The safety steps of an execution. They are always on; only a benchmark build
// can leave single ones out, to measure what each of them costs.
#pragma once

namespace dd {

struct SafetySteps {
  bool recheck = true;  // each item is checked against what the simulation planned
  bool flush = true;    // copies are on the disk before they get their names
  bool beneath = true;  // paths are resolved below the pair's root without following links
};

// In a benchmark build, DUALDOCK_BENCH_OFF lists the steps left out
// ("recheck,flush,beneath"); everywhere else all are on.
const SafetySteps& ActiveSafetySteps();

}  // namespace dd
