#include "todo/todo_list.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/files.h"
#include "common/screen.h"
#include "common/sort.h"
#include "common/text.h"
#include "todo/backup_mode.h"
#include "todo/record_texts.h"

namespace dd {

bool IsSoundRecord(std::string_view record) {
  if (record.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return false;
  const std::optional<OpRecordView> r = OpRecordView::Parse(record);
  // The count goes by the code and the execution by the text: they must name the same operation.
  return r && !r->OpText.empty() && (OpTextOf(r->Code) == r->OpText || MoveTextOf(r->Code) == r->OpText);
}

std::string_view MoveTextOf(std::string_view code) {
  if (code == kMoveInSource) return kOpMoveInF1;
  if (code == kMoveInTarget) return kOpMoveInF2;
  return {};
}

std::string_view OpTextOf(std::string_view code) {
  if (code == kCopyToTarget) return kOpCopyToF2;
  if (code == kCopyToSource) return kOpCopyToF1;
  if (code == kDeleteInTarget) return kOpDeleteInF2;
  if (code == kDeleteInSource) return kOpDeleteInF1;
  return {};
}

void AppendToDoRecord(std::vector<std::string>& toDoList, std::string_view status, std::string_view code,
                      std::string_view pathF1, std::string_view pathF2, int64_t sizeF1, int64_t sizeF2) {
  const std::string_view opText = OpTextOf(code);
  if (opText.empty()) return;
  toDoList.push_back(OpRecord::Format(opText, code, status, {pathF1, {}}, {pathF2, {}}, sizeF1, sizeF2));
}

void AppendToDoRecord(std::vector<std::string>& toDoList, std::string_view status, std::string_view code,
                      std::string_view rootF1, std::string_view rootF2, std::string_view below, int64_t sizeF1,
                      int64_t sizeF2) {
  const std::string_view opText = OpTextOf(code);
  if (opText.empty()) return;
  toDoList.push_back(OpRecord::Format(opText, code, status, {rootF1, below}, {rootF2, below}, sizeF1, sizeF2));
}

void CountOperations(const std::vector<std::string>& toDoList, RunStatistics& run) {
  PendingTable pending;
  for (const std::string& line : toDoList) {
    // A damaged size leaves the record out, like a wrong number of fields.
    const std::optional<OpRecordView> record = OpRecordView::Parse(line);
    if (!record) continue;
    if (record->Code == kDeleteInSource) {
      pending.Add(OpKind::Delete, Side::F1, record->SizeF1);
    } else if (record->Code == kDeleteInTarget) {
      pending.Add(OpKind::Delete, Side::F2, record->SizeF2);
    } else if (record->Code == kCopyToTarget) {
      pending.Add(record->Status == kStatusExtraInF1 ? OpKind::New : OpKind::Replace, Side::F2, record->SizeF1);
    } else if (record->Code == kCopyToSource) {
      pending.Add(record->Status == kStatusExtraInF2 ? OpKind::New : OpKind::Replace, Side::F1, record->SizeF2);
    } else if (record->Code == kMoveInSource) {
      pending.Add(OpKind::Move, Side::F1, record->SizeF1);
    } else if (record->Code == kMoveInTarget) {
      pending.Add(OpKind::Move, Side::F2, record->SizeF2);
    }
  }
  run.Pending = pending;
  run.PendingOpsAtCount = pending.Ops();
}

namespace {

// The list file's text: the non-empty records.
std::string ListFileText(const std::vector<std::string>& list) {
  // After a complete run every record is blank: nothing to join and normalise.
  const bool blank = std::all_of(list.begin(), list.end(), [](const std::string& r) { return r.empty(); });
  return blank ? std::string() : NormaliseList(Join(list, kCrLf));
}

}  // namespace

bool WriteToDoFile(const ToDoState& toDo, const ProgramFiles& files) {
  return WriteTextFile(ListFileText(toDo.ToDoList), files.ToDoFilePath);
}

bool SaveToDoList(ToDoState& toDo, const ProgramFiles& files, Screen& screen, const std::string& path) {
  std::string text = ListFileText(toDo.ToDoList);
  toDo.ToDoList = Split(text, kCrLf);
  // Dropping the empty records renumbers the rest: rows must not point at the old numbers.
  RebuildToDoRows(toDo, screen);
  const bool written = WriteTextFile(text, path.empty() ? files.ToDoFilePath : path);
  if (path.empty()) RememberListFile(toDo, files);
  return written;
}

bool SortExecutionFile(ToDoState& toDo, const ProgramFiles& files) {
  SortList(toDo.ToDoList);
  const bool written = WriteListFile(toDo.ToDoList, files.ToDoFilePath, kCrLf);
  RememberListFile(toDo, files);
  return written;
}

FileStamp StampOfFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {};
  constexpr int64_t kNs = 1000000000;
  return {true,
          static_cast<uint64_t>(st.st_dev),
          static_cast<uint64_t>(st.st_ino),
          static_cast<int64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * kNs + st.st_mtim.tv_nsec,
          static_cast<int64_t>(st.st_ctim.tv_sec) * kNs + st.st_ctim.tv_nsec};
}

void RememberListFile(ToDoState& toDo, const ProgramFiles& files) {
  toDo.ListFile = StampOfFile(files.ToDoFilePath);
}

void RebuildToDoRows(ToDoState& toDo, Screen& screen) {
  auto& rows = toDo.Rows;
  rows.clear();
  const std::vector<std::string>& list = toDo.ToDoList;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (!list[i].empty() && CountTabFields(list[i]) == 7) rows.push_back(static_cast<int64_t>(i));
  screen.ToDoRowsRebuilt();
}

void RemoveToDoRow(ToDoState& toDo, Screen& screen, std::size_t position) {
  auto& rows = toDo.Rows;
  if (position >= rows.size()) return;
  int64_t index = rows[position];
  if (index >= 0 && static_cast<std::size_t>(index) < toDo.ToDoList.size())
    toDo.ToDoList[static_cast<std::size_t>(index)].clear();
  screen.ToDoRowAboutToBeRemoved(static_cast<int>(position));
  rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(position));
  screen.ToDoRowRemoved(static_cast<int>(position));
}

}  // namespace dd
