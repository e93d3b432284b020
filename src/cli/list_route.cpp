#include "cli/list_route.h"

#include "common/app.h"
#include "common/files.h"
#include "todo/list_plan.h"
#include "todo/todo_list.h"

namespace dd::cli {

std::string RefusalToExecute(const App& app, const std::string& jobFile) {
  RunStatistics pending;
  CountOperations(app.ToDo.ToDoList, pending);
  if (pending.PendingOpsAtCount == 0) return {};
  const ListPlan& plan = app.ToDo.Plan;
  if (!plan.Known)
    return "the pending list has no record of the job that planned it (\"To Do Plan.txt\"); run simulate JOB again";
  if (jobFile.empty()) return {};
  const std::string job = ResolvedPath(jobFile);
  if (job != plan.JobFile)
    return "the pending list was planned by the job " + plan.JobFile + ", not by " + jobFile +
           "; run simulate with this job first";
  return {};
}

}  // namespace dd::cli
