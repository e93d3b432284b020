// Clocks and local date-times.
#pragma once

#include <cstdint>
#include <string>

namespace dd {

// Seconds from a monotonic clock: durations stay right across midnight and clock changes.
double MonotonicSeconds();

// Wall-clock time in nanoseconds since the epoch, as coarse as the kernel keeps
// it (CLOCK_REALTIME_COARSE): the clock the file system stamps change times from.
int64_t WallClockCoarseNs();

// Offset of local time from UTC in seconds, as in force now (daylight saving included).
int64_t CurrentUtcOffset();

// A local date-time given as seconds since 1970-01-01 00:00 (local calendar) as "dd.mm.yyyy hh:mm:ss".
std::string FormatLocalDateTime(int64_t localSeconds);

// Today's local date as "dd.mm.yyyy" and the time as "hh:mm:ss".
std::string CurrentDateText();
std::string CurrentTimeText();

}  // namespace dd
