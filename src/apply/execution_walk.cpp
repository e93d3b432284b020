#include "apply/execution_walk.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "apply/walk_steps.h"

namespace dd {

namespace {

bool IsMove(const Item& item) {
  return item.rec.OpText == kOpMoveInF1 || item.rec.OpText == kOpMoveInF2;
}

// Splits the record's paths into a pair's roots and the part below them; the
// folders opened are those the roots resolved to when the list was planned.
void PlaceBelowRoots(const ExecutionScope& scope, Item& item) {
  if (IsMove(item)) {
    item.valid = SplitMovePaths(scope.Sources, scope.Targets, item.rec.PathF1, item.rec.PathF2, item.move);
    if (!item.valid) return;
    item.move.RootF1 = scope.OpenSources[item.move.Pair];
    item.move.RootF2 = scope.OpenTargets[item.move.Pair];
    return;
  }
  item.valid = SplitRecordPaths(scope.Sources, scope.Targets, item.rec.PathF1, item.rec.PathF2, item.paths);
  if (!item.valid) return;
  item.paths.RootF1 = scope.OpenSources[item.paths.Pair];
  item.paths.RootF2 = scope.OpenTargets[item.paths.Pair];
}

// The records are copied once, into one buffer: what the walk reads stays
// as it was at the start whatever the window does to the list meanwhile.
std::vector<Item> LoadItems(WalkState& walk) {
  const ToDoState& toDo = walk.context.toDo;
  const auto& list = toDo.ToDoList;
  auto inList = [&](int64_t index) { return index >= 0 && index < static_cast<int64_t>(list.size()); };
  std::size_t total = 0;
  for (int64_t index : toDo.Rows)
    if (inList(index)) total += list[index].size();
  walk.records.reserve(total);  // no reallocation below: the views stay valid
  std::vector<Item> items;
  items.reserve(toDo.Rows.size());
  for (int64_t index : toDo.Rows) {
    if (!inList(index)) continue;
    const std::size_t start = walk.records.size();
    walk.records += list[index];
    const std::optional<OpRecordView> record = OpRecordView::Parse(std::string_view(walk.records).substr(start));
    if (!record) continue;
    PlaceBelowRoots(walk.scope, items.emplace_back(Item{index, *record, {}, false}));
  }
  return items;
}

// The items of each phase; they point into the loaded items, which stay as they are.
struct Phases {
  std::vector<Item*> fileDeletions, folderDeletions, moves, copies;
};

Phases SortIntoPhases(WalkState& walk, std::vector<Item>& items) {
  Phases phases;
  phases.copies.reserve(items.size());
  std::size_t sorted = 0;
  for (Item& item : items) {
    // Sorting looks at every deletion on disk: a long list still gives the window its turns.
    if (++sorted % 1000 == 0) walk.context.messages.Yield();
    if (item.rec.OpText == kOpDeleteInF1 || item.rec.OpText == kOpDeleteInF2) {
      bool folder = false;
      if (item.valid) {
        const Entry e = walk.Find(item, item.rec.OpText == kOpDeleteInF1);
        folder = e.exists && S_ISDIR(e.st.st_mode);
      }
      (folder ? phases.folderDeletions : phases.fileDeletions).push_back(&item);
    } else if (item.rec.OpText == kOpCopyToF1 || item.rec.OpText == kOpCopyToF2) {
      phases.copies.push_back(&item);
    } else if (IsMove(item)) {
      phases.moves.push_back(&item);
    }
  }
  // Deepest first, so that a folder is empty when its turn comes.
  std::stable_sort(phases.folderDeletions.begin(), phases.folderDeletions.end(), [](const Item* a, const Item* b) {
    return std::count(a->paths.Rel.begin(), a->paths.Rel.end(), '/') >
           std::count(b->paths.Rel.begin(), b->paths.Rel.end(), '/');
  });
  return phases;
}

// Carries out the items of one phase; false when a stop ended it.
template <class Step>
bool RunPhase(WalkState& walk, const std::vector<Item*>& items, Step step) {
  for (Item* item : items) {
    walk.context.messages.Yield();
    if (walk.run.Lifecycle.StopRequested()) return false;
    step(*item);
    walk.pruner.Tick(item->index);
    walk.ShowStatistics(item == items.back());
  }
  // A folder deleted in this phase must not be reached through a kept handle in the next.
  walk.handles.Release();
  return true;
}

}  // namespace

int RunExecutionWalk(ExecutionContext& context) {
  WalkState walk(context);
  std::vector<Item> items = LoadItems(walk);
  const Phases phases = SortIntoPhases(walk, items);
  // Moves after the file deletions (a name freed may be a move's new place) and before the folder
  // deletions (a folder a move empties is deleted after it).
  bool go = RunPhase(walk, phases.fileDeletions, [&](Item& item) { DeleteItem(walk, item, false); });
  go = go && RunPhase(walk, phases.moves, [&](Item& item) { MoveItem(walk, item); });
  go = go && RunPhase(walk, phases.folderDeletions, [&](Item& item) { DeleteItem(walk, item, true); });
  go = go && RunPhase(walk, phases.copies, [&](Item& item) { CopyItem(walk, item); });
  // Copies already written are named even after a stop: they are complete.
  FlushCopyBatch(walk);
  walk.pruner.Flush(-1);
  walk.handles.Release();
  walk.FlushTouchedFileSystems();
  return walk.failures;
}

}  // namespace dd
