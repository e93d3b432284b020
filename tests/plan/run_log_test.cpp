#include "plan/run_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "common/files.h"
#include "common/format.h"
#include "support/test_support.h"

namespace dd {
namespace {

const std::string kSeparator(50, '-');

std::string Entry(int number, const std::string& operation, const std::string& time, const std::string& summary) {
  return kSeparator + "\r\n[Nr]\t\t" + std::to_string(number) + "\r\n[Operation]\t" + operation + "\r\n\r\n[Time]\t\t" +
         time + "\r\n[Date]\t\tDATE\tTIME\r\n" + summary + "\r\n\r\n";
}

// The log as written, its date and time checked for their form and then replaced by fixed words.
std::string Written(const std::string& log) {
  static const std::regex dateTime(R"(\[Date\]\t\t\d\d\.\d\d\.\d{4}\t\d\d:\d\d:\d\d\r\n)");
  return std::regex_replace(ReadTextFile(log), dateTime, "[Date]\t\tDATE\tTIME\r\n");
}

// A log of `count` entries numbered from count - 1 (newest) down to `last`.
std::string LogOf(int count, int last = 0) {
  std::string log;
  for (int n = count - 1; n >= last; --n) log += Entry(n, "Simulate", "1 sec", "s");
  return log;
}

struct RunLog : ::testing::Test {
  test::TempDir dir;
  const std::string log = dir / "Log.txt";
};

TEST_F(RunLog, EntriesNewestFirstByteForByteNumberedAfterTheNewest) {
  WriteRunLogEntry(log, "Simulate", 100.0, 102.5, "line one\r\nline two");
  WriteRunLogEntry(log, "Execute", 200.0, 290.0, "done");
  EXPECT_EQ(Written(log), Entry(1, "Execute", FormatDuration(90.0), "done") +
                              Entry(0, "Simulate", FormatDuration(2.5), "line one\r\nline two"));

  const std::string old = Entry(7, "Execute", "1 sec", "a") + Entry(6, "Simulate", "1 sec", "b");
  test::WriteFile(log, old);
  WriteRunLogEntry(log, "Simulate", 0, 1, "c");
  EXPECT_EQ(Written(log), Entry(8, "Simulate", FormatDuration(1), "c") + old);
  // A newest entry without a number counts as 0.
  test::WriteFile(log, kSeparator + "\r\nno number\r\n");
  WriteRunLogEntry(log, "Simulate", 0, 1, "d");
  EXPECT_EQ(ReadTextFile(log).find(kSeparator + "\r\n[Nr]\t\t1\r\n"), 0u);
}

TEST_F(RunLog, LongLogIsCutBackToTheNewestHalf) {
  const std::string added = Entry(5000, "Simulate", FormatDuration(1), "new");
  test::WriteFile(log, LogOf(5000));
  WriteRunLogEntry(log, "Simulate", 0, 1, "new");
  EXPECT_EQ(Written(log), added + LogOf(5000));
  test::WriteFile(log, LogOf(5001));
  WriteRunLogEntry(log, "Simulate", 0, 1, "new");
  EXPECT_EQ(Written(log), Entry(5001, "Simulate", FormatDuration(1), "new") + LogOf(5001, 2501));
}

}  // namespace
}  // namespace dd
