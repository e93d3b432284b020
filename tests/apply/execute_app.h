// Runs an execution over the whole state of a test's application.
#pragma once

#include "apply/execute_sub.h"
#include "common/app.h"

namespace dd {

inline ExecutionContext ContextOf(App& app) {
  return {app.ToDo, app.Run, app.Rates, app.Job, app.Options, app.Files, app.trash, app.messages};
}

inline RunResult ExecuteList(App& app) {
  ExecutionContext context = ContextOf(app);
  return ExecuteSub(context);
}

}  // namespace dd
