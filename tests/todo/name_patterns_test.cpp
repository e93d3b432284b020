#include "todo/name_patterns.h"

#include <gtest/gtest.h>

namespace dd {
namespace {

TEST(NamePatterns, OnlyLinesWithAStarOrQuestionMarkArePatterns) {
  const struct {
    std::string line;
    bool pattern;
  } cases[] = {
      {"*.tmp", true},
      {"a?c", true},
      {"/build/*", true},
      // Saved jobs used these as pieces of paths: they stay so.
      {".tmp", false},
      {"[draft]", false},
      {"\\Temp\\", false},
      {"/sub/", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNamePattern(c.line), c.pattern) << c.line;
}

TEST(NamePatterns, MatchTheWholeNameOrTheWholePathBelowTheRoot) {
  const struct {
    std::string pattern, below;
    bool matches;
  } cases[] = {
      {"*.tmp", "a.tmp", true},
      {"*.tmp", "sub/deep/a.tmp", true},
      {"*.tmp", "notes.tmp.txt", false},  // a piece of the name is not enough
      {"*.tmp", "x.tmp/a.txt", false},    // a folder on the way is not the name
      {"*.tmp", "x.tmp", true},           // the folder's own record is
      {"*.tmp", ".tmp", true},            // a leading dot is an ordinary character
      {"?.txt", "a.txt", true},
      {"?.txt", "ab.txt", false},
      {"?.txt", "sub/a.txt", true},
      {"report-[0-9].doc", "report-7.doc", true},
      {"report-[0-9].doc", "report-x.doc", false},
      {"*", "any/thing", true},
      {"build/*", "build/a.o", true},
      {"build/*", "build/deep/a.o", true},  // '*' spans folders
      {"build/*", "src/build/a.o", false},  // anchored at the root
      {"build/*", "build", false},
      {"/build/*", "build/a.o", true},
      {"*/cache/*", "a/cache/b", true},
      {"*/cache/*", "cache/b", false},
      {"\xe4*.txt", "\xe4rger.txt", true},  // bytes as they are
      {"A*.txt", "a.txt", false},           // case counts here: the filter upper-cases both when it does not
  };
  for (const auto& c : cases)
    EXPECT_EQ(NamePatternMatches(c.pattern, c.below), c.matches) << c.pattern << " ~ " << c.below;
}

TEST(NamePatterns, UpperCaseKeepsTheNamesOfCharacterClasses) {
  EXPECT_EQ(UpperCasePattern("*.tmp[[:digit:]]x"), "*.TMP[[:digit:]]X");
  EXPECT_EQ(UpperCasePattern("a[:b"), "A[:B");
}

TEST(NamePatterns, PathBelowTheLongestRootItLiesIn) {
  const std::vector<std::string> roots = {"/data", "/data/photos/", "/"};
  const struct {
    std::string path, below;
  } cases[] = {
      {"/data/a.txt", "a.txt"},
      {"/data/photos/2024/b.jpg", "2024/b.jpg"},
      {"/database/c.txt", "database/c.txt"},  // "/data" is no folder of it: only "/" is
  };
  for (const auto& c : cases) EXPECT_EQ(PathBelowRoots(c.path, roots), c.below) << c.path;
  EXPECT_EQ(PathBelowRoots("/x/y", {}), "x/y");
}

}  // namespace
}  // namespace dd
