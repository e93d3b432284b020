#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "common/clock.h"
#include "common/format.h"

using namespace dd;

TEST(Format, SizesUseThousandThresholdsWithBinaryDivisors) {
  const std::pair<double, const char*> sizes[] = {{999, "999 Byte"},    {-5, "-5 Byte"},
                                                  {1000, "1.0 KB"},     {999999, "976.6 KB"},
                                                  {1000000, "0.95 MB"}, {3221225472.0, "3.000 GB"}};
  for (const auto& [size, text] : sizes) EXPECT_EQ(FormatSize(size), text) << size;
}

TEST(Format, FixedPointRoundsHalfAwayFromZeroWithoutMinusZero) {
  const std::tuple<double, int, const char*> fixed[] = {{-0.04, 1, "0.0"},
                                                        {-0.05, 1, "-0.1"},
                                                        {2.5, 0, "3"},
                                                        {-2.5, 0, "-3"},
                                                        {0.125, 2, "0.13"},
                                                        {7, 3, "7.000"},
                                                        {1e20, 0, "100000000000000000000"}};
  for (const auto& [x, decimals, text] : fixed) EXPECT_EQ(FormatFixed(x, decimals), text) << x;
}

TEST(Format, DurationsTakeTheLargestFittingUnit) {
  const std::tuple<double, const char*, const char*> durations[] = {
      {12.34, "12.3 sec", "12 sec"}, {60, "60.0 sec", "60 sec"},     {61, "1.0 min", "1.0 min"},
      {90, "1.5 min", "1.5 min"},    {3600, "60.0 min", "60.0 min"}, {3601, "1.0 h", "1.0 h"},
      {7200, "2.0 h", "2.0 h"}};
  for (const auto& [seconds, text, shortText] : durations) {
    SCOPED_TRACE(seconds);
    EXPECT_EQ(FormatDuration(seconds), text);
    EXPECT_EQ(FormatDurationShort(seconds), shortText);
  }
}

TEST(Format, DatesReadDayMonthYear) {
  const std::pair<int64_t, const char*> dates[] = {
      {0, "01.01.1970 00:00:00"}, {1318331471, "11.10.2011 11:11:11"}, {-1, "31.12.1969 23:59:59"}};
  for (const auto& [seconds, text] : dates) EXPECT_EQ(FormatLocalDateTime(seconds), text) << seconds;
}
