#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "apply/copy_verify.h"
#include "apply/folder_modes.h"
#include "apply/walk_steps.h"
#include "common/clock.h"
#include "plan/comparison.h"
#include "plan/content_check.h"

namespace dd {

namespace {

constexpr const char* kUnsteadyReason = "[Changed while being copied]";
constexpr const char* kUnsteadyFailure = "[Reason: changed while being copied]";
constexpr const char* kOutsideReason = "[Reason: outside the job's folders]";
constexpr const char* kSpecialFileReason = "[Reason: not a file, folder or link]";
constexpr const char* kNotAsSourceReason = "[Copy differs from its source]";
constexpr const char* kNotAsSourceFailure = "[Reason: copy differs from its source]";
constexpr int64_t kBatchBytes = int64_t{256} << 20;

// The status the two entries have now, by the rules of the comparison.
std::string_view StatusNow(const WalkState& walk, const Entry& f1, const Entry& f2) {
  if (S_ISDIR(f1.st.st_mode) && S_ISDIR(f2.st.st_mode)) return kStatusIdentical;
  if (S_ISDIR(f1.st.st_mode) || S_ISDIR(f2.st.st_mode)) return {};
  return StatusOfBoth(f1.st.st_mtim.tv_sec, f2.st.st_mtim.tv_sec, f1.st.st_size, f2.st.st_size, walk.scope.Options);
}

// Whether the two copies still stand as planned. Content compared in the simulation may have found
// copies of equal size and time to differ: the later one (a tie: F1's) is then still the newer.
bool StillPlanned(const WalkState& walk, const Entry& f1, const Entry& f2, std::string_view planned) {
  const std::string_view now = StatusNow(walk, f1, f2);
  if (now == planned) return true;
  return walk.scope.Options.CompareContent && now == kStatusIdentical && S_ISREG(f1.st.st_mode) &&
         S_ISREG(f2.st.st_mode) &&
         StatusAfterContent(ContentResult::Different, f1.st.st_mtim.tv_sec, f2.st.st_mtim.tv_sec) == planned;
}

// The digest of a copy's source, for reading the copy back: from the handle held open, else opened anew.
std::optional<ContentDigest> DigestOfSource(WalkState& walk, const OpenFile& in, const Entry& source) {
  const int fd = in.fd >= 0 ? in.fd : OpenSource(source.folder, source.name.c_str());
  if (fd < 0) return std::nullopt;
  std::optional<ContentDigest> digest = SourceDigest(walk.Reader(), fd, walk.run.Verified);
  if (fd != in.fd) ::close(fd);
  return digest;
}

// Writes the copy of a regular file unnamed; it waits in the batch for its name.
void QueueFileCopy(WalkState& walk, const CopyJob& copy, const Entry& source, const Entry& target, OpenFile& in,
                   const struct stat* old, std::string_view sourcePath) {
  PreparedCopy prepared;
  prepared.folderLent = true;
  const std::atomic<bool>* stop = &walk.run.Lifecycle.StopFlag();
  const std::shared_ptr<LentFolder> folder = walk.Lend(*copy.item, copy.toF2, target.folder);
  const bool ok =
      folder &&
      (in.fd >= 0 ? PrepareCopyFrom(in.fd, source.st, folder->fd, target.name, old, stop, prepared, walk.turn)
                  : PrepareCopyAt(source.folder, source.name, folder->fd, target.name, old, stop, prepared, walk.turn));
  const int error = errno;
  std::optional<ContentDigest> digest;
  if (ok && walk.scope.Options.VerifyCopies) digest = DigestOfSource(walk, in, source);
  in.Close();
  if (!ok && prepared.sourceChanged) {
    walk.Named(kUnsteadyReason, sourcePath);
    return walk.Fail(*copy.item, sourcePath, walk.ReasonText(kUnsteadyFailure));
  }
  if (!ok) return walk.Fail(*copy.item, copy.targetPath, error);
  if (walk.scope.Options.VerifyCopies && !digest) {
    DiscardCopy(prepared);
    walk.Named(kNotAsSourceReason, copy.targetPath);
    return walk.Fail(*copy.item, copy.targetPath, walk.ReasonText(kNotAsSourceFailure));
  }
  walk.batch.push_back({copy, std::move(prepared), walk.handles.Device(target.folder), folder, digest});
  walk.batchBytes += source.st.st_size;
  if (walk.batch.size() >= walk.batchFiles || walk.batchBytes >= kBatchBytes) FlushCopyBatch(walk);
}

// Copies a link (or anything else that is not a regular file or folder) in one step.
void CopyInPlace(WalkState& walk, const CopyJob& copy, const Entry& source, const Entry& target) {
  const struct stat* old = target.exists ? &target.st : nullptr;
  BeforeReplace toTrash;
  if (walk.scope.Options.DeletedToTrash)
    toTrash = [&] { return walk.ToTrash(target.folder, target.name, copy.targetPath); };
  errno = 0;
  walk.noTrash = false;
  if (!CopyEntryAt(source.folder, source.name, source.st, target.folder, target.name, old,
                   &walk.run.Lifecycle.StopFlag(), toTrash, walk.turn))
    return walk.FailAfterTrash(*copy.item, copy.targetPath, errno);
  if (old) walk.Unlinked(*old);
  walk.Touched(target.folder);
  CountCopy(walk, copy);
}

// A folder record asks for the folder only.
void MakeFolder(WalkState& walk, const CopyJob& copy, const Entry& source, const Entry& target) {
  RunStatistics& run = walk.run;
  if (!target.exists) {
    if (!MakeFolderLike(target.folder, target.name.c_str(), &source.st))
      return walk.Fail(*copy.item, copy.targetPath, errno);
    if (run.TreeStatisticsValid) (copy.toF2 ? run.TreeFoldersF2 : run.TreeFoldersF1) += 1;
    walk.Touched(target.folder);
  }
  CountCopy(walk, copy);
}

// The two sides of a copy as the walk found them.
struct CopySides {
  OpenFile in;  // the source held open when it is a file with content
  Entry source, target;
  bool nameChecksItself = false;
};

// Looks at both sides. A new file takes its name only where there is none (see CommitCopy): whatever
// appeared there meanwhile is found then, so it is not looked for first.
void FindSides(WalkState& walk, const Item& item, const CopyJob& copy, std::string_view sourcePath, CopySides& s) {
  // F1 is the source of a copy to F2.
  s.source = copy.size > 0 ? walk.OpenPlannedFile(item, copy.toF2, s.in) : walk.Find(item, copy.toF2);
  walk.Show(sourcePath, copy.size, s.source.exists && S_ISDIR(s.source.st.st_mode));
  s.nameChecksItself = copy.isNew && ((s.source.exists && S_ISREG(s.source.st.st_mode)) || !walk.steps.recheck);
  s.target = walk.Find(item, !copy.toF2, false, nullptr, !s.nameChecksItself);
}

// A new item still finds no target (a folder already there is all a folder record asks for); a replacement
// still finds both in the relation that planned it.
bool StillAsPlanned(const WalkState& walk, const Item& item, const CopyJob& copy, const CopySides& s) {
  const Entry &source = s.source, &target = s.target;
  if (copy.isNew) return !target.exists || (copy.isFolder && S_ISDIR(target.st.st_mode));
  return target.exists &&
         StillPlanned(walk, copy.toF2 ? source : target, copy.toF2 ? target : source, item.rec.Status) &&
         (S_ISDIR(target.st.st_mode) || walk.AsPlanned(target.st, copy.sizeBefore));
}

// Carries out a copy whose sides are found and checked.
void CopyChecked(WalkState& walk, const CopyJob& copy, CopySides& s, std::string_view sourcePath) {
  const Item& item = *copy.item;
  RunStatistics& run = walk.run;
  if (!copy.isFolder && !S_ISREG(s.source.st.st_mode) && !S_ISLNK(s.source.st.st_mode))
    return walk.Fail(item, sourcePath, walk.ReasonText(kSpecialFileReason));
  if (!s.target.exists && s.target.folder < 0) {
    // Missing folders on the way are made one by one, none of them through a link.
    int created = 0;
    s.target = walk.Find(item, !copy.toF2, true, &created, !s.nameChecksItself);
    if (run.TreeStatisticsValid) (copy.toF2 ? run.TreeFoldersF2 : run.TreeFoldersF1) += created;
    if (s.target.folder < 0) return walk.Fail(item, copy.targetPath, errno);
  }
  if (copy.isFolder) return MakeFolder(walk, copy, s.source, s.target);
  if (S_ISREG(s.source.st.st_mode))
    return QueueFileCopy(walk, copy, s.source, s.target, s.in, s.target.exists ? &s.target.st : nullptr, sourcePath);
  CopyInPlace(walk, copy, s.source, s.target);
}

}  // namespace

void CopyItem(WalkState& walk, const Item& item) {
  RunStatistics& run = walk.run;
  const double now = MonotonicSeconds();
  if (run.FirstNewTime == 0) run.FirstNewTime = now;
  if (run.FirstReplaceTime == 0) run.FirstReplaceTime = now;
  if (item.rec.Code != kCopyToTarget && item.rec.Code != kCopyToSource) return;
  const bool toF2 = item.rec.Code == kCopyToTarget;
  const std::string_view sourcePath = toF2 ? item.rec.PathF1 : item.rec.PathF2;
  const std::string_view targetPath = toF2 ? item.rec.PathF2 : item.rec.PathF1;
  const int64_t size = toF2 ? item.rec.SizeF1 : item.rec.SizeF2;
  const int64_t sizeBefore = toF2 ? item.rec.SizeF2 : item.rec.SizeF1;
  const bool isNew = item.rec.Status == (toF2 ? kStatusExtraInF1 : kStatusExtraInF2);
  if (!item.valid) return walk.Fail(item, targetPath, walk.ReasonText(kOutsideReason));

  CopyJob copy{&item, toF2, isNew, false, size, sizeBefore, targetPath};
  CopySides s;
  FindSides(walk, item, copy, sourcePath, s);
  if (!s.source.reachable || !s.target.reachable)
    return walk.Changed(item, !s.source.reachable ? sourcePath : targetPath);
  if (!s.source.exists) {
    if (s.target.exists) return walk.Changed(item, sourcePath);
    return walk.Done(item);  // both gone: dropped uncounted
  }
  copy.isFolder = S_ISDIR(s.source.st.st_mode);
  if (walk.steps.recheck && !StillAsPlanned(walk, item, copy, s))
    return walk.Changed(item, s.target.exists ? targetPath : sourcePath);
  CopyChecked(walk, copy, s, sourcePath);
}

void CountCopy(WalkState& walk, const CopyJob& c) {
  RunStatistics& run = walk.run;
  const bool toF2 = c.toF2;
  walk.Report(c.isNew ? OpKind::New : OpKind::Replace, !toF2, c.item->paths.Rel, c.isFolder);
  if (c.isNew) {
    run.Pending.Take(OpKind::New, toF2 ? Side::F2 : Side::F1, c.size);
    run.NewCount += 1;
    run.NewBytes += c.size;
    run.LastOperationKind = OpKind::New;
    if (run.TreeStatisticsValid && !c.isFolder) {
      (toF2 ? run.TreeFilesF2 : run.TreeFilesF1) += 1;
      (toF2 ? run.TreeSizeF2 : run.TreeSizeF1) += c.size;
    }
  } else {
    run.Pending.Take(OpKind::Replace, toF2 ? Side::F2 : Side::F1, c.size);
    run.ReplacedCount += 1;
    run.ReplacedBytes += c.size;
    run.LastOperationKind = OpKind::Replace;
    if (run.TreeStatisticsValid && !c.isFolder) (toF2 ? run.TreeSizeF2 : run.TreeSizeF1) += c.size - c.sizeBefore;
  }
  walk.Done(*c.item);
}

}  // namespace dd
