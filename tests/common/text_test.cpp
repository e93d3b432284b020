#include <gtest/gtest.h>

#include "common/text.h"

using namespace dd;

TEST(Text, ReplaceAllRepeatedCollapsesEmptyLines) {
  EXPECT_EQ(ReplaceAllRepeated("a\r\n\r\n\r\n\r\n\r\nb", "\r\n\r\n", "\r\n"), "a\r\nb");
  EXPECT_EQ(ReplaceAllRepeated("aaa", "a", "aa"), "aaa");  // would never end: left as it is
}

TEST(Text, LeadingNumberReadsLikeAUserTypedIt) {
  EXPECT_DOUBLE_EQ(LeadingNumber("  12.5 sec"), 12.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("\r\n 7"), 7);
  EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0);
  EXPECT_DOUBLE_EQ(LeadingNumber("-3x"), -3);
  EXPECT_DOUBLE_EQ(LeadingNumber("1e3"), 1000);
  EXPECT_DOUBLE_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(ParseNumber("1234,75"), 1234.75);
  EXPECT_DOUBLE_EQ(LeadingNumber("3221225472"), 3221225472.0);
}
