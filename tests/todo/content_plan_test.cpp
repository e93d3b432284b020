// The content options in the record of the job that planned the list.
#include <gtest/gtest.h>

#include "todo/list_plan.h"

using namespace dd;

namespace {

TEST(ContentPlan, TheSwitchesAreLinesOnlyWhenOnAndReadBack) {
  const struct {
    bool compare, verify;
    std::string lines;
  } cases[] = {
      {false, false, ""},
      {true, false, "CompareContent\t1\r\n"},
      {false, true, "VerifyCopies\t1\r\n"},
      {true, true, "CompareContent\t1\r\nVerifyCopies\t1\r\n"},
  };
  ListPlan plain;
  plain.Known = true;
  plain.JobFile = "/jobs/a.ddk";
  plain.Pairs = {{"/a", "/b", "/a", "/b"}};
  const std::string before = FormatListPlan(plain, 7);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    ListPlan plan = plain;
    plan.CompareContent = c.compare;
    plan.VerifyCopies = c.verify;
    const std::string text = FormatListPlan(plan, 7);
    // Written after the trash line: a plan without them is what it always was.
    std::string expected = before;
    expected.insert(expected.find("Pair\t"), c.lines);
    EXPECT_EQ(text, expected);
    int64_t at = 0;
    const std::optional<ListPlan> read = ParseListPlan(text, at);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->CompareContent, c.compare);
    EXPECT_EQ(read->VerifyCopies, c.verify);
  }
  // A switch that is neither 0 nor 1 is damage, as for the other switches.
  std::string damaged = before;
  damaged.insert(damaged.find("Pair\t"), "CompareContent\tyes\r\n");
  int64_t at = 0;
  EXPECT_FALSE(ParseListPlan(damaged, at));
}

}  // namespace
