#include <gtest/gtest.h>

#include "todo/list_plan.h"

using namespace dd;

namespace {

ListPlan SamplePlan() {
  ListPlan plan;
  plan.Known = true;
  plan.JobFile = "/jobs/night run \xfe.ddk";
  plan.Pairs = {{"/home/u/docs/", "/backup/docs", "/data/docs", "/backup/docs"}, {"/a", "/b", "/a", "/mnt/b"}};
  plan.Mode = {"", "= =", "=->", "= x", "=->", "<-="};
  plan.TimeTolerance = 2.5;
  plan.DaylightSaving = false;
  plan.DeletedToTrash = true;
  return plan;
}

TEST(ListPlan, ReadsBackAsWritten) {
  const ListPlan plan = SamplePlan();
  int64_t at = 0;
  const std::optional<ListPlan> read = ParseListPlan(FormatListPlan(plan, 1765000000123456789), at);
  ASSERT_TRUE(read);
  EXPECT_EQ(at, 1765000000123456789);
  EXPECT_EQ(FormatListPlan(*read, at), FormatListPlan(plan, at));
  EXPECT_TRUE(read->Known);
}

// A damaged record is no record: the list it stands beside has no known job.
TEST(ListPlan, ADamagedRecordIsRefused) {
  const std::string good = FormatListPlan(SamplePlan(), 7);
  const struct {
    const char* what;
    std::string from, to;
  } cases[] = {
      {"no mode", "Mode\t", "Mood\t"},
      {"a switch that is neither 0 nor 1", "DaylightSaving\t0", "DaylightSaving\tno"},
      {"a tolerance that is no number", "TimeTolerance\t2.5", "TimeTolerance\t2,5"},
      {"a relative root", "Pair\t/a\t", "Pair\ta\t"},
      {"a pair without its resolved target", "\t/a\t/mnt/b", "\t/a"},
      {"a time that is no number", "PlannedAtNs\t7", "PlannedAtNs\t7s"},
  };
  int64_t at = 0;
  ASSERT_TRUE(ParseListPlan(good, at));
  for (const auto& c : cases) {
    std::string text = good;
    const std::size_t pos = text.find(c.from);
    ASSERT_NE(pos, std::string::npos) << c.what;
    text.replace(pos, c.from.size(), c.to);
    EXPECT_FALSE(ParseListPlan(text, at)) << c.what;
  }
  EXPECT_FALSE(ParseListPlan("", at));
}

}  // namespace
