// Texts of sizes and durations as the labels, messages and logs show them.
#pragma once

#include <cstdint>
#include <string>

namespace dd {

// x with `decimals` digits after the point, rounded half away from zero.
std::string FormatFixed(double x, int decimals);

// " Byte" below 1000, then KB, MB, GB (thresholds powers of 1000, divisors powers of 1024).
std::string FormatSize(double bytes);

// Seconds with one decimal up to 60, minutes up to 3600, else hours.
std::string FormatDuration(double seconds);

// As FormatDuration, but whole seconds up to 60.
std::string FormatDurationShort(double seconds);

}  // namespace dd
