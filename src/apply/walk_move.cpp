#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "apply/move_ops.h"
#include "apply/walk_steps.h"

namespace dd {

namespace {

constexpr const char* kUnsteadyReason = "[Changed while being copied]";
constexpr const char* kUnsteadyFailure = "[Reason: changed while being copied]";
constexpr const char* kOutsideReason = "[Reason: outside the job's folders]";

// The two places of a move on the side it happens on.
struct MovePlaces {
  bool inF2;
  int64_t size;
  std::string_view oldPath;
  std::string newPath;
  std::string_view root, modelRoot;  // the side moved in, and the other side, which shows the new place
  std::string_view oldRel, newRel;
};

MovePlaces PlacesOf(const Item& item) {
  MovePlaces p;
  p.inF2 = item.rec.Code == kMoveInTarget;
  p.oldPath = p.inF2 ? item.rec.PathF2 : item.rec.PathF1;
  p.size = p.inF2 ? item.rec.SizeF2 : item.rec.SizeF1;
  const MovePaths& m = item.move;
  p.root = p.inF2 ? m.RootF2 : m.RootF1;
  p.modelRoot = p.inF2 ? m.RootF1 : m.RootF2;
  p.oldRel = p.inF2 ? m.RelF2 : m.RelF1;
  p.newRel = p.inF2 ? m.RelF1 : m.RelF2;
  p.newPath = std::string(p.oldPath.substr(0, p.oldPath.size() - p.oldRel.size())).append(p.newRel);
  return p;
}

void CountMove(WalkState& walk, const Item& item, bool inF2, int64_t size, bool byCopy) {
  RunStatistics& run = walk.run;
  run.Pending.Take(OpKind::Move, inF2 ? Side::F2 : Side::F1, size);
  run.MovedCount += 1;
  run.MovedBytes += size;
  run.MovedByCopy += byCopy;
  run.LastOperationKind = OpKind::Move;
  const MovePaths& m = item.move;
  const std::string_view from = inF2 ? m.RelF2 : m.RelF1, to = inF2 ? m.RelF1 : m.RelF2;
  walk.screen.OperationDone(OpKind::Move, inF2 ? Side::F2 : Side::F1, std::string(from) + " -> " + std::string(to));
  walk.Done(item);
}

// Moved already (by a run that ended before it could say so): at its new place, of the kind the other
// side has there. Gone altogether: not for this run to guess.
void FinishMovedAlready(WalkState& walk, const Item& item, const MovePlaces& p) {
  const Entry there = walk.FindAt(p.root, p.newRel), model = walk.FindAt(p.modelRoot, p.newRel);
  const bool folder = there.exists && S_ISDIR(there.st.st_mode);
  if (there.exists && model.exists && folder == S_ISDIR(model.st.st_mode) && (folder || there.st.st_size == p.size))
    return CountMove(walk, item, p.inF2, p.size, false);
  walk.Changed(item, p.oldPath);
}

// Moves the entry found at the old place.
void MoveFound(WalkState& walk, const Item& item, const MovePlaces& p, const Entry& from) {
  RunStatistics& run = walk.run;
  const bool isFolder = S_ISDIR(from.st.st_mode);
  // The folders of the new place may push the old one's out of the kept handles: the move holds its own.
  OpenFile fromDir;
  fromDir.fd = ::fcntl(from.folder, F_DUPFD_CLOEXEC, 0);
  int created = 0;
  const Entry to = walk.FindAt(p.root, p.newRel, true, &created, false, p.modelRoot);
  if (run.TreeStatisticsValid) (p.inF2 ? run.TreeFoldersF2 : run.TreeFoldersF1) += created;
  if (fromDir.fd < 0 || to.folder < 0) return walk.Fail(item, fromDir.fd < 0 ? p.oldPath : p.newPath, errno);
  const MoveResult result =
      MoveEntry(fromDir.fd, from.name, from.st, to.folder, to.name, &run.Lifecycle.StopFlag(), walk.turn);
  const int moveError = errno;
  const bool moved = result == MoveResult::Renamed || result == MoveResult::Copied;
  if (moved) walk.Touched(to.folder);
  // Kept handles of folders below the old place would now lead into the new one.
  if (isFolder) walk.handles.Release();
  if (result == MoveResult::TargetTaken) return walk.Changed(item, p.newPath);
  if (result == MoveResult::SourceChanged) {
    walk.Named(kUnsteadyReason, p.oldPath);
    return walk.Fail(item, p.oldPath, walk.ReasonText(kUnsteadyFailure));
  }
  if (!moved) return walk.Fail(item, p.oldPath, moveError);
  CountMove(walk, item, p.inF2, p.size, result == MoveResult::Copied);
}

}  // namespace

void MoveItem(WalkState& walk, const Item& item) {
  if (item.rec.Code != kMoveInTarget && item.rec.Code != kMoveInSource) return;
  const MovePlaces p = PlacesOf(item);
  if (!item.valid) return walk.Fail(item, p.oldPath, walk.ReasonText(kOutsideReason));
  const Entry from = walk.FindAt(p.root, p.oldRel);
  walk.Show(p.oldPath, p.size, from.exists && S_ISDIR(from.st.st_mode));
  if (!from.reachable) return walk.Changed(item, p.oldPath);
  if (!from.exists) return FinishMovedAlready(walk, item, p);
  const bool isFolder = S_ISDIR(from.st.st_mode);
  // A folder has no size; its change time tells of names added or taken in it since the plan.
  if (walk.steps.recheck &&
      (isFolder ? p.size != 0 || !walk.AsPlanned(from.st, from.st.st_size) : !walk.AsPlanned(from.st, p.size)))
    return walk.Changed(item, p.oldPath);
  MoveFound(walk, item, p, from);
}

}  // namespace dd
