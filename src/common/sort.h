#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace dd {

// Ascending by byte value (no case folding, no locale).
inline void SortList(std::vector<std::string>& list) {
  std::sort(list.begin(), list.end());
}

}  // namespace dd
