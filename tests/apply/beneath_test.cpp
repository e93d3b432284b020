#include "apply/beneath.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using namespace dd::test;

// Both ways of resolving: openat2 and the part-by-part walk.
class Beneath : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseComponentWalk(GetParam()); }
  void TearDown() override { UseComponentWalk(false); }
};

namespace {

// dir/root with folders, links and a file below it, and a folder beside it the links lead to.
struct Tree {
  Tree() {
    MakeTree(dir.path(),
             {"root/a/b/", "outside/c/", "root/a/link->../outside", "root/a/inner-link->b", "root/a/file=f"});
    root = ::open((dir / "root").c_str(), O_RDONLY | O_DIRECTORY);
  }
  ~Tree() {
    if (root >= 0) ::close(root);
  }
  TempDir dir;
  int root = -1;
};

}  // namespace

TEST_P(Beneath, OnlyAPlainFolderOpens) {
  Tree t;
  ASSERT_GE(t.root, 0);
  // A link that stays inside is refused as well.
  for (const char* rel : {"a/b", "a/link", "a/link/c", "a/inner-link", "a/file", "a/../a", "a/b/"}) {
    const int fd = OpenFolderBeneath(t.root, rel);
    EXPECT_EQ(fd >= 0, rel == std::string("a/b")) << rel;
    if (fd >= 0) ::close(fd);
  }
}

TEST_P(Beneath, MissingFoldersAreMadeOnTheWay) {
  Tree t;
  ASSERT_GE(t.root, 0);
  int created = 0;
  const int fd = OpenFolderCreating(t.root, "a/new/deeper", created);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(created, 2);
  if (fd >= 0) ::close(fd);
}

TEST_P(Beneath, NoFolderIsMadeThroughALink) {
  Tree t;
  ASSERT_GE(t.root, 0);
  int created = 0;
  EXPECT_LT(OpenFolderCreating(t.root, "a/link/made", created), 0);
  EXPECT_EQ(Listing(t.dir / "outside"), std::vector<std::string>{"c/"});
}

INSTANTIATE_TEST_SUITE_P(BothWays, Beneath, testing::Bool());

TEST(IsPlainRelativePath, RefusesEveryOddPath) {
  EXPECT_TRUE(IsPlainRelativePath("a/b c/d.txt"));
  using namespace std::string_view_literals;
  for (std::string_view bad : {""sv, "/a"sv, "a/"sv, "a//b"sv, "./a"sv, "a/."sv, "a/../b"sv, ".."sv, "a\0b"sv})
    EXPECT_FALSE(IsPlainRelativePath(bad)) << bad;
}
