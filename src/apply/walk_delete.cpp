#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "apply/walk_steps.h"
#include "common/clock.h"

namespace dd {

namespace {

constexpr const char* kOutsideReason = "[Reason: outside the job's folders]";

// Removes what the entry holds: an empty folder, or a file (to the trash when the job asks).
// False with errno set when it stays.
bool RemoveEntry(WalkState& walk, const Entry& e, bool isFolder, std::string_view path) {
  if (isFolder) return ::unlinkat(e.folder, e.name.c_str(), AT_REMOVEDIR) == 0;
  if (walk.scope.Options.DeletedToTrash) return walk.ToTrash(e.folder, e.name, path);
  return ::unlinkat(e.folder, e.name.c_str(), 0) == 0;
}

void CountTreeAfterDeletion(RunStatistics& run, bool inF1, bool isFolder, int64_t size) {
  if (!run.TreeStatisticsValid) return;
  if (isFolder) {
    (inF1 ? run.TreeFoldersF1 : run.TreeFoldersF2) -= 1;
  } else {
    (inF1 ? run.TreeFilesF1 : run.TreeFilesF2) -= 1;
    (inF1 ? run.TreeSizeF1 : run.TreeSizeF2) -= size;
  }
}

// Deletes the entry that still exists; false when the record stays (failed or changed).
bool DeleteExisting(WalkState& walk, const Item& item, const Entry& e, bool inF1, bool folderPhase) {
  const std::string_view path = inF1 ? item.rec.PathF1 : item.rec.PathF2;
  const int64_t size = inF1 ? item.rec.SizeF1 : item.rec.SizeF2;
  const bool isFolder = S_ISDIR(e.st.st_mode);
  // A file keeps the size the record holds; a folder has none. A link that
  // replaced a folder has the length of its text, so it never passes as one.
  if (walk.steps.recheck && (isFolder != folderPhase || (isFolder ? size != 0 : !walk.AsPlanned(e.st, size)))) {
    walk.Changed(item, path);
    return false;
  }
  errno = 0;
  walk.noTrash = false;
  if (!RemoveEntry(walk, e, isFolder, path)) {
    // Only an empty folder goes: what is left in it the plan did not delete.
    if (isFolder && (errno == ENOTEMPTY || errno == EEXIST))
      walk.Changed(item, path);
    else
      walk.FailAfterTrash(item, path, errno);
    return false;
  }
  if (!isFolder) walk.Unlinked(e.st);
  walk.Done(item);
  walk.Report(OpKind::Delete, inF1, item.paths.Rel, isFolder);
  CountTreeAfterDeletion(walk.run, inF1, isFolder, size);
  return true;
}

}  // namespace

void DeleteItem(WalkState& walk, const Item& item, bool folderPhase) {
  RunStatistics& run = walk.run;
  if (run.FirstDeleteTime == 0) run.FirstDeleteTime = MonotonicSeconds();
  const bool inF1 = item.rec.OpText == kOpDeleteInF1;
  const std::string_view path = inF1 ? item.rec.PathF1 : item.rec.PathF2;
  const int64_t size = inF1 ? item.rec.SizeF1 : item.rec.SizeF2;
  if (!item.valid) return walk.Fail(item, path, walk.ReasonText(kOutsideReason));
  const Entry e = walk.Find(item, inF1);
  walk.Show(path, size, e.exists && S_ISDIR(e.st.st_mode));
  if (!e.reachable) return walk.Changed(item, path);
  if (!e.exists) {
    // Gone already: done, unless both sides are gone, when the record is dropped uncounted.
    const Entry other = walk.Find(item, !inF1);
    walk.Done(item);
    if (!other.exists && other.reachable) return;
  } else if (!DeleteExisting(walk, item, e, inF1, folderPhase)) {
    return;
  }
  run.Pending.Take(OpKind::Delete, inF1 ? Side::F1 : Side::F2, size);
  run.DeletedBytes += size;
  run.LastOperationKind = OpKind::Delete;
  run.DeletedCount += 1;
}

}  // namespace dd
