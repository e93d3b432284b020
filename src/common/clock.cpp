#include "common/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace dd {

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian), valid for any day count.
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += (m <= 2);
}

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return tm;
}

}  // namespace

double MonotonicSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int64_t CurrentUtcOffset() {
  return LocalNow().tm_gmtoff;
}

std::string FormatLocalDateTime(int64_t localSeconds) {
  int64_t days = localSeconds / 86400;
  int64_t rest = localSeconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  int64_t year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02u.%02u.%04lld %02d:%02d:%02d", day, month, static_cast<long long>(year),
                static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  return buffer;
}

std::string CurrentDateText() {
  std::tm tm = LocalNow();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
  return buffer;
}

std::string CurrentTimeText() {
  std::tm tm = LocalNow();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buffer;
}

int64_t WallClockNs() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace dd
