// Clocks and local date-times.
#pragma once

#include <cstdint>
#include <string>

namespace dd {

// Seconds from a monotonic clock: durations stay right across midnight and clock changes.
double MonotonicSeconds();

// Wall-clock time in nanoseconds since the epoch, to the finest the kernel gives. File
// change times come from the same clock, coarse or (multigrain kernels) fine: a change
// made before this call never carries a later stamp.
int64_t WallClockNs();

// Offset of local time from UTC in seconds, as in force now (daylight saving included).
int64_t CurrentUtcOffset();

// A local date-time given as seconds since 1970-01-01 00:00 (local calendar) as "dd.mm.yyyy hh:mm:ss".
std::string FormatLocalDateTime(int64_t localSeconds);

// Today's local date as "dd.mm.yyyy" and the time as "hh:mm:ss".
std::string CurrentDateText();
std::string CurrentTimeText();

}  // namespace dd
