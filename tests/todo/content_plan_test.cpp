// The content options in the record of the job that planned the list.
#include <gtest/gtest.h>

#include "todo/list_plan.h"

using namespace dd;

namespace {

ListPlan PlainPlan() {
  ListPlan plain;
  plain.Known = true;
  plain.JobFile = "/jobs/a.ddk";
  plain.Pairs = {{"/a", "/b", "/a", "/b"}};
  return plain;
}

struct SwitchRow {
  bool compare, verify;
  std::string lines;
};
const SwitchRow kSwitchRows[] = {
    {false, false, ""},
    {true, false, "CompareContent\t1\r\n"},
    {false, true, "VerifyCopies\t1\r\n"},
    {true, true, "CompareContent\t1\r\nVerifyCopies\t1\r\n"},
};

ListPlan WithSwitches(const SwitchRow& row) {
  ListPlan plan = PlainPlan();
  plan.CompareContent = row.compare;
  plan.VerifyCopies = row.verify;
  return plan;
}

TEST(ContentPlan, TheSwitchesAreWrittenOnlyWhenOn) {
  const std::string before = FormatListPlan(PlainPlan(), 7);
  for (const SwitchRow& row : kSwitchRows) {
    SCOPED_TRACE(row.lines);
    // Written after the trash line: a plan without them is what it always was.
    std::string expected = before;
    expected.insert(expected.find("Pair\t"), row.lines);
    EXPECT_EQ(FormatListPlan(WithSwitches(row), 7), expected);
  }
}

TEST(ContentPlan, TheSwitchesReadBackAsWritten) {
  for (const SwitchRow& row : kSwitchRows) {
    SCOPED_TRACE(row.lines);
    int64_t at = 0;
    const std::optional<ListPlan> read = ParseListPlan(FormatListPlan(WithSwitches(row), 7), at);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->CompareContent, row.compare);
    EXPECT_EQ(read->VerifyCopies, row.verify);
  }
}

TEST(ContentPlan, ASwitchThatIsNeitherZeroNorOneIsDamage) {
  std::string damaged = FormatListPlan(PlainPlan(), 7);
  damaged.insert(damaged.find("Pair\t"), "CompareContent\tyes\r\n");
  int64_t at = 0;
  EXPECT_FALSE(ParseListPlan(damaged, at));
}

}  // namespace
