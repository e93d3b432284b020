#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace dd {

// Ascending by byte value (no case folding, no locale).
// A list built in order (the usual case) is only checked, not sorted again.
inline void SortList(std::vector<std::string>& list) {
  if (!std::is_sorted(list.begin(), list.end())) std::sort(list.begin(), list.end());
}

}  // namespace dd
