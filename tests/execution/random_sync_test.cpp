// Generated pairs of trees, synchronised and checked against what the mode
// promises, also when the run is stopped half-way and run again.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "commands/execute_flow.h"
#include "commands/simulate.h"
#include "common/files.h"
#include "execution/execute_sub.h"
#include "oplist/backup_mode.h"
#include "support/flow_fixture.h"

namespace fs = std::filesystem;
using namespace dd;
using dd::test::FlowFixture;

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
    std::string rel = e.path().string().substr(root.size());
    Entry entry;
    entry.folder = e.is_directory();
    if (!entry.folder) {
      entry.content = ReadTextFile(e.path().string());
      entry.mtime = test::GetMTime(e.path().string());
    }
    tree[rel] = entry;
  }
  return tree;
}

void WriteTree(const std::string& root, const Tree& tree) {
  test::MakeDirs(root);
  for (const auto& [rel, e] : tree) {
    if (e.folder)
      test::MakeDirs(root + rel);
    else
      test::WriteFile(root + rel, e.content, e.mtime);
  }
}

// Two trees over a small name space, so that items meet on both sides, with
// times equal, a little apart (within the tolerance) or far apart, and now and
// then a file on one side where the other side has a folder of that name.
std::pair<Tree, Tree> Generate(unsigned seed, bool conflicts = true) {
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
    Entry e1{false, "one " + path + std::to_string(pick(3)), base};
    Entry e2{false, "two " + path + std::to_string(pick(3)), base + deltas[pick(5)]};
    bool inF1 = pick(4) != 0, inF2 = pick(4) != 0;
    if (!inF1 && !inF2) inF1 = true;
    switch (conflicts ? pick(8) : 2 + pick(6)) {
      case 0:
        t1[path] = e1, t2[path] = folder;
        break;
      case 1:
        t1[path] = folder, t2[path] = e2;
        break;
      case 2:
      case 3:
        folders.push_back(path);
        if (inF1) t1[path] = folder;
        if (inF2) t2[path] = folder;
        break;
      default:
        if (inF1) t1[path] = e1;
        if (inF2) t2[path] = e2;
    }
  }
  // Every item's folders exist on its side.
  for (Tree* t : {&t1, &t2}) {
    Tree parents;
    for (const auto& [rel, e] : *t)
      for (auto pos = rel.find('/', 1); pos != std::string::npos; pos = rel.find('/', pos + 1))
        parents[rel.substr(0, pos)] = folder;
    for (auto& [rel, e] : parents) (*t)[rel] = e;
  }
  return {t1, t2};
}

// What the incremental mirror promises: the target ends as the source, except
// that a target file as new as the source's (within the tolerance of 5 s) or
// newer keeps its own version.
Tree ExpectedMirror(const Tree& src, const Tree& dst) {
  Tree expected = src;
  for (auto& [rel, e] : expected) {
    auto it = dst.find(rel);
    if (!e.folder && it != dst.end() && !it->second.folder && it->second.mtime > e.mtime - 5) e = it->second;
  }
  return expected;
}

void RunMirror(unsigned seed, bool stopHalfWay) {
  FlowFixture f;
  auto [t1, t2] = Generate(seed);
  const std::string s = f.dir / "s", d = f.dir / "d";
  WriteTree(s, t1);
  WriteTree(d, t2);
  f.AddPair(s, d);
  f.SetMirrorMode();

  Simulate(f.app);
  if (stopHalfWay) {
    int64_t yields = 0, stopAt = 3 + seed % 7;
    f.screen.onYield = [&] {
      if (f.app.Run.ExecutionRunning && ++yields == stopAt) Stoppen(f.app);
    };
    ExecuteSub(f.app);
    f.screen.onYield = nullptr;
    f.app.Run.StopRequested = false;
    // Whatever the stop left: the rest of the saved list finishes the job.
    EXPECT_EQ(ExecuteSub(f.app).failures, 0) << "seed " << seed;
  } else {
    EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 0})) << "seed " << seed;
  }
  EXPECT_EQ(ReadTree(d), ExpectedMirror(t1, t2)) << "seed " << seed;
  EXPECT_EQ(ReadTree(s), t1) << "seed " << seed;  // the source is never touched

  Simulate(f.app);
  EXPECT_EQ(f.app.Run.PendingOps(), 0) << "seed " << seed;
}

// Both ways: every item ends on both sides, the newer copy of a file wins, and
// copies within the tolerance stay as they are.
void RunBothWays(unsigned seed) {
  FlowFixture f;
  auto [t1, t2] = Generate(seed, false);
  const std::string s = f.dir / "s", d = f.dir / "d";
  WriteTree(s, t1);
  WriteTree(d, t2);
  f.AddPair(s, d);
  f.SetMode(kDoNothing, kCopyToTarget, kCopyToSource, kCopyToTarget, kCopyToSource);
  Simulate(f.app);
  EXPECT_EQ(ExecuteSub(f.app), (RunResult{RunOutcome::Done, 0})) << "seed " << seed;

  Tree e1 = t2, e2 = t1;  // items of one side only, copied over
  for (auto& [rel, e] : t1) e1[rel] = e;
  for (auto& [rel, e] : t2) e2[rel] = e;
  for (auto& [rel, a] : t1) {
    auto it = t2.find(rel);
    if (a.folder || it == t2.end()) continue;
    const Entry& b = it->second;
    if (a.mtime > b.mtime + 4) e2[rel] = a;
    if (b.mtime > a.mtime + 4) e1[rel] = b;
  }
  EXPECT_EQ(ReadTree(s), e1) << "seed " << seed;
  EXPECT_EQ(ReadTree(d), e2) << "seed " << seed;
}

}  // namespace

TEST(RandomBothWays, EveryItemOnBothSidesNewestWins) {
  for (unsigned seed = 1; seed <= 30; ++seed) RunBothWays(seed);
}

TEST(RandomMirror, TargetEndsAsTheSource) {
  for (unsigned seed = 1; seed <= 30; ++seed) RunMirror(seed, false);
}

TEST(RandomMirror, StoppedAndResumedRunEndsTheSame) {
  for (unsigned seed = 1; seed <= 30; ++seed) RunMirror(seed, true);
}
