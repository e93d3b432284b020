#include <gtest/gtest.h>

#include "todo/filters.h"

using namespace dd;

TEST(DroppedNames, AFilterBoxTakesTheNameOfEachDroppedEntry) {
  struct Row {
    const char* name;
    const char* path;
    const char* line;
  };
  const Row rows[] = {
      {"file", "/home/ann/notes.txt", "notes.txt\r\n"},
      // A folder may come with its trailing separator: its name is still what the box takes.
      {"folder with a separator", "/home/ann/photos/", "photos\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FilterTextWithDroppedFiles("", "[placeholder]", {row.path}), row.line);
  }
}
