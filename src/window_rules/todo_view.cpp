#include "window_rules/todo_view.h"

#include <algorithm>

#include "apply/statistics_labels.h"
#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "common/write_report.h"
#include "flows/command_lock.h"
#include "todo/op_code.h"
#include "todo/op_record.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

constexpr std::array<const char*, kToDoColumnCount> kTitleKeys = {
    "[Nr.]",    "[Size Source]", "[Size Target]", "[Path]", "[Name in source]", "[Size]",
    "[Status]", "[Operation]",   "[Status]",      "[Size]", "[Name in target]", "[Path]"};

constexpr std::array<const char*, kToDoImageCount> kImageKeys = {"Copy to Source",
                                                                 "Copy To Target",
                                                                 "Delete in Source",
                                                                 "Delete in Target",
                                                                 "Equal",
                                                                 "Extra",
                                                                 "Newer",
                                                                 "Older",
                                                                 "Replace Source to Target",
                                                                 "Replace Target to Source",
                                                                 "Question",
                                                                 "Move in Source",
                                                                 "Move in Target"};

constexpr std::array<const char*, kToDoImageCount> kImageFiles = {"OpKleinCopySource.jpg",
                                                                  "OpKleinCopyTarget.jpg",
                                                                  "OpKleinDeleteSource.jpg",
                                                                  "OpKleinDeleteTarget.jpg",
                                                                  "StatEqual.jpg",
                                                                  "StatExtra.jpg",
                                                                  "StatNewer.jpg",
                                                                  "StatOlder.jpg",
                                                                  "OpKleinReplaceToTarget.jpg",
                                                                  "OpKleinReplaceToSource.jpg",
                                                                  "StatQuestion.bmp",
                                                                  "OpKleinMoveSource.jpg",
                                                                  "OpKleinMoveTarget.jpg"};

std::string Digits(int64_t value, std::size_t width) {
  std::string text = std::to_string(value < 0 ? 0 : value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

}  // namespace

const std::array<const char*, kToDoColumnCount>& ToDoColumnTitleKeys() {
  return kTitleKeys;
}

int PictureNumberOfKey(std::string_view key) {
  for (std::size_t i = 0; i < kImageKeys.size(); ++i)
    if (key == kImageKeys[i]) return static_cast<int>(i);
  return 0;
}

const std::array<const char*, kToDoImageCount>& ToDoImageFiles() {
  return kImageFiles;
}

namespace {

void SetStatusCells(FileStatus status, ToDoCells& c) {
  switch (status) {
    case FileStatus::ExtraInF1:
      c.filledF1 = true, c.status1 = "Extra";
      break;
    case FileStatus::ExtraInF2:
      c.filledF2 = true, c.status2 = "Extra";
      break;
    case FileStatus::Identical:
      c.filledF1 = c.filledF2 = true, c.status1 = c.status2 = "Equal";
      break;
    case FileStatus::NewerInF1:
      c.filledF1 = c.filledF2 = true, c.status1 = "Newer", c.status2 = "Older";
      break;
    case FileStatus::NewerInF2:
      c.filledF1 = c.filledF2 = true, c.status1 = "Older", c.status2 = "Newer";
      break;
  }
}

// A copy onto an existing item is a replacement: the status tells which.
void SetOperationCells(OpCode code, bool extraInF1, bool extraInF2, ToDoCells& c) {
  switch (code) {
    case OpCode::DeleteInSource:
      c.operationKey = "Delete in Source", c.operationText = " Delete in Source";
      break;
    case OpCode::DeleteInTarget:
      c.operationKey = "Delete in Target", c.operationText = " Delete in Target";
      break;
    case OpCode::CopyToTarget:
      if (extraInF1)
        c.operationKey = "Copy To Target", c.operationText = "Copy To Target";
      else
        c.operationKey = "Replace Source to Target", c.operationText = "Replace in Target";
      break;
    case OpCode::CopyToSource:
      if (extraInF2)
        c.operationKey = "Copy to Source", c.operationText = "Copy To Source";
      else
        c.operationKey = "Replace Target to Source", c.operationText = "Replace in Source";
      break;
    case OpCode::MoveInSource:
      c.operationKey = "Move in Source", c.operationText = "Move in Source";
      break;
    case OpCode::MoveInTarget:
      c.operationKey = "Move in Target", c.operationText = "Move in Target";
      break;
    case OpCode::DoNothing:
      break;
  }
}

}  // namespace

bool ToDoRowCells(std::string_view record, ToDoCells& c) {
  c = ToDoCells();
  const std::optional<OpRecordView> r = OpRecordView::Parse(record);
  if (!r) return false;
  FileStatus status{};
  const bool knownStatus = ParseFileStatus(r->Status, status);
  if (knownStatus) SetStatusCells(status, c);
  if (c.filledF1) c.path1 = r->PathF1, c.name1 = NameOfPath(r->PathF1), c.size1 = r->SizeF1;
  if (c.filledF2) c.path2 = r->PathF2, c.name2 = NameOfPath(r->PathF2), c.size2 = r->SizeF2;
  OpCode code{};
  if (ParseOpCode(r->Code, code))
    SetOperationCells(code, knownStatus && status == FileStatus::ExtraInF1,
                      knownStatus && status == FileStatus::ExtraInF2, c);
  return true;
}

std::string ToDoRowNumber(int64_t index, int64_t upperBound) {
  return Digits(index, std::to_string(upperBound < 0 ? 0 : upperBound).size());
}

std::string SizeKbText(int64_t bytes) {
  // Sizes of 2 GiB and more get their KB value too: the count is 64-bit.
  std::string digits = std::to_string(bytes < 0 ? 0 : bytes / 1024);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text + " KB";
}

std::string SizeSortKey(int64_t bytes) {
  return Digits(bytes, 13);
}

std::string ToDoCellText(const ToDoCells& c, int column, int64_t index, int64_t upperBound) {
  switch (column) {
    case kColNumber:
      return ToDoRowNumber(index, upperBound);
    case kColSize1Sort:
      return c.filledF1 ? SizeSortKey(c.size1) : std::string();
    case kColSize2Sort:
      return c.filledF2 ? SizeSortKey(c.size2) : std::string();
    case kColPath1:
      return std::string(c.path1);
    case kColF1:
      return std::string(c.name1);
    case kColSize1:
      return c.filledF1 ? SizeKbText(c.size1) : std::string();
    case kColStatus1:
      return std::string(c.status1);
    case kColOperation:
      return std::string(c.operationText);
    case kColStatus2:
      return std::string(c.status2);
    case kColSize2:
      return c.filledF2 ? SizeKbText(c.size2) : std::string();
    case kColF2:
      return std::string(c.name2);
    case kColPath2:
      return std::string(c.path2);
    default:
      return {};
  }
}

std::string_view ToDoCellImageKey(const ToDoCells& c, int column) {
  if (column == kColStatus1) return c.status1;
  if (column == kColStatus2) return c.status2;
  if (column == kColOperation) return c.operationKey;
  return {};
}

std::array<int, kToDoColumnCount> ToDoColumnWidths(int width, bool showSize, bool showFullPath, int pathWidth) {
  const int s = showSize ? static_cast<int>(width * 0.05 + 0.5) : 0;
  const int p = showFullPath ? std::clamp(pathWidth, static_cast<int>(width * 0.05 + 0.5), width / 4) : 0;
  // A list narrower than its fixed columns keeps its name columns at zero rather than negative.
  const int names = std::max(0, width - 1040 - 2 * s - 2 * p);
  // The odd unit goes to the second name column, so that the columns end at the right edge.
  return {0, 0, 0, p, names / 2, s, 320, 400, 320, s, names - names / 2, p};
}

bool SideIsF1(int lastMouseX, const std::array<int, kToDoColumnCount>& w) {
  int edge = 0;
  for (int c = 0; c <= kColStatus1; ++c) edge += w[c];
  return lastMouseX < edge;
}

std::string ToDoEventPath(std::string_view record, bool f1) {
  const std::optional<OpRecordView> r = OpRecordView::Parse(record);
  if (!r) return {};
  std::string chosen(f1 ? r->PathF1 : r->PathF2);
  if (chosen.empty() || !PathExists(chosen)) chosen = std::string(f1 ? r->PathF2 : r->PathF1);
  return chosen;
}

int ToDoSort::Click(int clicked) {
  if (clicked == kColSize1) clicked = kColSize1Sort;
  if (clicked == kColSize2) clicked = kColSize2Sort;
  column = clicked;
  descending = !descending;
  return column;
}

bool SortToDoRows(App& app, int column, bool descending) {
  if (app.Run.Lifecycle.Execution()) return false;
  auto& rows = app.ToDo.Rows;
  const auto& list = app.ToDo.ToDoList;
  struct Keyed {
    std::string_view text;
    int64_t number;
    int64_t index;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(rows.size());
  const bool numeric = column == kColNumber || column == kColSize1Sort || column == kColSize2Sort;
  ToDoCells c;
  for (int64_t index : rows) {
    Keyed k{{}, index, index};
    if (column != kColNumber && ToDoRowCells(list[static_cast<std::size_t>(index)], c)) {
      switch (column) {
        case kColSize1Sort:
          k.number = c.size1;  // -1 for an empty key: it sorts first, as the empty text does
          break;
        case kColSize2Sort:
          k.number = c.size2;
          break;
        case kColPath1:
          k.text = c.path1;
          break;
        case kColF1:
          k.text = c.name1;
          break;
        case kColStatus1:
          k.text = c.status1;
          break;
        case kColOperation:
          k.text = c.operationText;
          break;
        case kColStatus2:
          k.text = c.status2;
          break;
        case kColF2:
          k.text = c.name2;
          break;
        case kColPath2:
          k.text = c.path2;
          break;
        default:
          break;
      }
    }
    keyed.push_back(k);
  }
  auto less = [numeric](const Keyed& a, const Keyed& b) { return numeric ? a.number < b.number : a.text < b.text; };
  if (descending)
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) { return less(b, a); });
  else
    std::stable_sort(keyed.begin(), keyed.end(), less);
  for (std::size_t i = 0; i < keyed.size(); ++i) rows[i] = keyed[i].index;
  return true;
}

bool IconWindow::Update(int64_t f, int64_t rowCount) {
  const int64_t v = std::min(f + 60, rowCount);
  if (f >= first && v <= last) return false;
  auto clampRow = [rowCount](int64_t row) { return std::max<int64_t>(std::min(row, rowCount), 1); };
  first = clampRow(f - 66);
  last = clampRow(f + 132);
  return true;
}

int RemoveSelectedRows(App& app, std::vector<int64_t> positions) {
  if (app.Run.Lifecycle.Execution() || positions.empty()) return 0;
  // The list file is shared with every run of the program folder: another run may be writing it.
  const CommandLock lock(app);
  if (!lock.Held()) return 0;
  auto& rows = app.ToDo.Rows;
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  int removed = 0;
  std::size_t next = 0, kept = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (next < positions.size() && positions[next] == static_cast<int64_t>(i)) {
      ++next;
      const int64_t index = rows[i];
      if (index >= 0 && static_cast<std::size_t>(index) < app.ToDo.ToDoList.size())
        app.ToDo.ToDoList[static_cast<std::size_t>(index)].clear();
      ++removed;
      continue;
    }
    rows[kept++] = rows[i];
  }
  rows.resize(kept);
  if (removed == 0) return 0;
  CountOperations(app.ToDo.ToDoList, app.Run);
  ShowPendingStatistics(app.Run, app.Rates, app.messages);
  app.screen.ToDoRowsRebuilt();
  // The list file is always current: a removed row must not come back with it.
  const bool written = WriteToDoFile(app.ToDo, app.Files);
  // Our own write: the watcher of the list file must not take it for another run's.
  RememberListFile(app.ToDo, app.Files);
  if (!written) ReportFileNotWritten(app.messages, app.Files.ToDoFilePath, false);
  return removed;
}

}  // namespace dd
