// The walk of one execution over the pending records.
#pragma once

#include "apply/execution_context.h"

namespace dd {

// Attempts every pending operation once: file deletions in list order, then
// moves, then folder deletions deepest first, then copies in list order. Every
// path is resolved below its pair's root without following a link, and every
// item is checked against what the simulation planned before anything is
// overwritten or deleted. Carried-out records are emptied; returns the number
// of failures.
int RunExecutionWalk(ExecutionContext& context);

}  // namespace dd
