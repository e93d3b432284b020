#include <sys/stat.h>

#include <cerrno>
#include <map>

#include "apply/copy_verify.h"
#include "apply/disk_flush.h"
#include "apply/statistics_labels.h"
#include "apply/walk_steps.h"

namespace dd {

namespace {

constexpr const char* kNotAsSourceReason = "[Copy differs from its source]";
constexpr const char* kNotAsSourceFailure = "[Reason: copy differs from its source]";

// Flushes each file system of the waiting copies once: file system -> 0 when
// the data is on the disk, else the errno.
std::map<dev_t, int> FlushBatchFileSystems(WalkState& walk) {
  std::map<dev_t, int> flushed;
  for (WaitingCopy& w : walk.batch) {
    if (w.dev == 0) {
      // The folder's file system was not known: the copy's own tells it.
      struct stat st {};
      if (::fstat(w.prepared.out, &st) != 0) continue;
      w.dev = st.st_dev;
    }
    if (!flushed.count(w.dev)) flushed[w.dev] = !walk.steps.flush || FlushFileSystem(w.prepared.out) == 0 ? 0 : errno;
  }
  return flushed;
}

// Names one waiting copy whose data is on the disk, after reading it back when the job asks.
void NameCopy(WalkState& walk, WaitingCopy& w) {
  auto& [copy, prepared, dev, folder, sourceDigest] = w;
  BeforeReplace toTrash;
  if (walk.scope.Options.DeletedToTrash)
    toTrash = [&walk, &p = prepared, &c = copy] { return walk.ToTrash(p.folder, p.name, c.targetPath); };
  walk.Touched(prepared.folder, dev);
  errno = 0;
  walk.noTrash = false;
  TamperWithCopyForTest(prepared.out);
  if (sourceDigest && !CopyMatchesSource(walk.Reader(), prepared.out, *sourceDigest, walk.run.Verified)) {
    DiscardCopy(prepared);
    walk.Named(kNotAsSourceReason, copy.targetPath);
    walk.Fail(*copy.item, copy.targetPath, walk.ReasonText(kNotAsSourceFailure));
  } else if (!CommitCopy(prepared, toTrash)) {
    if (prepared.nameTaken && copy.isNew)
      walk.Changed(*copy.item, copy.targetPath);
    else
      walk.FailAfterTrash(*copy.item, copy.targetPath, errno);
  } else {
    if (prepared.replaces) walk.Unlinked(prepared.target);
    CountCopy(walk, copy);
  }
}

}  // namespace

void FlushCopyBatch(WalkState& walk) {
  std::map<dev_t, int> flushed = FlushBatchFileSystems(walk);
  for (WaitingCopy& w : walk.batch) {
    const bool onDisk = w.dev != 0 && flushed[w.dev] == 0;
    if (onDisk) {
      NameCopy(walk, w);
    } else {
      errno = 0;
      walk.noTrash = false;
      DiscardCopy(w.prepared);
      walk.Fail(*w.copy.item, w.copy.targetPath, w.dev != 0 ? flushed[w.dev] : EIO);
    }
  }
  walk.batch.clear();
  walk.batchBytes = 0;
  ShowPendingStatistics(walk.run, walk.context.rates, walk.context.messages);
}

}  // namespace dd
