#include "common/progress.h"

#include <algorithm>
#include <cmath>

namespace dd {

int ProgressPercent(double done, double total) {
  if (!(total > 0)) return 0;
  const double percent = done * 100.0 / total;
  // NaN (an endless total) counts as nothing done.
  return std::isnan(percent) ? 0 : static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0)));
}

}  // namespace dd
