#include "window_rules/run_labels.h"

#include "common/format.h"
#include "common/run_statistics.h"

namespace dd {

namespace {

std::string Size(int64_t bytes) {
  return FormatSize(static_cast<double>(bytes));
}

}  // namespace

RunLabelTexts RunLabels(const RunStatistics& r) {
  RunLabelTexts t;
  t.F1Folders = std::to_string(r.TreeFoldersF1);
  t.F2Folders = std::to_string(r.TreeFoldersF2);
  t.F1Files = std::to_string(r.TreeFilesF1);
  t.F2Files = std::to_string(r.TreeFilesF2);
  t.F1Size = Size(r.TreeSizeF1);
  t.F2Size = Size(r.TreeSizeF2);
  t.Progress = r.ActionText;
  t.CurrentFile = r.CurrentFile;
  return t;
}

PendingLabelTexts PendingLabelsOf(const RunStatistics& r) {
  PendingLabelTexts t;
  t.DeleteInF1 = std::to_string(r.Pending(OpKind::Delete, Side::F1).Count);
  t.DeleteInF2 = std::to_string(r.Pending(OpKind::Delete, Side::F2).Count);
  t.NewInF1 = std::to_string(r.Pending(OpKind::New, Side::F1).Count);
  t.NewInF2 = std::to_string(r.Pending(OpKind::New, Side::F2).Count);
  t.ReplaceInF1 = std::to_string(r.Pending(OpKind::Replace, Side::F1).Count);
  t.ReplaceInF2 = std::to_string(r.Pending(OpKind::Replace, Side::F2).Count);
  t.MoveInF1 = std::to_string(r.Pending(OpKind::Move, Side::F1).Count);
  t.MoveInF2 = std::to_string(r.Pending(OpKind::Move, Side::F2).Count);
  t.DeleteTotalSize = Size(r.Pending.Bytes(OpKind::Delete));
  t.NewTotalSize = Size(r.Pending.Bytes(OpKind::New));
  t.ReplaceTotalSize = Size(r.Pending.Bytes(OpKind::Replace));
  return t;
}

}  // namespace dd
