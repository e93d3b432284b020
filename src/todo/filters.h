// Name filters that thin out the to-do list after a simulation, and the
// behaviour of their text boxes.
#pragma once

#include <string>
#include <vector>

#include "common/state.h"

namespace dd {

class Messages;

// Removes every record whose paths contain one of the lines of `text` (or, for a
// line holding * or ?, whose name or path below its root matches it); the
// text is normalised in place. Patterns take the paths below the job's roots; the
// case switch is the job option's. Saves the list (a failed write is shown).
// Returns the number removed.
int ExcludeFromToDoList(ToDoState& toDo, const JobState& job, const JobOptions& options, const ProgramFiles& files,
                        Messages& messages, std::string& text);
// Removes every record whose paths contain none of the lines of `text`.
int IncludeInToDoList(ToDoState& toDo, const JobState& job, const JobOptions& options, const ProgramFiles& files,
                      Messages& messages, std::string& text);

// The text a run passes for a filter: the box text when enabled and not the placeholder, else "".
std::string ExcludeTextForRun(const JobOptions& options);
std::string IncludeTextForRun(const JobOptions& options);

// Box behaviour, the same for both filter boxes.
enum class FilterBox { Exclude, Include };

// True when the box text is the placeholder (both compared normalised); never for an empty placeholder.
bool ShowsPlaceholder(const std::string& text, const std::string& placeholder);
// The box text after gaining the focus: a shown placeholder is emptied.
std::string FilterTextOnFocusGained(const std::string& text, const std::string& placeholder);
// The box text after losing the focus: normalised, and the placeholder when that leaves nothing.
std::string FilterTextOnFocusLost(const std::string& text, const std::string& placeholder);
// The box text after files were dropped on it: each file name followed by CR LF, appended in order.
std::string FilterTextWithDroppedFiles(const std::string& text, const std::string& placeholder,
                                       const std::vector<std::string>& paths);

// The same on the job options of one box.
void FilterBoxFocusGained(JobOptions& options, FilterBox box);
void FilterBoxFocusLost(JobOptions& options, FilterBox box);
// Appends the dropped names and switches the filter on.
void FilesDroppedOnFilterBox(JobOptions& options, FilterBox box, const std::vector<std::string>& paths);

}  // namespace dd
