#include "window_rules/run_end_notice.h"

#include <gtest/gtest.h>

namespace dd {
namespace {

Message Report(Icon icon = Icon::None) {
  Message m;
  m.kind = MessageKind::RunReport;
  m.key = "[operations successfully done]";
  m.title = "Done";
  m.prompt = "All done\r\nDeleted files:\t2\t(3 KB)\r\nCopied files:\t\t5\t(1 MB)";
  m.icon = icon;
  return m;
}

TEST(RunEndNoticeTest, OnlyTheEndOfAScheduledOrLongRunNobodyWatchesIsTold) {
  Message question = Report();
  question.kind = MessageKind::ConfirmOneClick;
  const struct {
    const char* name;
    Message box;
    RunEndFacts facts;
    bool sent;
  } rows[] = {
      {"scheduled, window in the background", Report(), {false, true, 1}, true},
      {"long, window in the background", Report(), {false, false, kLongRunSeconds}, true},
      {"short and not scheduled", Report(), {false, false, kLongRunSeconds - 1}, false},
      {"scheduled but the window is active", Report(), {true, true, 3600}, false},
      {"a question, not a report", question, {false, true, 3600}, false},
  };
  for (const auto& row : rows) EXPECT_EQ(NoticeOfRunEnd(row.box, row.facts).send, row.sent) << row.name;
}

TEST(RunEndNoticeTest, TheNoticeCarriesTheCountsOnPlainLines) {
  const DesktopNotice done = NoticeOfRunEnd(Report(), {false, true, 0});
  EXPECT_EQ(done.summary, "Done");
  EXPECT_EQ(done.body, "All done\nDeleted files: 2 (3 KB)\nCopied files: 5 (1 MB)");
}

TEST(RunEndNoticeTest, OnlyARunWithFailuresIsCritical) {
  const struct {
    const char* name;
    Icon icon;
    bool failed;
  } rows[] = {{"a report without failures", Icon::None, false}, {"a report with failures", Icon::Critical, true}};
  for (const auto& row : rows)
    EXPECT_EQ(NoticeOfRunEnd(Report(row.icon), {false, true, 0}).failed, row.failed) << row.name;
}

// Notification servers read markup in the body: a path stays a path.
TEST(RunEndNoticeTest, APathInTheNoticeIsNoMarkup) {
  Message failed = Report(Icon::Critical);
  failed.prompt = "Errors occurred!\r\nNot copied:\t/a/<b> & c";
  EXPECT_EQ(NoticeOfRunEnd(failed, {false, true, 0}).body, "Errors occurred!\nNot copied: /a/&lt;b&gt; &amp; c");
}

}  // namespace
}  // namespace dd
