// Where an execution may act and by which options: the pairs of the job that
// runs it, with their roots as resolved when the list was planned.
#pragma once

#include <string>
#include <vector>

#include "common/state.h"

namespace dd {

struct ExecutionScope {
  // Pair i: the roots as the job names them (the records' paths begin with them) and the folders opened for them.
  std::vector<std::string> Sources, Targets;
  std::vector<std::string> OpenSources, OpenTargets;
  JobOptions Options;  // tolerance, daylight saving and the trash of the run
};

// The loaded job's pairs and options. A pair that the plan record lists is
// opened at the folder it resolved to when the list was planned, any other at
// the folder it resolves to now. A job without pairs (the command line without
// a job, a window just started) runs the pairs and options of the record.
ExecutionScope ScopeOfExecution(const JobState& job, const JobOptions& options, const ListPlan& plan);

}  // namespace dd
