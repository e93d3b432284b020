// The classification of the sorted entry lines of a pair: the status of every
// item by size and time, and the operation the backup mode names for it. No
// disk is read here; the caller decides on content and keeps the records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "todo/record_texts.h"

namespace dd {

struct BackupModeDef;
struct JobOptions;
class SortedEntries;
class UnlistedAreas;

// Whether two file times `delta` seconds apart count as the same, by the
// tolerance and the daylight-saving hour of the job options.
bool WithinTolerance(double delta, const JobOptions& options);

// The status of a file found on both sides, from its modification times (seconds) and sizes: the same size
// within the tolerance is "Identical"; otherwise, and always when the sizes differ, the later time decides,
// an exact tie going to F1.
std::string_view StatusOfBoth(int64_t modifiedF1, int64_t modifiedF2, int64_t sizeF1, int64_t sizeF2,
                              const JobOptions& options);

// One item whose status the mode plans an operation for.
struct ClassifiedItem {
  std::size_t Line;  // its line; for an item on both sides the F1 line, the F2 line follows
  bool BothSides;    // found on both sides
  int Side;          // 0 F1, 1 F2: the side of Line
  std::string_view Status;
  const std::string& Code;  // the mode's code for the status, as the mode holds it now
};

// What the walk asks of its caller and hands on to it.
class ClassificationObserver {
 public:
  virtual ~ClassificationObserver() = default;
  // Before every line: false ends the walk there.
  virtual bool Continue() { return true; }
  // The status of a file of more than 0 bytes that size and time call "Identical" (`line` its F1 line);
  // the caller may look at the content.
  virtual std::string_view StatusOfIdentical(std::size_t line) {
    (void)line;
    return kStatusIdentical;
  }
  // An item the mode plans an operation for, in line order.
  virtual void Planned(const ClassifiedItem& item) = 0;
};

// Walks the sorted lines of a pair: every item but the roots and what the unlisted areas hide gets its
// status; the ones whose code in `mode` plans an operation go to the observer. `mode` is read for every
// item: an edit during the walk counts from the next item on. True when the walk ran to its end.
bool ClassifyEntries(const SortedEntries& lines, const UnlistedAreas& unlisted, const BackupModeDef& mode,
                     const JobOptions& options, ClassificationObserver& observer);

}  // namespace dd
