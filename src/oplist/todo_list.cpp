#include "oplist/todo_list.h"

#include <charconv>

#include "app/app.h"
#include "common/files.h"
#include "common/text.h"
#include "oplist/backup_mode.h"
#include "oplist/record_texts.h"

namespace dd {

namespace {

// Splits a record into its seven fields; false when it is empty or has another number of fields.
bool SplitRecord(std::string_view record, std::string_view (&fields)[7]) {
  if (record.empty()) return false;
  std::size_t n = 0, start = 0;
  for (std::size_t i = 0; i <= record.size(); ++i) {
    if (i == record.size() || record[i] == kTab) {
      if (n == 7) return false;
      fields[n++] = record.substr(start, i - start);
      start = i + 1;
    }
  }
  return n == 7;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<int64_t> SizeOfField(std::string_view field) {
  if (field.empty()) return 0;
  const char first = field.front();
  // No number at all counts 0; something that starts like a number must be a plain one.
  if (!IsDigit(first) && first != '+' && first != '-' && first != '.' && first != ' ') return 0;
  int64_t value = 0;
  auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (!IsDigit(first) || ec != std::errc() || ptr != field.data() + field.size() || value > kMaxRecordSize)
    return std::nullopt;
  return value;
}

bool IsSoundRecord(std::string_view record) {
  std::string_view f[7];
  if (!SplitRecord(record, f)) return false;
  if (record.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return false;
  return SizeOfField(f[5]) && SizeOfField(f[6]);
}

int64_t AddSize(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum) || sum > kMaxRecordSize) return kMaxRecordSize;
  return sum;
}

std::string OpTextForCode(const std::string& code) {
  if (code == kCopyToTarget) return std::string(kOpCopyToF2);
  if (code == kCopyToSource) return std::string(kOpCopyToF1);
  if (code == kDeleteInTarget) return std::string(kOpDeleteInF2);
  if (code == kDeleteInSource) return std::string(kOpDeleteInF1);
  return {};
}

void inToDoListeSpeichern(std::vector<std::string>& toDoList, const std::string& status, const std::string& code,
                          const std::string& pathF1, const std::string& pathF2, int64_t sizeF1, int64_t sizeF2) {
  std::string opText = OpTextForCode(code);
  if (opText.empty()) return;
  std::string record;
  record.reserve(opText.size() + code.size() + status.size() + pathF1.size() + pathF2.size() + 48);
  record += opText;
  record += kTab;
  record += code;
  record += kTab;
  record += status;
  record += kTab;
  record += pathF1;
  record += kTab;
  record += pathF2;
  record += kTab;
  record += std::to_string(sizeF1);
  record += kTab;
  record += std::to_string(sizeF2);
  toDoList.push_back(std::move(record));
}

void CountOperations(const std::vector<std::string>& toDoList, RunStatistics& run) {
  int64_t deleteF1 = 0, deleteF2 = 0, newF1 = 0, newF2 = 0, replaceF1 = 0, replaceF2 = 0;
  int64_t deleteSizeF1 = 0, deleteSizeF2 = 0, newSizeF1 = 0, newSizeF2 = 0, replaceSizeF1 = 0, replaceSizeF2 = 0;
  std::string_view f[7];
  for (const std::string& record : toDoList) {
    if (!SplitRecord(record, f)) continue;
    const std::optional<int64_t> size1 = SizeOfField(f[5]), size2 = SizeOfField(f[6]);
    // A damaged size leaves the record out, like a wrong number of fields.
    if (!size1 || !size2) continue;
    const std::string_view code = f[1], status = f[2];
    if (code == kDeleteInSource) {
      ++deleteF1;
      deleteSizeF1 = AddSize(deleteSizeF1, *size1);
    } else if (code == kDeleteInTarget) {
      ++deleteF2;
      deleteSizeF2 = AddSize(deleteSizeF2, *size2);
    } else if (code == kCopyToTarget) {
      if (status == kStatusExtraInF1) {
        ++newF2;
        newSizeF2 = AddSize(newSizeF2, *size1);
      } else {
        ++replaceF2;
        replaceSizeF2 = AddSize(replaceSizeF2, *size1);
      }
    } else if (code == kCopyToSource) {
      if (status == kStatusExtraInF2) {
        ++newF1;
        newSizeF1 = AddSize(newSizeF1, *size2);
      } else {
        ++replaceF1;
        replaceSizeF1 = AddSize(replaceSizeF1, *size2);
      }
    }
  }
  run.PendingDeleteF1 = deleteF1;
  run.PendingDeleteF2 = deleteF2;
  run.PendingNewF1 = newF1;
  run.PendingNewF2 = newF2;
  run.PendingReplaceF1 = replaceF1;
  run.PendingReplaceF2 = replaceF2;
  run.PendingDeleteSizeF1 = deleteSizeF1;
  run.PendingDeleteSizeF2 = deleteSizeF2;
  run.PendingNewSizeF1 = newSizeF1;
  run.PendingNewSizeF2 = newSizeF2;
  run.PendingReplaceSizeF1 = replaceSizeF1;
  run.PendingReplaceSizeF2 = replaceSizeF2;
  run.PendingDeleteTotal = deleteF1 + deleteF2;
  run.PendingDeleteSize = AddSize(deleteSizeF1, deleteSizeF2);
  run.PendingReplaceTotal = replaceF1 + replaceF2;
  run.PendingReplaceSize = AddSize(replaceSizeF1, replaceSizeF2);
  run.PendingNewTotal = newF1 + newF2;
  run.PendingNewSize = AddSize(newSizeF1, newSizeF2);
  run.PendingOps = run.PendingDeleteTotal + run.PendingReplaceTotal + run.PendingNewTotal;
  run.PendingOpsAtCount = run.PendingOps;
}

void CountOperations(App& app) {
  CountOperations(app.ToDo.ToDoList, app.Run);
}

bool SaveToDoList(App& app, const std::string& path) {
  std::string text = NormaliseList(Join(app.ToDo.ToDoList, kCrLf));
  app.ToDo.ToDoList = Split(text, kCrLf);
  // Dropping the empty records renumbers the rest: rows must not point at the old numbers.
  ListViewAusfuellen(app);
  return WriteTextFile(text, path.empty() ? app.Files.ToDoFilePath : path);
}

void ListViewAusfuellen(App& app) {
  auto& rows = app.ToDo.Rows;
  rows.clear();
  const std::vector<std::string>& list = app.ToDo.ToDoList;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (!list[i].empty() && CountTabFields(list[i]) == 7) rows.push_back(static_cast<int64_t>(i));
  app.screen.ToDoRowsRebuilt();
}

void RemoveToDoRow(App& app, std::size_t position) {
  auto& rows = app.ToDo.Rows;
  if (position >= rows.size()) return;
  int64_t index = rows[position];
  if (index >= 0 && static_cast<std::size_t>(index) < app.ToDo.ToDoList.size())
    app.ToDo.ToDoList[static_cast<std::size_t>(index)].clear();
  app.screen.ToDoRowAboutToBeRemoved(static_cast<int>(position));
  rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(position));
  app.screen.ToDoRowRemoved(static_cast<int>(position));
}

}  // namespace dd
