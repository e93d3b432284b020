#include "window/run_labels.h"

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
  t.DeleteInF1 = std::to_string(r.PendingDeleteF1);
  t.DeleteInF2 = std::to_string(r.PendingDeleteF2);
  t.NewInF1 = std::to_string(r.PendingNewF1);
  t.NewInF2 = std::to_string(r.PendingNewF2);
  t.ReplaceInF1 = std::to_string(r.PendingReplaceF1);
  t.ReplaceInF2 = std::to_string(r.PendingReplaceF2);
  t.DeleteTotalSize = Size(r.PendingDeleteSizeF1 + r.PendingDeleteSizeF2);
  t.NewTotalSize = Size(r.PendingNewSizeF1 + r.PendingNewSizeF2);
  t.ReplaceTotalSize = Size(r.PendingReplaceSizeF1 + r.PendingReplaceSizeF2);
  return t;
}

}  // namespace dd
