// Parts of a pair that could not be listed on one side.
#pragma once

#include <cstddef>
#include <vector>

#include "plan/scanner.h"
#include "plan/sorted_entries.h"

namespace dd {

// A folder that could not be listed would read as empty, and everything below
// it on the other side would be planned as if it had been deleted there. So
// every item below such a folder is left out on both sides; the folder itself
// is still compared.
class UnlistedAreas {
 public:
  UnlistedAreas(const ScanResult& f1, const ScanResult& f2);

  // True when line k lies below a folder that either side could not list.
  bool Hides(const SortedEntries& lines, std::size_t k) const;

 private:
  bool any_ = false;
  // Per side and folder index: the folder is, or lies below, an unlisted folder;
  // and: it lies strictly below one.
  std::vector<char> inside_[2], below_[2];
};

}  // namespace dd
