// Generated pairs of trees, synchronised and checked against what the mode
// promises, also when the run is stopped half-way and run again.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "apply/execute_app.h"
#include "apply/execute_sub.h"
#include "common/files.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "support/flow_fixture.h"
#include "todo/backup_mode.h"

namespace fs = std::filesystem;
using namespace dd;

namespace {

struct Entry {
  bool folder = false;
  std::string content;
  int64_t mtime = 0;
  bool operator==(const Entry&) const = default;
};
using Tree = std::map<std::string, Entry>;  // relative path -> entry

void PrintTo(const Entry& e, std::ostream* os) {
  *os << (e.folder ? "folder" : "file '" + e.content + "' @" + std::to_string(e.mtime));
}

Tree ReadTree(const std::string& root) {
  Tree tree;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    const std::string path = e.path().string();
    tree[path.substr(root.size())] =
        e.is_directory() ? Entry{true, "", 0} : Entry{false, ReadTextFile(path), test::GetMTime(path)};
  }
  return tree;
}

void WriteTree(const std::string& root, const Tree& tree) {
  test::MakeDirs(root);
  for (const auto& [rel, e] : tree)
    e.folder ? test::MakeDirs(root + rel) : test::WriteFile(root + rel, e.content, e.mtime);
}

// Two trees over a small name space, so that items meet on both sides, with
// times equal, a little apart (within the tolerance) or far apart, and now and
// then a file on one side where the other side has a folder of that name.
std::pair<Tree, Tree> Generate(unsigned seed, bool conflicts) {
  std::mt19937 rng(seed);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  const char* names[] = {"a", "b", "c", "A", "d e"};
  const int64_t deltas[] = {0, 2, 500, -500, 100000};
  const Entry folder{true, "", 0};
  Tree t1, t2;
  std::vector<std::string> folders = {""};
  for (int i = 0; i < 40; ++i) {
    const std::string parent = folders[pick(folders.size())];
    const std::string path = parent + "/" + names[pick(5)];
    if (parent.size() > 12 || t1.count(path) || t2.count(path)) continue;
    const int64_t base = 1500000000 + static_cast<int64_t>(pick(1000)) * 100;
    const Entry e1{false, "one " + path + std::to_string(pick(3)), base};
    const Entry e2{false, "two " + path + std::to_string(pick(3)), base + deltas[pick(5)]};
    bool inF1 = pick(4) != 0, inF2 = pick(4) != 0;
    if (!inF1 && !inF2) inF1 = true;
    const std::size_t kind = conflicts ? pick(8) : 2 + pick(6);
    if (kind == 0) {
      t1[path] = e1, t2[path] = folder;
    } else if (kind == 1) {
      t1[path] = folder, t2[path] = e2;
    } else {
      if (kind < 4) folders.push_back(path);
      if (inF1) t1[path] = kind < 4 ? folder : e1;
      if (inF2) t2[path] = kind < 4 ? folder : e2;
    }
  }
  // Every item's folders exist on its side.
  for (Tree* t : {&t1, &t2}) {
    Tree parents;
    for (const auto& [rel, e] : *t)
      for (auto pos = rel.find('/', 1); pos != std::string::npos; pos = rel.find('/', pos + 1))
        parents[rel.substr(0, pos)] = folder;
    t->insert(parents.begin(), parents.end());
  }
  return {t1, t2};
}

enum class Way { BothWays, Mirror, MirrorStopped };

// Both ways: every item ends on both sides, the newer copy of a file wins, and
// copies within the tolerance of 5 s stay as they are. Mirror: the target ends
// as the source, except that a target file as new as the source's or newer
// keeps its own version; the source is never touched.
std::pair<Tree, Tree> Expected(Way way, const Tree& t1, const Tree& t2) {
  Tree e1 = t1, e2 = t1;
  if (way == Way::BothWays) {
    e1.insert(t2.begin(), t2.end());
    e2 = t2;
    e2.insert(t1.begin(), t1.end());
  }
  for (auto& [rel, a] : t1) {
    auto it = t2.find(rel);
    if (a.folder || it == t2.end() || it->second.folder) continue;
    const Entry& b = it->second;
    if (way == Way::BothWays && b.mtime > a.mtime + 4) e1[rel] = b;
    e2[rel] = b.mtime > a.mtime - 5 ? b : a;
  }
  return {e1, e2};
}

class RandomSync : public testing::TestWithParam<Way> {};

}  // namespace

// The promise: the trees the mode says, with nothing left for a second simulation to find.
TEST_P(RandomSync, EndsAsTheModePromises) {
  const Way way = GetParam();
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    test::FlowFixture f;
    const auto [t1, t2] = Generate(seed, way != Way::BothWays);
    const std::string s = f.dir / "s", d = f.dir / "d";
    WriteTree(s, t1);
    WriteTree(d, t2);
    f.AddPair(s, d);
    if (way == Way::BothWays)
      f.SetMode(kDoNothing, kCopyToTarget, kCopyToSource, kCopyToTarget, kCopyToSource);
    else
      f.SetMirrorMode();
    Simulate(f.app);
    if (way == Way::MirrorStopped) {
      int64_t yields = 0, stopAt = 3 + seed % 7;
      f.screen.onYield = [&] {
        if (f.app.Run.Lifecycle.Execution() && ++yields == stopAt) RequestRunStop(f.app);
      };
      ExecuteList(f.app);
      f.screen.onYield = nullptr;
      // Whatever the stop left: the rest of the saved list finishes the job.
      EXPECT_EQ(ExecuteList(f.app).failures, 0);
    } else {
      EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
    }
    const auto [e1, e2] = Expected(way, t1, t2);
    EXPECT_EQ(ReadTree(s), e1);
    EXPECT_EQ(ReadTree(d), e2);
    Simulate(f.app);
    EXPECT_EQ(f.app.Run.PendingOps(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, RandomSync, testing::Values(Way::BothWays, Way::Mirror, Way::MirrorStopped));
