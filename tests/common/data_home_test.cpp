#include "common/data_home.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"

using namespace dd;
using dd::test::ScopedEnv;

TEST(DataHome, OnlyAnAbsoluteDataHomeIsTakenElseTheHomesShareFolder) {
  struct Row {
    const char* name;
    const char* dataHome;  // nullptr: unset
    const char* home;
    const char* folder;
  };
  const Row rows[] = {
      {"absolute", "/data", "/home/ann", "/data"},
      {"trailing separator", "/data/", "/home/ann", "/data"},
      {"unset", nullptr, "/home/ann", "/home/ann/.local/share"},
      {"empty", "", "/home/ann", "/home/ann/.local/share"},
      {"relative", "data", "/home/ann", "/home/ann/.local/share"},
      // No folder that depends on where the program runs.
      {"relative home", nullptr, "ann", ""},
      {"no home", nullptr, nullptr, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ScopedEnv data("XDG_DATA_HOME", row.dataHome), home("HOME", row.home);
    EXPECT_EQ(DataHomeFolder(), row.folder);
  }
}
