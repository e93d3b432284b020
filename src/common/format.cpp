#include "common/format.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace dd {

std::string FormatFixed(double x, int decimals) {
  static constexpr double kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  const double scale = decimals >= 0 && decimals <= 6 ? kPowers[decimals] : std::pow(10.0, decimals);
  double units = std::round(x * scale);  // half away from zero, like the original's Format
  // The digits of the whole number of units are the printed text: no printf on the per-row path.
  if (decimals >= 0 && decimals <= 6 && std::fabs(units) < 1e15) {
    int64_t n = static_cast<int64_t>(units);
    const bool negative = n < 0;
    uint64_t u = negative ? static_cast<uint64_t>(-n) : static_cast<uint64_t>(n);
    char digits[32];
    char* end = digits + sizeof digits;
    char* p = end;
    int i = 0;
    do {
      if (i == decimals && decimals > 0) *--p = '.';
      *--p = static_cast<char>('0' + u % 10);
      u /= 10;
      ++i;
    } while (i <= decimals || u != 0);
    if (negative) *--p = '-';
    return std::string(p, end);
  }
  double rounded = units / scale;
  if (rounded == 0.0) rounded = 0.0;  // no "-0"
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
  return buffer;
}

std::string FormatSize(double x) {
  double a = std::fabs(x);
  if (a < 1000.0) return FormatFixed(x, 0) + " Byte";
  if (a < 1e6) return FormatFixed(a / 1024.0, 1) + " KB";
  if (a < 1e9) return FormatFixed(a / (1024.0 * 1024.0), 2) + " MB";
  return FormatFixed(a / (1024.0 * 1024.0 * 1024.0), 3) + " GB";
}

std::string FormatDuration(double s) {
  if (s <= 60.0) return FormatFixed(s, 1) + " sec";
  if (s <= 3600.0) return FormatFixed(s / 60.0, 1) + " min";
  return FormatFixed(s / 3600.0, 1) + " h";
}

std::string FormatDurationShort(double s) {
  if (s <= 60.0) return FormatFixed(s, 0) + " sec";
  if (s <= 3600.0) return FormatFixed(s / 60.0, 1) + " min";
  return FormatFixed(s / 3600.0, 1) + " h";
}

}  // namespace dd
