// Items moved or renamed on one side: one rename on the other, never a loss.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "apply/execute_app.h"
#include "apply/execute_sub.h"
#include "apply/move_ops.h"
#include "common/files.h"
#include "flows/simulate.h"
#include "support/clock_tick.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "support/test_support.h"
#include "todo/record_texts.h"
#include "todo/todo_list.h"

using namespace dd;
using namespace dd::test;
using Lines = std::vector<std::string>;

namespace {

constexpr const char* kAt = "@1600000000";

ino_t Inode(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// `count` files below `folder` (of the sides s and t of the fixture's dir), of sizes apart.
void AddFiles(std::vector<std::string>& entries, const std::string& folder, int count, const std::string& stem = "f") {
  for (int i = 0; i < count; ++i)
    entries.push_back(folder + "/" + stem + std::to_string(i) + ".jpg=" + std::string(i + 1, 'p') + kAt);
}

}  // namespace

namespace {

// A folder of 300 files that F1 has renamed, simulated; returns the target files' inodes.
std::vector<ino_t> SimulatedRenamedFolder(FlowFixture& f) {
  f.SetMirrorMode();
  std::vector<std::string> entries;
  AddFiles(entries, "s/holiday 2026", 300);
  AddFiles(entries, "t/DCIM", 300);
  MakeTree(f.dir.path(), entries);
  std::vector<ino_t> before;
  for (int i = 0; i < 300; ++i) before.push_back(Inode(f.dir / ("t/DCIM/f" + std::to_string(i) + ".jpg")));
  Simulated(f, {});
  return before;
}

}  // namespace

TEST(Moves, ARenamedFolderIsPlannedAsOneMove) {
  FlowFixture f;
  SimulatedRenamedFolder(f);
  EXPECT_FALSE(f.screen.find("[Mass deletion]"));
  const Lines records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], Rec("= m", "Identical", f.dir / "s/holiday 2026", f.dir / "t/DCIM"));
  EXPECT_EQ(f.app.Run.Pending(OpKind::Move, Side::F2).Count, 1);
  EXPECT_EQ(f.app.Run.Pending.Count(OpKind::Delete) + f.app.Run.Pending.Count(OpKind::New), 0);
}

TEST(Moves, ARenamedFolderIsRenamedWithItsFiles) {
  FlowFixture f;
  const std::vector<ino_t> before = SimulatedRenamedFolder(f);
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(Listing(f.dir / "t"), Listing(f.dir / "s"));
  for (int i = 0; i < 300; ++i)
    EXPECT_EQ(Inode(f.dir / ("t/holiday 2026/f" + std::to_string(i) + ".jpg")), before[i]) << i;
  EXPECT_EQ(f.app.Run.MovedCount, 1);
  EXPECT_TRUE(f.ListFileRecords().empty());
}

// Where the mode copies to F1 and deletes in F1, the move is made in F1.
TEST(Moves, FilesMovedBetweenFoldersAreRenamedOnTheSideTheModeChanges) {
  const struct {
    const char* what;
    const char* mode[5];
    const char* code;
    const char* moved;     // side and path of the item before
    const char* expected;  // after
  } rows[] = {
      {"in F2", {"= =", "=->", "= x", "=->", "= ="}, "= m", "t/a/x.jpg", "t/b/x.jpg"},
      {"in F1", {"= =", "x =", "<-=", "= =", "<-="}, "m =", "s/b/x.jpg", "s/a/renamed.jpg"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FlowFixture f;
    f.SetMode(row.mode[0], row.mode[1], row.mode[2], row.mode[3], row.mode[4]);
    const bool inF2 = std::string(row.code) == "= m";
    MakeTree(f.dir.path(), {std::string("s/b/x.jpg=photo") + kAt,
                            std::string(inF2 ? "t/a/x.jpg" : "t/a/renamed.jpg") + "=photo" + kAt,
                            inF2 ? "t/b/" : "s/a/", "s/keep=k", "t/keep=k"});
    const ino_t inode = Inode(f.dir / row.moved);
    Simulated(f, {});
    // The move and the deletion of the folder it empties.
    const Lines records = f.ListFileRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(
        std::count_if(records.begin(), records.end(),
                      [&](const std::string& r) { return r.find(std::string("\t") + row.code + "\t") != r.npos; }),
        1);
    EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
    EXPECT_EQ(Inode(f.dir / row.expected), inode);
    EXPECT_FALSE(PathExists(f.dir / row.moved));
    EXPECT_EQ(Listing(f.dir / "s"), Listing(f.dir / "t"));
  }
}

// Same size and same time are where the search starts; only the same bytes make a move. Otherwise the
// target would keep another picture under the new name and look identical.
TEST(Moves, OnlyTheSameBytesMakeAMove) {
  FlowFixture f;
  f.SetMirrorMode();
  Simulated(f, {std::string("s/IMG_0002.raw=burst two") + kAt, std::string("t/IMG_0001.raw=burst one") + kAt});
  const Lines records = f.ListFileRecords();
  ASSERT_EQ(records.size(), 2u);
  for (const std::string& r : records) EXPECT_EQ(r.find("\t= m\t"), r.npos) << r;
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(Listing(f.dir / "t"), Listing(f.dir / "s"));
}

// A move into a folder that only F1 has makes it; a folder a move empties is deleted after the move.
TEST(Moves, AMoveComesAfterTheFoldersItNeedsBeforeThoseItEmpties) {
  FlowFixture f;
  f.SetMirrorMode();
  Simulated(f, {std::string("s/new/deeper/x.jpg=photo") + kAt, "s/new/other.txt=other",
                std::string("t/old/x.jpg=photo") + kAt, "t/old/stale.txt=stale!"});
  // Copies of new, new/deeper and new/other.txt; the move; deletions of old/stale.txt and old.
  ASSERT_EQ(f.ListFileRecords().size(), 6u);
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 0}));
  EXPECT_EQ(Listing(f.dir / "t"), Listing(f.dir / "s"));
  EXPECT_TRUE(f.ListFileRecords().empty());
}

// Nothing is lost: what the move would have met stays as it is.
TEST(Moves, WhatChangedSincePlanningStopsTheMove) {
  const struct {
    const char* what;
    bool folder;
    const char* after;  // written after planning
  } rows[] = {
      {"a file at the new place", false, "t/b/x.jpg"},
      {"the moved file rewritten", false, "t/a/x.jpg"},
      {"a file where the folder goes", true, "t/b/x.jpg"},
      {"a file put into the moved folder", true, "t/a/x.jpg/late.txt"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FlowFixture f;
    f.SetMirrorMode();
    if (row.folder)
      Simulated(f, {std::string("s/b/x.jpg/in.txt=in") + kAt, std::string("t/a/x.jpg/in.txt=in") + kAt, "t/b/"});
    else
      Simulated(f, {std::string("s/b/x.jpg=photo") + kAt, std::string("t/a/x.jpg=photo") + kAt, "t/b/"});
    ASSERT_EQ(f.ListFileRecords().size(), 2u);  // the move and the deletion of the emptied folder a
    f.app.ToDo.PlannedAtNs = NextClockTick();
    NextClockTick();
    const Lines targetBefore = Listing(f.dir / "t");
    WriteFile(f.dir / row.after, "put here later", 1600000000);

    EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 2}));
    Lines expected = targetBefore;
    const std::string written = std::string(row.after).substr(2) + "=put here later";
    std::erase_if(expected, [&](const std::string& e) { return written.starts_with(e.substr(0, e.find('=')) + "="); });
    expected.push_back(written);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Listing(f.dir / "t"), expected);
    EXPECT_EQ(f.ListFileRecords().size(), 2u);
    EXPECT_EQ(f.app.Run.ChangedItems.size(), 2u);  // the move, and the folder it did not empty
  }
}

// The way when no rename is possible (another file system): a copy, then the old entry goes, all of it
// only when all of it was copied and is still as it was.
TEST(Moves, CopyThenDeleteDeletesOnlyWhatItCopiedComplete) {
  TempDir dir;
  MakeTree(dir.path(),
           {"from/tree/a.txt=a", "from/tree/sub/b.txt=b", "from/tree/sub/link->a.txt", "from/one.txt=one", "to/"});
  const int from = ::open((dir / "from").c_str(), O_RDONLY | O_DIRECTORY);
  const int to = ::open((dir / "to").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(from, 0);
  ASSERT_GE(to, 0);
  struct stat tree {
  }, one{};
  ASSERT_EQ(::fstatat(from, "tree", &tree, AT_SYMLINK_NOFOLLOW), 0);
  ASSERT_EQ(::fstatat(from, "one.txt", &one, AT_SYMLINK_NOFOLLOW), 0);

  EXPECT_EQ(CopyThenDelete(from, "tree", tree, to, "moved", nullptr), MoveResult::Copied);
  EXPECT_EQ(Listing(dir / "to"),
            (Lines{"moved/", "moved/a.txt=a", "moved/sub/", "moved/sub/b.txt=b", "moved/sub/link->a.txt"}));
  EXPECT_EQ(Listing(dir / "from"), Lines{"one.txt=one"});

  // The same name taken: nothing happens. A source that is no longer what was checked stays beside its copy.
  EXPECT_EQ(CopyThenDelete(from, "one.txt", one, to, "moved", nullptr), MoveResult::TargetTaken);
  WriteFile(dir / "from/one.txt", "two");
  EXPECT_EQ(CopyThenDelete(from, "one.txt", one, to, "one.txt", nullptr), MoveResult::SourceChanged);
  EXPECT_EQ(ReadTextFile(dir / "from/one.txt"), "two");
  EXPECT_EQ(ReadTextFile(dir / "to/one.txt"), "two");
  ::close(from);
  ::close(to);
}

namespace {

// A run with renames, moves and new files, killed at a random moment (or ended before it). The fixture holds the
// trees as the kill left them; returns whether the kill came before the run's end.
bool KilledRun(FlowFixture& f, std::mt19937& random, Lines& source) {
  f.SetMirrorMode();
  std::vector<std::string> entries;
  AddFiles(entries, "s/renamed", 40);
  AddFiles(entries, "t/original", 40);
  AddFiles(entries, "s/moved", 40, "g");
  AddFiles(entries, "t", 40);
  for (int i = 0; i < 40; ++i) entries.push_back("s/new/n" + std::to_string(i) + "=" + std::string(20000 + i, 'n'));
  Simulated(f, entries);
  source = Listing(f.dir / "s");
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) _exit(ExecuteList(f.app).failures == 0 ? 0 : 1);
  ::usleep(std::uniform_int_distribution<int>(0, 60000)(random));
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status);
}

// Rounds for at least three and at most 12 kills, for about three seconds.
template <class Check>
void KilledRuns(Check check) {
  std::mt19937 random(20261207);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int rounds = 0, killedEarly = 0;
  while (rounds < 3 || (std::chrono::steady_clock::now() < end && rounds < 12)) {
    SCOPED_TRACE(rounds);
    ++rounds;
    FlowFixture f;
    Lines source;
    killedEarly += KilledRun(f, random, source);
    check(f, source);
  }
  EXPECT_GT(killedEarly, 0) << "no run was killed before its end";
}

}  // namespace

// Killed at any moment, a run with moves leaves every moved file at its old place or its new one.
TEST(Moves, AKilledRunLosesNothing) {
  KilledRuns([](FlowFixture& f, const Lines& source) {
    EXPECT_EQ(Listing(f.dir / "s"), source);
    for (int i = 0; i < 40; ++i) {
      const std::string n = std::to_string(i), content = std::string(i + 1, 'p');
      EXPECT_TRUE(ReadTextFile(f.dir / ("t/original/f" + n + ".jpg")) == content ||
                  ReadTextFile(f.dir / ("t/renamed/f" + n + ".jpg")) == content)
          << n;
      EXPECT_TRUE(ReadTextFile(f.dir / ("t/f" + n + ".jpg")) == content ||
                  ReadTextFile(f.dir / ("t/moved/g" + n + ".jpg")) == content)
          << n;
    }
  });
}

TEST(Moves, TheRunAfterAKilledOneFinishesTheWork) {
  KilledRuns([](FlowFixture& f, const Lines& source) {
    Simulate(f.app);
    ExecuteList(f.app);
    EXPECT_EQ(Listing(f.dir / "t"), source);
  });
}

// A mode that does not both copy an item to its new place and delete it at its old one moves nothing.
TEST(Moves, AMoveNeedsACopyToTheNewPlaceWithADeletionAtTheOld) {
  const struct {
    const char* what;
    const char* mode[5];
    std::size_t records;
  } rows[] = {
      {"two-way: both copied", {"= =", "=->", "<-=", "=->", "<-="}, 2},
      {"no deletion", {"= =", "=->", "= =", "=->", "= ="}, 1},
      {"deletion without copy", {"= =", "= =", "= x", "=->", "= ="}, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FlowFixture f;
    f.SetMode(row.mode[0], row.mode[1], row.mode[2], row.mode[3], row.mode[4]);
    Simulated(f, {std::string("s/new.jpg=photo") + kAt, std::string("t/old.jpg=photo") + kAt});
    const Lines records = f.ListFileRecords();
    EXPECT_EQ(records.size(), row.records);
    for (const std::string& r : records) EXPECT_EQ(r.find("Move"), std::string::npos) << r;
  }
}

// The list of a run killed after its rename and before it was saved: the move is found done, not failed.
TEST(Moves, AMoveLooksWhetherItWasMadeAlready) {
  const struct {
    const char* what;
    bool renamed;  // else deleted
    int failures;
  } rows[] = {{"renamed already", true, 0}, {"gone from both places", false, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FlowFixture f;
    f.SetMirrorMode();
    Simulated(f, {std::string("s/new.jpg=photo") + kAt, std::string("t/old.jpg=photo") + kAt, "s/k=k", "t/k=k"});
    ASSERT_EQ(f.ListFileRecords().size(), 1u);
    if (row.renamed)
      std::filesystem::rename(f.dir / "t/old.jpg", f.dir / "t/new.jpg");
    else
      std::filesystem::remove(f.dir / "t/old.jpg");
    EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, row.failures}));
    EXPECT_EQ(f.app.Run.MovedCount, row.renamed ? 1 : 0);
    EXPECT_EQ(f.ListFileRecords().size(), row.renamed ? 0u : 1u);
  }
}

// A hand-made move record may reach nothing outside its pair, nor through a link.
TEST(Moves, AMoveRecordThatLeavesItsPairIsRefused) {
  FlowFixture f;
  MakeTree(f.dir.path(), {"elsewhere/keep.txt=k", "s/a.txt=k", "t/b.txt=k", "t/x->../elsewhere"});
  f.AddSourceTargetPair();
  const std::string s = f.dir / "s", t = f.dir / "t";
  f.app.ToDo.ToDoList = {
      Rec("= m", "Identical", s + "/a.txt", t + "/../elsewhere/keep.txt", "1", "1"),  // out of the pair
      Rec("= m", "Identical", s + "/../elsewhere/keep.txt", t + "/b.txt", "1", "1"),  // into another place
      Rec("= m", "Identical", s + "/a.txt", t + "/x/keep.txt", "1", "1"),             // through a link
      Rec("= m", "Identical", s + "/x/b.txt", t + "/b.txt", "1", "1"),                // to a place through a link
  };
  RebuildToDoRows(f.app.ToDo, f.app.screen);
  CountOperations(f.app.ToDo.ToDoList, f.app.Run);
  EXPECT_EQ(ExecuteList(f.app), (RunResult{RunOutcome::Done, 4}));
  EXPECT_EQ(Listing(f.dir / "elsewhere"), Lines{"keep.txt=k"});
  EXPECT_EQ(Listing(f.dir / "t"), (Lines{"b.txt=k", "x->../elsewhere"}));
  EXPECT_EQ(f.ListFileRecords().size(), 4u);
}
