#include "plan/content_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "common/app.h"
#include "common/files.h"
#include "plan/comparison.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/op_record.h"

using namespace dd;
using namespace dd::test;

namespace {

constexpr int64_t kBase = 1600000000;

std::string At(int64_t offset) {
  return "@" + std::to_string(kBase + offset);
}

class ContentComparison : public ::testing::Test, public ProgramFixture<HookedScreen> {
 protected:
  ContentComparison() {
    MakeDirs(f1);
    MakeDirs(f2);
    app.Modes.CurrentBackupMode = {"", "=->", "=->", "<-=", "=->", "<-="};
  }

  // The status of each item below F1, by its name.
  std::map<std::string, std::string> Statuses() {
    app.ToDo.ToDoList.assign(1, std::string());
    ComparePair({app.Options, app.Modes.CurrentBackupMode, app.Files, app.ToDo.ToDoList, app.Run, app.messages}, f1, f2,
                0, 0);
    std::map<std::string, std::string> statuses;
    for (const std::string& line : app.ToDo.ToDoList)
      if (const std::optional<OpRecord> r = OpRecord::Parse(line))
        statuses[r->PathF1.substr(f1.size() + 1)] = r->Status;
    return statuses;
  }

  std::string f1 = dir / "F1", f2 = dir / "F2";
};

// Pairs of copies of one size and time: the same, differing at an exact tie or with one copy later
// within the tolerance, empty, differing in the second or in the first block of a large file; a folder.
class HiddenChanges : public ContentComparison {
 protected:
  HiddenChanges() {
    std::string bigChanged = big;
    bigChanged.back() = 'y';  // in the second block
    std::string bigChangedFirst = big;
    bigChangedFirst.front() = 'y';  // in the first block, found while the second is read
    MakeTree(dir.path(),
             {"F1/same=abc" + At(0), "F2/same=abc" + At(0), "F1/tie=abc" + At(0), "F2/tie=abd" + At(0),
              "F1/f1later=abc" + At(2), "F2/f1later=abd" + At(0), "F1/f2later=abc" + At(0), "F2/f2later=abd" + At(3),
              "F1/empty=" + At(0), "F2/empty=" + At(0), "F1/big=" + big + At(0), "F2/big=" + bigChanged + At(0),
              "F1/dir/", "F2/dir/", "F1/bigfirst=" + big + At(0), "F2/bigfirst=" + bigChangedFirst + At(0)});
  }
  const std::string big = std::string(3 * ContentReader::kBlock / 2, 'x');
};

TEST_F(HiddenChanges, WithoutTheOptionCopiesOfOneSizeAtOneTimeAreIdentical) {
  const std::map<std::string, std::string> statuses = {
      {"same", "Identical"},  {"tie", "Identical"}, {"f1later", "Identical"},  {"f2later", "Identical"},
      {"empty", "Identical"}, {"big", "Identical"}, {"bigfirst", "Identical"}, {"dir", "Identical"}};
  EXPECT_EQ(Statuses(), statuses);
  EXPECT_EQ(app.Run.Compared.Files, 0);
  EXPECT_EQ(app.Run.Compared.BytesRead, 0);
}

TEST_F(HiddenChanges, ADifferingContentMakesTheLaterCopyNewer) {
  app.Options.CompareContent = true;
  const std::map<std::string, std::string> statuses = {
      {"same", "Identical"},  {"tie", "Newer in F1"}, {"f1later", "Newer in F1"},  {"f2later", "Newer in F2"},
      {"empty", "Identical"}, {"big", "Newer in F1"}, {"bigfirst", "Newer in F1"}, {"dir", "Identical"}};
  EXPECT_EQ(Statuses(), statuses);
}

TEST_F(HiddenChanges, EveryFileOfSomeContentIsReadUpToItsFirstDifference) {
  app.Options.CompareContent = true;
  Statuses();
  EXPECT_EQ(app.Run.Compared.Files, 6);
  EXPECT_EQ(app.Run.Compared.Differing, 5);
  EXPECT_EQ(app.Run.Compared.BytesRead, 2 * (4 * 3 + 2 * int64_t(big.size())));
  EXPECT_EQ(app.Run.Compared.Unreadable, 0);
}

TEST_F(ContentComparison, ReadsNeitherThroughALinkNorOutsideTheRoot) {
  MakeTree(dir.path(),
           {"outside/a=abd" + At(0), "F1/linked/a=abc" + At(0), "F1/plain=abc" + At(0), "F2/plain=abd" + At(0)});
  // F2's folder became a link to a folder outside after the scan listed a file in it.
  ASSERT_EQ(::symlink((dir / "outside").c_str(), (f2 + "/linked").c_str()), 0);
  app.Options.CompareContent = true;
  ContentCheck check(f1, f2, app.Run.Compared, [] { return true; });
  EXPECT_EQ(check.Compare("/linked/a", 3), ContentResult::Unreadable);
  EXPECT_EQ(check.Compare("/plain", 3), ContentResult::Different);
  EXPECT_EQ(check.Compare("/plain", 4), ContentResult::Unreadable);  // no longer the size that was seen
  EXPECT_EQ(app.Run.Compared.Unreadable, 2);
}

TEST_F(ContentComparison, ALinkIsNeverReadForItsContent) {
  MakeTree(dir.path(), {"F1/l->x", "F2/l->y"});
  ContentCheck check(f1, f2, app.Run.Compared, [] { return true; });
  EXPECT_EQ(check.Compare("/l", 1), ContentResult::Same);
  EXPECT_EQ(app.Run.Compared.Files, 0);
}

TEST(ContentStatus, ADifferenceMakesTheLaterCopyNewerATieGoesToF1) {
  const struct {
    ContentResult content;
    int64_t m1, m2;
    std::string status;
  } cases[] = {
      {ContentResult::Same, 5, 9, "Identical"},        {ContentResult::Unreadable, 5, 9, "Identical"},
      {ContentResult::Different, 5, 9, "Newer in F2"}, {ContentResult::Different, 9, 5, "Newer in F1"},
      {ContentResult::Different, 7, 7, "Newer in F1"},
  };
  for (const auto& c : cases) EXPECT_EQ(StatusAfterContent(c.content, c.m1, c.m2), c.status);
}

}  // namespace
