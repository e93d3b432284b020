#include <gtest/gtest.h>

#include "common/text.h"

using namespace dd;

TEST(Text, LeadingNumberReadsLikeAUserTypedIt) {
  const std::pair<const char*, double> numbers[] = {
      {"  12.5 sec", 12.5},        {"\r\n 7", 7}, {"abc", 0}, {"-3x", -3}, {"1e3", 1000}, {"1.2.3", 1.2},
      {"3221225472", 3221225472.0}};
  for (auto [text, value] : numbers) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
  EXPECT_DOUBLE_EQ(ParseNumber("1234,75"), 1234.75);
}

TEST(Text, RepeatedReplacementEnds) {
  EXPECT_EQ(ReplaceAllRepeated("a\r\n\r\n\r\n\r\n\r\nb", "\r\n\r\n", "\r\n"), "a\r\nb");
  EXPECT_EQ(ReplaceAllRepeated("aaa", "a", "aa"), "aaa");  // would never end: left as it is
}
