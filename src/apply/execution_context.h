// The parts of the program's state an execution reads and changes.
#pragma once

#include "common/messages.h"
#include "common/run_statistics.h"
#include "common/state.h"
#include "common/trash.h"

namespace dd {

// The owner of the state hands these in; the execution keeps none of them.
struct ExecutionContext {
  ToDoState& toDo;            // the list carried out, emptied record by record
  RunStatistics& run;         // counts, failures and the run's lifecycle
  RateState& rates;           // for the estimate, saved at the end
  const JobState& job;        // the pairs the run may act in
  const JobOptions& options;  // tolerance, trash, verifying
  const ProgramFiles& files;  // where the list and the rates are written
  Trash* trash;               // none: the trash option fails those operations
  Messages& messages;         // the screen and the texts
};

}  // namespace dd
