#include "common/paths.h"

#include <gtest/gtest.h>

using namespace dd;

TEST(Paths, APathSplitsIntoItsParts) {
  struct Row {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Row rows[] = {
      {"/home/ann/list.txt", "/home/ann", "list.txt"},
      {"/list.txt", "/", "list.txt"},
      {"jobs/a.ddk", "jobs", "a.ddk"},
      {"a.ddk", ".", "a.ddk"},
      // A trailing separator names the folder itself, not an empty entry inside it.
      {"/home/ann/photos/", "/home/ann", "photos"},
      {"/home/ann/photos//", "/home/ann", "photos"},
      {"/", "/", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(FolderOfPath(row.path), row.folder);
    EXPECT_EQ(NameOfPath(row.path), row.name);
  }
}

TEST(Paths, TheFolderBelowARootIsEmptyForAnEntryInTheRoot) {
  struct Row {
    const char* rel;
    const char* folder;
  };
  const Row rows[] = {{"a/b/c", "a/b"}, {"c", ""}, {"/a/b", "/a"}, {"/a", ""}, {"a/b/", "a"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rel);
    EXPECT_EQ(FolderBelowRoot(row.rel), row.folder);
  }
}
