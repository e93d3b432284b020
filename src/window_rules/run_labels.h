// The texts of the run labels, from the run statistics.
#pragma once

#include <string>

namespace dd {

struct RunStatistics;

struct RunLabelTexts {
  std::string F1Folders, F2Folders, F1Files, F2Files, F1Size, F2Size;
  std::string Progress, CurrentFile;
};
RunLabelTexts RunLabels(const RunStatistics& run);

struct PendingLabelTexts {
  std::string DeleteInF1, DeleteInF2, NewInF1, NewInF2, ReplaceInF1, ReplaceInF2, MoveInF1, MoveInF2;
  std::string DeleteTotalSize, NewTotalSize, ReplaceTotalSize;
};
PendingLabelTexts PendingLabelsOf(const RunStatistics& run);

}  // namespace dd
