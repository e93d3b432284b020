#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>
#include <utility>

#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;

TEST(Files, WholeWritesProgramFilesReadOnlyWhenRegularAndWithinTheLimitAndLinksAreNoFolders) {
  TempDir dir;
  MakeTree(dir.path(), {"plain.txt=abc", "file=x", "real/", "link.txt->plain.txt", "link->real", "dangling->nowhere"});
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  // A write replaces the whole file and leaves no temporary file.
  ASSERT_TRUE(WriteTextFile("first version, longer", dir / "list.txt"));
  ASSERT_TRUE(WriteTextFile("a\r\nb", dir / "list.txt"));
  EXPECT_TRUE(MakePath(dir / "a/b/c"));
  EXPECT_FALSE(WriteTextFile("y", dir / "file/inner.txt"));
  EXPECT_FALSE(MakePath(dir / "file/sub"));
  EXPECT_FALSE(MakePath(""));
  EXPECT_EQ(Listing(dir.path()),
            (std::vector<std::string>{"a/", "a/b/", "a/b/c/", "dangling->nowhere", "file=x", "link->real",
                                      "link.txt->plain.txt", "list.txt=a\r\nb", "pipe=", "plain.txt=abc", "real/"}));
  EXPECT_EQ(ReadTextFile(dir / "missing.txt"), "");

  FileRead plain = ReadWholeFile(dir / "plain.txt", 3, false);
  EXPECT_EQ(plain.status, FileReadStatus::Read);
  EXPECT_EQ(plain.text, "abc");
  EXPECT_EQ(ReadWholeFile(dir / "plain.txt", 2, false).status, FileReadStatus::Damaged);
  EXPECT_EQ(ReadWholeFile(dir / "missing.txt", 9, false).status, FileReadStatus::Unreadable);
  // A pipe is never opened for a blocking read; opening it without a writer would hang.
  EXPECT_EQ(ReadWholeFile(dir / "pipe", 9, true).status, FileReadStatus::Damaged);
  EXPECT_EQ(ReadWholeFile("/dev/zero", kProgramFileLimit, true).status, FileReadStatus::Damaged);
  // A link is followed only when asked to (job files); program files are never links.
  EXPECT_EQ(ReadWholeFile(dir / "link.txt", 9, false).status, FileReadStatus::Damaged);
  EXPECT_EQ(ReadWholeFile(dir / "link.txt", 9, true).text, "abc");
  EXPECT_EQ(ReadTextFile(dir / "link.txt"), "");
  // Links are entries but never folders, even when they point at one or at nothing.
  EXPECT_TRUE(PathExists(dir / "link"));
  EXPECT_FALSE(IsDirectory(dir / "link"));
  EXPECT_TRUE(PathExists(dir / "dangling"));
}

TEST(Format, SizesDurationsAndDates) {
  // Sizes use thousand thresholds and binary divisors.
  const std::pair<double, const char*> sizes[] = {{999, "999 Byte"},    {-5, "-5 Byte"},
                                                  {1000, "1.0 KB"},     {999999, "976.6 KB"},
                                                  {1000000, "0.95 MB"}, {3221225472.0, "3.000 GB"}};
  for (const auto& [size, text] : sizes) EXPECT_EQ(FormatSize(size), text);
  // Rounding is half away from zero, without "-0", at every magnitude.
  const std::tuple<double, int, const char*> fixed[] = {{-0.04, 1, "0.0"},
                                                        {-0.05, 1, "-0.1"},
                                                        {2.5, 0, "3"},
                                                        {-2.5, 0, "-3"},
                                                        {0.125, 2, "0.13"},
                                                        {7, 3, "7.000"},
                                                        {1e20, 0, "100000000000000000000"}};
  for (const auto& [x, decimals, text] : fixed) EXPECT_EQ(FormatFixed(x, decimals), text) << x;
  const std::tuple<double, const char*, const char*> durations[] = {
      {12.34, "12.3 sec", "12 sec"}, {60, "60.0 sec", "60 sec"},     {61, "1.0 min", "1.0 min"},
      {90, "1.5 min", "1.5 min"},    {3600, "60.0 min", "60.0 min"}, {3601, "1.0 h", "1.0 h"},
      {7200, "2.0 h", "2.0 h"}};
  for (const auto& [seconds, text, shortText] : durations) {
    EXPECT_EQ(FormatDuration(seconds), text) << seconds;
    EXPECT_EQ(FormatDurationShort(seconds), shortText) << seconds;
  }
  EXPECT_EQ(FormatLocalDateTime(0), "01.01.1970 00:00:00");
  EXPECT_EQ(FormatLocalDateTime(1318331471), "11.10.2011 11:11:11");
  EXPECT_EQ(FormatLocalDateTime(-1), "31.12.1969 23:59:59");
}
