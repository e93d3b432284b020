// Waits for the coarse wall clock, which file change times follow, to move on.
#pragma once

#include <time.h>

#include <cstdint>

namespace dd::test {

inline int64_t CoarseNowNs() {
  struct timespec ts {};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &ts);
  return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// The coarse clock's next value: anything changed after this returns has a later change time
// than anything changed before the call.
inline int64_t NextClockTick() {
  const int64_t start = CoarseNowNs();
  int64_t now;
  while ((now = CoarseNowNs()) == start) {
    const struct timespec pause { 0, 500000 };
    ::nanosleep(&pause, nullptr);
  }
  return now;
}

}  // namespace dd::test
