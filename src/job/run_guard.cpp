#include "job/run_guard.h"

#include "common/app.h"
#include "flows/execute_flow.h"

namespace dd {

bool RefusedDuringRun(App& app) {
  if (!app.Run.Lifecycle.Active()) return false;
  AbortQuestion(app);
  return true;
}

}  // namespace dd
