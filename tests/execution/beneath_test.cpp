#include "execution/beneath.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "common/files.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::TempDir;

namespace {

// Both ways of resolving: openat2 and the part-by-part walk.
class Beneath : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseComponentWalk(GetParam()); }
  void TearDown() override { UseComponentWalk(false); }
};

bool Opens(int root, const char* rel) {
  int fd = OpenFolderBeneath(root, rel);
  if (fd >= 0) ::close(fd);
  return fd >= 0;
}

}  // namespace

TEST_P(Beneath, NoLinkIsFollowedAndNothingLeavesTheRoot) {
  TempDir dir;
  test::MakeDirs(dir / "root/a/b");
  test::MakeDirs(dir / "outside/c");
  ::symlink("../outside", (dir / "root/a/link").c_str());
  ::symlink("b", (dir / "root/a/inner-link").c_str());
  test::WriteFile(dir / "root/a/file", "f");
  int root = ::open((dir / "root").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(root, 0);
  EXPECT_TRUE(Opens(root, "a/b"));
  EXPECT_FALSE(Opens(root, "a/link"));
  EXPECT_FALSE(Opens(root, "a/link/c"));
  EXPECT_FALSE(Opens(root, "a/inner-link"));  // even one that stays inside
  EXPECT_FALSE(Opens(root, "a/file"));
  EXPECT_FALSE(Opens(root, "a/../a"));
  EXPECT_FALSE(Opens(root, "a/b/"));

  int created = 0;
  int fd = OpenFolderCreating(root, "a/new/deeper", created);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(created, 2);
  ::close(fd);
  EXPECT_LT(OpenFolderCreating(root, "a/link/made", created), 0);
  EXPECT_FALSE(PathExists(dir / "outside/made"));
  ::close(root);
}

INSTANTIATE_TEST_SUITE_P(BothWays, Beneath, testing::Bool());

TEST(IsPlainRelativePath, RefusesEveryOddPath) {
  EXPECT_TRUE(IsPlainRelativePath("a/b c/d.txt"));
  using namespace std::string_view_literals;
  for (std::string_view bad : {""sv, "/a"sv, "a/"sv, "a//b"sv, "./a"sv, "a/."sv, "a/../b"sv, ".."sv, "a\0b"sv})
    EXPECT_FALSE(IsPlainRelativePath(bad)) << bad;
}
