#include "common/progress.h"

#include <gtest/gtest.h>

#include <limits>

using namespace dd;

TEST(Progress, ThePercentIsRoundedWithinTheBar) {
  struct Row {
    const char* name;
    double done;
    double total;
    int percent;
  };
  const double endless = std::numeric_limits<double>::infinity();
  const Row rows[] = {
      {"nothing done", 0, 7, 0},
      {"rounds down", 1, 3, 33},
      {"rounds up", 2, 3, 67},
      {"half rounds up", 1, 200, 1},
      {"all done", 7, 7, 100},
      // A file that grew while it was copied.
      {"more done than planned", 9, 7, 100},
      {"fewer left than none", -1, 7, 0},
      {"nothing to do", 0, 0, 0},
      {"endless", endless, endless, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ProgressPercent(row.done, row.total), row.percent);
  }
}
