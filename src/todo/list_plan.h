// "To Do Plan.txt": which job planned the pending list, beside the list in the
// program folder. Lines of TAB-separated fields, CR LF between them:
//   Job <job file> / PlannedAtNs <ns> / Mode <five codes> / TimeTolerance <s> /
//   DaylightSaving 0|1 / DeletedToTrash 0|1 / [CompareContent 1] / [VerifyCopies 1] / Pair <source> <target> <resolved
//   source> <resolved target> ...
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/state.h"

namespace dd {

// The record's text; "" when a path cannot be kept in it (a TAB, a line break, a NUL).
std::string FormatListPlan(const ListPlan& plan, int64_t plannedAtNs);
// The record of a text, Known set; nullopt when it is damaged.
std::optional<ListPlan> ParseListPlan(std::string_view text, int64_t& plannedAtNs);

// The current job as a plan: its file, its pairs with the roots resolved now, its mode and options.
ListPlan PlanOfCurrentJob(const JobState& job, const BackupModeDef& mode, const JobOptions& options);

// Writes toDo.Plan with toDo.PlannedAtNs. False when it could not be written.
[[nodiscard]] bool WriteListPlan(const ToDoState& toDo, const ProgramFiles& files);
// Reads the record into toDo.Plan and PlannedAtNs; without a readable record the plan is unknown and the time 0.
void ReadListPlan(ToDoState& toDo, const ProgramFiles& files);
// Removes the record (the plan becomes unknown). False when it is still there.
[[nodiscard]] bool RemoveListPlan(ToDoState& toDo, const ProgramFiles& files);

}  // namespace dd
