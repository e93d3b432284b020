// The to-do list: records, statistics and its file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/run_statistics.h"
#include "common/state.h"
#include "todo/op_record.h"

namespace dd {

class Screen;

// True when the record parses as an OpRecord, its operation text is the one of
// its code, and it holds no NUL, CR or LF (a path cut at a NUL byte would name another file).
bool IsSoundRecord(std::string_view record);

// The 19-character operation text of a code, "" for "= =" and unknown codes.
std::string_view OpTextOf(std::string_view code);
// The operation text of a move's code ("Move in F1         ", ...), "" for any other code.
std::string_view MoveTextOf(std::string_view code);

// Appends the record of one classified item, unless the code plans nothing.
void AppendToDoRecord(std::vector<std::string>& toDoList, std::string_view status, std::string_view code,
                      std::string_view pathF1, std::string_view pathF2, int64_t sizeF1, int64_t sizeF2);
// The same for an item at `below` under the roots of a pair (pathF1 = rootF1 + below), built in place.
void AppendToDoRecord(std::vector<std::string>& toDoList, std::string_view status, std::string_view code,
                      std::string_view rootF1, std::string_view rootF2, std::string_view below, int64_t sizeF1,
                      int64_t sizeF2);

// Recomputes every pending-operation statistic from the list.
void CountOperations(const std::vector<std::string>& toDoList, RunStatistics& run);

// Drops empty records, rebuilds the rows, and writes the list to `path`, or to
// the list file when `path` is empty. Returns false when the file could not be written.
[[nodiscard]] bool SaveToDoList(ToDoState& toDo, const ProgramFiles& files, Screen& screen,
                                const std::string& path = {});

// Sorts the list and writes it to the list file. False when it could not be written.
[[nodiscard]] bool SortExecutionFile(ToDoState& toDo, const ProgramFiles& files);

// Writes the non-empty records to the list file as they stand, rows untouched
// (a sorted view keeps its order). False when the file could not be written.
[[nodiscard]] bool WriteToDoFile(const ToDoState& toDo, const ProgramFiles& files);

// What is at the path now (lstat), as a stamp to compare.
FileStamp StampOfFile(const std::string& path);
// Notes the list file as this process has just read or written it.
void RememberListFile(ToDoState& toDo, const ProgramFiles& files);

// Rebuilds the rows (one per non-empty seven-field record, in record order) and tells the screen.
void RebuildToDoRows(ToDoState& toDo, Screen& screen);

// Removes row `position`: empties its record and tells the screen.
void RemoveToDoRow(ToDoState& toDo, Screen& screen, std::size_t position);

}  // namespace dd
