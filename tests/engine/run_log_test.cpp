#include "engine/run_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "common/files.h"
#include "common/format.h"
#include "support/test_support.h"

namespace dd {
namespace {

const std::string kSeparator(50, '-');

// The written date and time change with the clock; they are checked for their
// form and then replaced by fixed words.
std::string MaskDateTime(const std::string& log) {
  static const std::regex dateTime(R"(\[Date\]\t\t\d\d\.\d\d\.\d{4}\t\d\d:\d\d:\d\d\r\n)");
  return std::regex_replace(log, dateTime, "[Date]\t\tDATE\tTIME\r\n");
}

std::string Entry(int number, const std::string& operation, const std::string& summary) {
  return "\r\n[Nr]\t\t" + std::to_string(number) + "\r\n[Operation]\t" + operation + "\r\n\r\n[Time]\t\t1 sec\r\n" +
         "[Date]\t\t01.01.2020\t00:00:00\r\n" + summary + "\r\n\r\n";
}

// A log of `count` entries numbered from count - 1 (newest) down to 0.
std::string LogOf(int count) {
  std::string log;
  for (int n = count - 1; n >= 0; --n) log += kSeparator + Entry(n, "Simulate", "s");
  return log;
}

std::size_t CountEntries(const std::string& log) {
  std::size_t n = 0;
  for (std::size_t pos = log.find(kSeparator); pos != std::string::npos; pos = log.find(kSeparator, pos + 1)) ++n;
  return n;
}

struct RunLog : ::testing::Test {
  test::TempDir dir;
  const std::string log = dir / "Log.txt";
};

TEST_F(RunLog, TwoEntriesNewestFirstByteForByte) {
  LogSpeichern(log, "Simulate", 100.0, 102.5, "line one\r\nline two");
  LogSpeichern(log, "Execute", 200.0, 290.0, "done");
  const std::string expected = kSeparator + "\r\n[Nr]\t\t1\r\n[Operation]\tExecute\r\n\r\n[Time]\t\t" +
                               FormatDuration(90.0) + "\r\n[Date]\t\tDATE\tTIME\r\ndone\r\n\r\n" + kSeparator +
                               "\r\n[Nr]\t\t0\r\n[Operation]\tSimulate\r\n\r\n[Time]\t\t" + FormatDuration(2.5) +
                               "\r\n[Date]\t\tDATE\tTIME\r\nline one\r\nline two\r\n\r\n";
  EXPECT_EQ(MaskDateTime(ReadTextFile(log)), expected);
}

TEST_F(RunLog, NumberFollowsTheNewestEntry) {
  const std::string old = kSeparator + Entry(7, "Execute", "a") + kSeparator + Entry(6, "Simulate", "b");
  test::WriteFile(log, old);
  LogSpeichern(log, "Simulate", 0, 1, "c");
  const std::string written = ReadTextFile(log);
  EXPECT_EQ(written.find(kSeparator + "\r\n[Nr]\t\t8\r\n"), 0u);
  EXPECT_TRUE(written.size() > old.size() && written.compare(written.size() - old.size(), old.size(), old) == 0);

  // A newest entry without a number counts as 0.
  test::WriteFile(log, kSeparator + "\r\nno number\r\n");
  LogSpeichern(log, "Simulate", 0, 1, "d");
  EXPECT_EQ(ReadTextFile(log).find(kSeparator + "\r\n[Nr]\t\t1\r\n"), 0u);
}

TEST_F(RunLog, LongLogIsCutBack) {
  test::WriteFile(log, LogOf(5001));
  LogSpeichern(log, "Simulate", 0, 1, "new");
  std::string written = ReadTextFile(log);
  EXPECT_EQ(CountEntries(written), 2501u);
  EXPECT_EQ(written.find(kSeparator + "\r\n[Nr]\t\t5001\r\n"), 0u);
  // The 2500 newest old entries stay: 5000 down to 2501.
  EXPECT_NE(written.find("[Nr]\t\t2501\r\n"), std::string::npos);
  EXPECT_EQ(written.find("[Nr]\t\t2500\r\n"), std::string::npos);

  test::WriteFile(log, LogOf(5000));
  LogSpeichern(log, "Simulate", 0, 1, "new");
  written = ReadTextFile(log);
  EXPECT_EQ(CountEntries(written), 5001u);
  EXPECT_NE(written.find("[Nr]\t\t0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace dd
