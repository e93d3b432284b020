// The classification of sorted entry lines built in memory: no disk is read.
#include "plan/classification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/state.h"
#include "plan/scanner.h"
#include "plan/sorted_entries.h"
#include "plan/unlisted_areas.h"

using namespace dd;

namespace {

constexpr int64_t kAt = 1600000000;

// One entry of a tree: "/sub" a folder, "/sub/a.txt" a file (its folder listed before it).
struct Entry {
  std::string path;
  int64_t size = -1;  // -1: a folder
  int64_t modified = kAt;
};

ScanResult Tree(const std::vector<Entry>& entries) {
  ScanResult tree;
  tree.Root = "/root";
  for (const Entry& e : entries) {
    if (e.size < 0) {
      tree.Folders.push_back(e.path);
      continue;
    }
    const std::size_t slash = e.path.rfind('/');
    const std::string folder = e.path.substr(0, slash), name = e.path.substr(slash + 1);
    uint32_t index = 0;
    while (tree.Folders[index] != folder) ++index;
    tree.Files.push_back({e.size, e.modified, tree.Names.Add(name), index, static_cast<uint16_t>(name.size())});
  }
  return tree;
}

// Every status plans an operation of its own, so each item shows with its code.
const BackupModeDef kEveryStatus{"", "=->", "=->", "<-=", "x =", "= x"};

// Notes what the walk hands on as "key status code".
class Recorder : public ClassificationObserver {
 public:
  explicit Recorder(const SortedEntries& lines) : lines_(lines) {}
  void Planned(const ClassifiedItem& item) override {
    std::string key;
    lines_.KeyInto(item.Line, key);
    planned.push_back(key + " " + std::string(item.Status) + " " + item.Code);
  }
  std::vector<std::string> planned;

 private:
  const SortedEntries& lines_;
};

std::vector<std::string> Classify(const std::vector<Entry>& f1, const std::vector<Entry>& f2,
                                  const BackupModeDef& mode = kEveryStatus) {
  const ScanResult t1 = Tree(f1), t2 = Tree(f2);
  const SortedEntries lines(t1, t2);
  Recorder recorder(lines);
  JobOptions options;  // 5 seconds of tolerance and the daylight-saving hour
  EXPECT_TRUE(ClassifyEntries(lines, UnlistedAreas(t1, t2), mode, options, recorder));
  return recorder.planned;
}

}  // namespace

TEST(Classification, EachItemIsPlannedWithTheModesCodeForItsStatus) {
  const struct {
    const char* name;
    std::vector<Entry> f1, f2;
    std::vector<std::string> planned;
  } rows[] = {
      {"identical file", {{"/a", 3}}, {{"/a", 3, kAt + 4}}, {"/a Identical =->"}},
      {"identical folder", {{"/d"}}, {{"/d"}}, {"/d Identical =->"}},
      {"newer in F1", {{"/a", 3, kAt + 5}}, {{"/a", 3}}, {"/a Newer in F1 x ="}},
      {"newer in F2", {{"/a", 3}}, {{"/a", 3, kAt + 5}}, {"/a Newer in F2 = x"}},
      {"other size at the same time", {{"/a", 3}}, {{"/a", 4}}, {"/a Newer in F1 x ="}},
      {"file in F1 only", {{"/a", 3}}, {}, {"/a Extra in F1 =->"}},
      {"folder in F2 only", {}, {{"/d"}}, {"/d Extra in F2 <-="}},
      {"a folder in F1 only with its file", {{"/d"}, {"/d/x", 1}}, {}, {"/d Extra in F1 =->", "/d/x Extra in F1 =->"}},
      {"file against folder", {{"/c", 1}}, {{"/c"}}, {"/c Extra in F1 =->", "/c Extra in F2 <-="}},
      {"names differing in case",
       {{"/a.txt", 1}},
       {{"/A.txt", 1}},
       {"/A.txt Extra in F2 <-=", "/a.txt Extra in F1 =->"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Classify(row.f1, row.f2), row.planned);
  }
}

TEST(Classification, ACodeThatDoesNothingPlansNothing) {
  const BackupModeDef incremental{"", "= =", "=->", "= =", "=->", "= ="};
  EXPECT_EQ(Classify({{"/same", 1}, {"/only1", 1}}, {{"/same", 1}, {"/only2", 1}}, incremental),
            std::vector<std::string>{"/only1 Extra in F1 =->"});
}

TEST(Classification, NothingBelowAFolderThatCouldNotBeListedIsPlanned) {
  ScanResult t1 = Tree({{"/d"}, {"/d/x", 1}}), t2 = Tree({{"/d"}});
  t2.Unlisted.push_back(1);
  const SortedEntries lines(t1, t2);
  Recorder recorder(lines);
  EXPECT_TRUE(ClassifyEntries(lines, UnlistedAreas(t1, t2), kEveryStatus, JobOptions{}, recorder));
  EXPECT_EQ(recorder.planned, std::vector<std::string>{"/d Identical =->"});
}

TEST(Classification, TheContentDecidesOnlyForIdenticalFilesThatHoldBytes) {
  class ByContent : public Recorder {
   public:
    using Recorder::Recorder;
    std::string_view StatusOfIdentical(std::size_t) override {
      ++asked;
      return kStatusNewerInF2;
    }
    int asked = 0;
  };
  const ScanResult t1 = Tree({{"/d"}, {"/full", 3}, {"/empty", 0}, {"/newer", 3, kAt + 9}}),
                   t2 = Tree({{"/d"}, {"/full", 3}, {"/empty", 0}, {"/newer", 3}});
  const SortedEntries lines(t1, t2);
  ByContent observer(lines);
  ClassifyEntries(lines, UnlistedAreas(t1, t2), kEveryStatus, JobOptions{}, observer);
  EXPECT_EQ(observer.asked, 1);
  // The files of a folder sort before its subfolders.
  EXPECT_EQ(observer.planned, (std::vector<std::string>{"/empty Identical =->", "/full Newer in F2 = x",
                                                        "/newer Newer in F1 x =", "/d Identical =->"}));
}

TEST(Classification, AStopEndsTheWalkBeforeTheNextLine) {
  class StopsAfterOne : public Recorder {
   public:
    using Recorder::Recorder;
    bool Continue() override { return planned.empty(); }
  };
  const ScanResult t1 = Tree({{"/a", 1}, {"/b", 1}}), t2 = Tree({});
  const SortedEntries lines(t1, t2);
  StopsAfterOne observer(lines);
  EXPECT_FALSE(ClassifyEntries(lines, UnlistedAreas(t1, t2), kEveryStatus, JobOptions{}, observer));
  EXPECT_EQ(observer.planned, std::vector<std::string>{"/a Extra in F1 =->"});
}
