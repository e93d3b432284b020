#include "plan/classification.h"

#include <cmath>

#include "common/state.h"
#include "plan/sorted_entries.h"
#include "plan/unlisted_areas.h"
#include "todo/backup_mode.h"
#include "todo/record_texts.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

const std::string kIdentical(kStatusIdentical);
const std::string kNewerInF1(kStatusNewerInF1);
const std::string kNewerInF2(kStatusNewerInF2);
const std::string kExtraInF1(kStatusExtraInF1);
const std::string kExtraInF2(kStatusExtraInF2);

// The status of the item at line k: on both sides when line k + 1 is the same item (the F1 line sorts first).
const std::string& StatusOfLine(const SortedEntries& lines, std::size_t k, bool both, const JobOptions& options,
                                ClassificationObserver& observer) {
  if (!both) return lines.Side(k) == 0 ? kExtraInF1 : kExtraInF2;
  // Folder lines carry size 0 and one fixed time: both copies of a folder are "Identical".
  std::string_view status =
      StatusOfBoth(lines.Modified(k), lines.Modified(k + 1), lines.Size(k), lines.Size(k + 1), options);
  if (status == kStatusIdentical && !lines.IsFolder(k) && lines.Size(k) > 0) status = observer.StatusOfIdentical(k);
  return status == kStatusIdentical ? kIdentical : status == kStatusNewerInF1 ? kNewerInF1 : kNewerInF2;
}

}  // namespace

bool WithinTolerance(double delta, const JobOptions& options) {
  const double d = std::fabs(delta);
  const double t = options.TimeTolerance;
  // A tolerance of zero or less asks for equal times, not for no match at all.
  if (!(t > 0)) return d == 0 || (options.DaylightSaving && d == 3600);
  return d < t || (options.DaylightSaving && std::fabs(d - 3600) < t);
}

std::string_view StatusOfBoth(int64_t modifiedF1, int64_t modifiedF2, int64_t sizeF1, int64_t sizeF2,
                              const JobOptions& options) {
  // A copy of another size is never the same file, whatever its time says.
  if (sizeF1 == sizeF2 && WithinTolerance(static_cast<double>(modifiedF2 - modifiedF1), options))
    return kStatusIdentical;
  return modifiedF1 >= modifiedF2 ? kStatusNewerInF1 : kStatusNewerInF2;
}

bool ClassifyEntries(const SortedEntries& lines, const UnlistedAreas& unlisted, const BackupModeDef& mode,
                     const JobOptions& options, ClassificationObserver& observer) {
  const std::size_t n = lines.size();
  bool usedNext = false;
  for (std::size_t k = 0; k < n; ++k) {
    if (!observer.Continue()) return false;
    if (usedNext) {
      usedNext = false;
      continue;
    }
    if (lines.IsRoot(k)) continue;
    const bool both = k + 1 < n && lines.SameItem(k, k + 1);
    usedNext = both;
    if (unlisted.Hides(lines, k)) continue;
    const std::string& status = StatusOfLine(lines, k, both, options, observer);
    const std::string& code = CodeForStatus(mode, status);
    if (OpTextOf(code).empty()) continue;
    observer.Planned({k, both, lines.Side(k), status, code});
  }
  return true;
}

}  // namespace dd
