#include "apply/execution_walk.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/app.h"
#include "common/clock.h"
#include "common/format.h"
#include "common/text.h"
#include "plan/comparison.h"
#include "plan/content_check.h"
#include "apply/beneath.h"
#include "apply/copy_verify.h"
#include "apply/execution_scope.h"
#include "apply/file_ops.h"
#include "apply/folder_modes.h"
#include "apply/move_ops.h"
#include "apply/record_paths.h"
#include "apply/row_pruner.h"
#include "apply/run_labels.h"
#include "apply/safety_steps.h"
#include "apply/tree_handles.h"
#include "todo/backup_mode.h"
#include "todo/op_record.h"
#include "todo/record_texts.h"

namespace dd {

namespace {

constexpr const char* kNoTrashReason = "[No trash on its drive]";
constexpr const char* kUnsteadyReason = "[Changed while being copied]";
// The reasons a failed item is named with.
constexpr const char* kChangedReason = "[Reason: changed since the simulation]";
constexpr const char* kUnsteadyFailure = "[Reason: changed while being copied]";
constexpr const char* kNoTrashFailure = "[Reason: no trash on its drive]";
constexpr const char* kOutsideReason = "[Reason: outside the job's folders]";
constexpr const char* kSpecialFileReason = "[Reason: not a file, folder or link]";
constexpr const char* kUnknownReason = "[Reason: unknown]";
constexpr const char* kNotAsSourceFailure = "[Reason: copy differs from its source]";

// What a record asks for, as the failure lines name it.
std::string OperationOf(const OpRecordView& rec) {
  if (rec.OpText == kOpDeleteInF1) return "delete in F1";
  if (rec.OpText == kOpDeleteInF2) return "delete in F2";
  if (rec.Code == kMoveInSource) return "move in F1";
  if (rec.Code == kMoveInTarget) return "move in F2";
  const bool toF2 = rec.Code == kCopyToTarget;
  const bool isNew = rec.Status == (toF2 ? kStatusExtraInF1 : kStatusExtraInF2);
  return std::string(isNew ? "new in " : "replace in ") + (toF2 ? "F2" : "F1");
}
constexpr const char* kNotAsSourceReason = "[Copy differs from its source]";

// One side of a record on disk: its open folder and what is there now.
struct Entry {
  int folder = -1;
  std::string name;
  bool exists = false;
  bool reachable = false;  // false: a link, a file or an error stands in the way
  struct stat st {};
};

// The fields are views into the walk's own copy of the records.
struct Item {
  int64_t index;
  OpRecordView rec;
  RecordPaths paths;
  bool valid;        // the paths lie below a pair's roots
  MovePaths move{};  // a move's two paths, which differ below the roots
};

class Walk {
 public:
  explicit Walk(App& app) : app_(app), run_(app.Run) {}

  int Run() {
    // The records are copied once, into one buffer: what the walk reads stays
    // as it was at the start whatever the window does to the list meanwhile.
    std::vector<Item> items;
    {
      const auto& list = app_.ToDo.ToDoList;
      auto inList = [&](int64_t index) { return index >= 0 && index < static_cast<int64_t>(list.size()); };
      std::size_t total = 0;
      for (int64_t index : app_.ToDo.Rows)
        if (inList(index)) total += list[index].size();
      records_.reserve(total);  // no reallocation below: the views stay valid
      items.reserve(app_.ToDo.Rows.size());
      for (int64_t index : app_.ToDo.Rows) {
        if (!inList(index)) continue;
        const std::size_t start = records_.size();
        records_ += list[index];
        const std::optional<OpRecordView> record = OpRecordView::Parse(std::string_view(records_).substr(start));
        if (!record) continue;
        Item& item = items.emplace_back(Item{index, *record, {}, false});
        if (IsMove(item)) {
          item.valid = SplitMovePaths(scope_.Sources, scope_.Targets, item.rec.PathF1, item.rec.PathF2, item.move);
          if (item.valid) {
            item.move.RootF1 = scope_.OpenSources[item.move.Pair];
            item.move.RootF2 = scope_.OpenTargets[item.move.Pair];
          }
          continue;
        }
        item.valid = SplitRecordPaths(scope_.Sources, scope_.Targets, item.rec.PathF1, item.rec.PathF2, item.paths);
        if (item.valid) {
          // The folders opened are those the roots resolved to when the list was planned.
          item.paths.RootF1 = scope_.OpenSources[item.paths.Pair];
          item.paths.RootF2 = scope_.OpenTargets[item.paths.Pair];
        }
      }
    }
    // The phases point into `items`, which stays as it is from here on.
    std::vector<Item*> fileDeletions, folderDeletions, moves, copies;
    copies.reserve(items.size());
    std::size_t sorted = 0;
    for (Item& item : items) {
      // Sorting looks at every deletion on disk: a long list still gives the window its turns.
      if (++sorted % 1000 == 0) app_.Yield();
      if (item.rec.OpText == kOpDeleteInF1 || item.rec.OpText == kOpDeleteInF2) {
        bool folder = false;
        if (item.valid) {
          const Entry e = Find(item, item.rec.OpText == kOpDeleteInF1);
          folder = e.exists && S_ISDIR(e.st.st_mode);
        }
        (folder ? folderDeletions : fileDeletions).push_back(&item);
      } else if (item.rec.OpText == kOpCopyToF1 || item.rec.OpText == kOpCopyToF2) {
        copies.push_back(&item);
      } else if (IsMove(item)) {
        moves.push_back(&item);
      }
    }
    // Deepest first, so that a folder is empty when its turn comes.
    std::stable_sort(folderDeletions.begin(), folderDeletions.end(), [](const Item* a, const Item* b) {
      return std::count(a->paths.Rel.begin(), a->paths.Rel.end(), '/') >
             std::count(b->paths.Rel.begin(), b->paths.Rel.end(), '/');
    });

    // Moves after the file deletions (a name freed may be a move's new place) and before the folder
    // deletions (a folder a move empties is deleted after it).
    bool go = Phase(fileDeletions, [&](Item& item) { HandleDeletion(item, false); });
    go = go && Phase(moves, [&](Item& item) { HandleMove(item); });
    go = go && Phase(folderDeletions, [&](Item& item) { HandleDeletion(item, true); });
    go = go && Phase(copies, [&](Item& item) { HandleCopy(item); });
    // Copies already written are named even after a stop: they are complete.
    FlushCopies();
    pruner_.Flush(-1);
    handles_.Release();
    SyncFileSystems();
    return failures_;
  }

 private:
  template <class Handle>
  bool Phase(const std::vector<Item*>& items, Handle handle) {
    for (Item* item : items) {
      app_.Yield();
      if (run_.Lifecycle.StopRequested()) return false;
      handle(*item);
      pruner_.Tick(item->index);
      // The labels format sizes and an estimate: a few times a second is enough for the eye.
      const double now = MonotonicSeconds();
      if (item == items.back() || now - labelsShown_ >= kLabelInterval) {
        ShowPendingStatistics(app_);
        labelsShown_ = now;
      }
    }
    // A folder deleted in this phase must not be reached through a kept handle in the next.
    handles_.Release();
    return true;
  }

  static constexpr double kLabelInterval = 0.05;  // seconds
  double labelsShown_ = 0;

  static bool IsMove(const Item& item) { return item.rec.OpText == kOpMoveInF1 || item.rec.OpText == kOpMoveInF2; }

  // `look`: false when the entry's own state is left to the operation to find out.
  Entry Find(const Item& item, bool inF1, bool create = false, int* created = nullptr, bool look = true) {
    // Folders made on the way copy those of the other side.
    return FindAt(inF1 ? item.paths.RootF1 : item.paths.RootF2, item.paths.Rel, create, created, look,
                  create ? (inF1 ? item.paths.RootF2 : item.paths.RootF1) : std::string_view());
  }

  Entry FindAt(std::string_view root, std::string_view rel, bool create = false, int* created = nullptr,
               bool look = true, std::string_view modelRoot = {}) {
    Entry e;
    int made = 0;
    e.folder = handles_.Folder(root, FolderBelowRoot(rel), create, made, modelRoot);
    if (created) *created += made;
    e.name = std::string(NameOfPath(rel));
    if (e.folder < 0) {
      e.reachable = errno == ENOENT;
      return e;
    }
    e.reachable = true;
    if (!look) return e;
    e.exists = ::fstatat(e.folder, e.name.c_str(), &e.st, AT_SYMLINK_NOFOLLOW) == 0;
    if (!e.exists && errno != ENOENT) e.reachable = false;
    return e;
  }

  // A source file held open from its check to its copy.
  struct OpenFile {
    int fd = -1;
    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { Close(); }
    void Close() {
      if (fd >= 0) ::close(fd);
      fd = -1;
    }
  };

  // The source of a copy that the simulation found as a file with content. No
  // folder, device or pipe has a size, so it is opened at once, without a look
  // first: what is open is what gets checked and copied. Anything else there
  // now (a link, say) is looked at as Find does.
  Entry OpenPlannedFile(const Item& item, bool inF1, OpenFile& in) {
    Entry e = Find(item, inF1, false, nullptr, false);
    if (e.folder < 0) return e;
    in.fd = OpenSource(e.folder, e.name.c_str());
    if (in.fd >= 0) {
      if (::fstat(in.fd, &e.st) == 0 && S_ISREG(e.st.st_mode)) {
        e.exists = true;
        return e;
      }
      in.Close();
    } else if (errno == ENOENT) {
      return e;  // gone
    }
    return Find(item, inF1);
  }

  void Done(const Item& item) {
    app_.ToDo.ToDoList[item.index].clear();
    pruner_.Done(item.index);
  }

  // A failed item with the system's reason (`error`, an errno; 0 when none was given).
  void Fail(const Item& item, std::string_view path, int error) {
    Fail(item, path, error != 0 ? std::string(std::strerror(error)) : ReasonText(kUnknownReason));
  }
  void Fail(const Item& item, std::string_view path, std::string reason) {
    ++failures_;
    if (run_.FailedItems.size() < kFailedItemsKept)
      run_.FailedItems.push_back({OperationOf(item.rec), std::string(path), std::move(reason)});
  }

  // The text of one of the program's own reasons; from its key when no language file gives one.
  std::string ReasonText(const char* key) const {
    std::string text = app_.Text(key);
    const std::string_view prefix = "[Reason: ";
    const std::string_view bare(key);
    return text.empty() ? std::string(bare.substr(prefix.size(), bare.size() - prefix.size() - 1)) : text;
  }

  // Left alone because it is not what the simulation planned for (or a link now stands in its path).
  void Changed(const Item& item, std::string_view path) {
    Fail(item, path, ReasonText(kChangedReason));
    run_.ChangedItems.emplace_back(path);
  }

  // Names a failed item in the report with the reason it failed for.
  void Named(const char* reasonKey, std::string_view path) {
    run_.NamedFailures.push_back({reasonKey, std::string(path)});
  }

  void Show(std::string_view path, int64_t size, bool isFolder) {
    run_.CurrentFile.assign(path);
    run_.CurrentSizeText = FormatSize(static_cast<double>(size));
    ShowCurrentItemLabels(app_, isFolder);
    app_.Yield();
  }

  // Sends the entry to the trash, from its folder's handle: whatever its path
  // leads to by now, only this very entry can go.
  bool ToTrash(int folder, const std::string& name, std::string_view path) {
    noTrash_ = !app_.trash;
    if (!app_.trash) return false;
    const TrashOutcome outcome = app_.trash->MoveToTrash(folder, name, std::string(path));
    noTrash_ = outcome == TrashOutcome::NoTrash;
    if (noTrash_) Named(kNoTrashReason, path);
    return outcome == TrashOutcome::Moved;
  }
  bool noTrash_ = false;  // the last ToTrash found no trash to move to

  // A failure of a step that may have asked for the trash.
  void FailAfterTrash(const Item& item, std::string_view path, int error) {
    if (noTrash_) return Fail(item, path, ReasonText(kNoTrashFailure));
    Fail(item, path, error);
  }

  // Remembers a file system that got new names, to flush it at the end.
  void Touched(int folder, dev_t dev = 0) {
    if (dev == 0) {
      struct stat st {};
      if (::fstat(folder, &st) != 0) return;
      dev = st.st_dev;
    }
    if (fileSystems_.count(dev)) return;
    fileSystems_[dev] = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  }

  void SyncFileSystems() {
    for (auto& [dev, fd] : fileSystems_) {
      if (fd < 0) continue;
      if (steps_.flush) ::syncfs(fd);
      ::close(fd);
    }
    fileSystems_.clear();
  }

  void HandleDeletion(const Item& item, bool folderPhase) {
    if (run_.FirstDeleteTime == 0) run_.FirstDeleteTime = MonotonicSeconds();
    const bool inF1 = item.rec.OpText == kOpDeleteInF1;
    const std::string_view path = inF1 ? item.rec.PathF1 : item.rec.PathF2;
    const int64_t size = inF1 ? item.rec.SizeF1 : item.rec.SizeF2;
    if (!item.valid) return Fail(item, path, ReasonText(kOutsideReason));
    Entry e = Find(item, inF1);
    Show(path, size, e.exists && S_ISDIR(e.st.st_mode));
    if (!e.reachable) return Changed(item, path);
    if (!e.exists) {
      // Gone already: done, unless both sides are gone, when the record is dropped uncounted.
      Entry other = Find(item, !inF1);
      Done(item);
      if (!other.exists && other.reachable) return;
    } else {
      const bool isFolder = S_ISDIR(e.st.st_mode);
      // A file keeps the size the record holds; a folder has none. A link that
      // replaced a folder has the length of its text, so it never passes as one.
      if (steps_.recheck && (isFolder != folderPhase || (isFolder ? size != 0 : !AsPlanned(e.st, size))))
        return Changed(item, path);
      bool removed;
      errno = 0;
      noTrash_ = false;
      if (isFolder) {
        // Only an empty folder goes: what is left in it the plan did not delete.
        removed = ::unlinkat(e.folder, e.name.c_str(), AT_REMOVEDIR) == 0;
        if (!removed && (errno == ENOTEMPTY || errno == EEXIST)) return Changed(item, path);
      } else if (scope_.Options.DeletedToTrash) {
        removed = ToTrash(e.folder, e.name, path);
      } else {
        removed = ::unlinkat(e.folder, e.name.c_str(), 0) == 0;
      }
      if (!removed) return FailAfterTrash(item, path, errno);
      if (!isFolder) Unlinked(e.st);
      Done(item);
      Report(OpKind::Delete, inF1, item.paths.Rel, isFolder);
      if (run_.TreeStatisticsValid) {
        if (isFolder) {
          (inF1 ? run_.TreeFoldersF1 : run_.TreeFoldersF2) -= 1;
        } else {
          (inF1 ? run_.TreeFilesF1 : run_.TreeFilesF2) -= 1;
          (inF1 ? run_.TreeSizeF1 : run_.TreeSizeF2) -= size;
        }
      }
    }
    run_.Pending.Take(OpKind::Delete, inF1 ? Side::F1 : Side::F2, size);
    run_.DeletedBytes += size;
    run_.LastOperationKind = OpKind::Delete;
    run_.DeletedCount += 1;
  }

  // A file or link that is still what the simulation saw: its size, and no
  // change since the list was planned. Records hold no modification time: the
  // change time, which every write and every change of the time moves on, is
  // the witness. Folders are not asked: the run's own deletions change theirs.
  bool AsPlanned(const struct stat& st, int64_t size) const {
    if (st.st_size != size) return false;
    const int64_t planned = app_.ToDo.PlannedAtNs;
    return planned == 0 || int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec <= planned ||
           linksRemoved_.count({st.st_dev, st.st_ino}) != 0;
  }

  // A file with further names had one removed by this run: that moved the
  // change time its other names show, which then says nothing about them.
  void Unlinked(const struct stat& st) {
    if (st.st_nlink > 1) linksRemoved_.insert({st.st_dev, st.st_ino});
  }
  std::set<std::pair<dev_t, ino_t>> linksRemoved_;

  // The status the two entries have now, by the rules of the comparison.
  std::string_view StatusNow(const Entry& f1, const Entry& f2) const {
    if (S_ISDIR(f1.st.st_mode) && S_ISDIR(f2.st.st_mode)) return kStatusIdentical;
    if (S_ISDIR(f1.st.st_mode) || S_ISDIR(f2.st.st_mode)) return {};
    return StatusOfBoth(f1.st.st_mtim.tv_sec, f2.st.st_mtim.tv_sec, f1.st.st_size, f2.st.st_size, scope_.Options);
  }

  // A move renames the item where one side has it at its old place to where the other side has it.
  void HandleMove(const Item& item) {
    const bool inF2 = item.rec.Code == kMoveInTarget;
    if (!inF2 && item.rec.Code != kMoveInSource) return;
    const std::string_view oldPath = inF2 ? item.rec.PathF2 : item.rec.PathF1;
    const int64_t size = inF2 ? item.rec.SizeF2 : item.rec.SizeF1;
    if (!item.valid) return Fail(item, oldPath, ReasonText(kOutsideReason));
    const MovePaths& m = item.move;
    const std::string_view root = inF2 ? m.RootF2 : m.RootF1, modelRoot = inF2 ? m.RootF1 : m.RootF2;
    const std::string_view oldRel = inF2 ? m.RelF2 : m.RelF1, newRel = inF2 ? m.RelF1 : m.RelF2;
    const std::string newPath = std::string(oldPath.substr(0, oldPath.size() - oldRel.size())).append(newRel);
    Entry from = FindAt(root, oldRel);
    Show(oldPath, size, from.exists && S_ISDIR(from.st.st_mode));
    if (!from.reachable) return Changed(item, oldPath);
    if (!from.exists) {
      // Moved already (by a run that ended before it could say so): at its new place, of the kind the other
      // side has there. Gone altogether: not for this run to guess.
      const Entry there = FindAt(root, newRel), model = FindAt(modelRoot, newRel);
      const bool folder = there.exists && S_ISDIR(there.st.st_mode);
      if (there.exists && model.exists && folder == S_ISDIR(model.st.st_mode) && (folder || there.st.st_size == size))
        return CountMove(item, inF2, size, false);
      return Changed(item, oldPath);
    }
    const bool isFolder = S_ISDIR(from.st.st_mode);
    // A folder has no size; its change time tells of names added or taken in it since the plan.
    if (steps_.recheck && (isFolder ? size != 0 || !AsPlanned(from.st, from.st.st_size) : !AsPlanned(from.st, size)))
      return Changed(item, oldPath);
    // The folders of the new place may push the old one's out of the kept handles: the move holds its own.
    OpenFile fromDir;
    fromDir.fd = ::fcntl(from.folder, F_DUPFD_CLOEXEC, 0);
    int created = 0;
    const Entry to = FindAt(root, newRel, true, &created, false, modelRoot);
    if (run_.TreeStatisticsValid) (inF2 ? run_.TreeFoldersF2 : run_.TreeFoldersF1) += created;
    if (fromDir.fd < 0 || to.folder < 0) return Fail(item, fromDir.fd < 0 ? oldPath : newPath, errno);
    const MoveResult result =
        MoveEntry(fromDir.fd, from.name, from.st, to.folder, to.name, &run_.Lifecycle.StopFlag(), turn_);
    const int moveError = errno;
    const bool moved = result == MoveResult::Renamed || result == MoveResult::Copied;
    if (moved) Touched(to.folder);
    // Kept handles of folders below the old place would now lead into the new one.
    if (isFolder) handles_.Release();
    if (result == MoveResult::TargetTaken) return Changed(item, newPath);
    if (result == MoveResult::SourceChanged) {
      Named(kUnsteadyReason, oldPath);
      return Fail(item, oldPath, ReasonText(kUnsteadyFailure));
    }
    if (!moved) return Fail(item, oldPath, moveError);
    CountMove(item, inF2, size, result == MoveResult::Copied);
  }

  void CountMove(const Item& item, bool inF2, int64_t size, bool byCopy) {
    run_.Pending.Take(OpKind::Move, inF2 ? Side::F2 : Side::F1, size);
    run_.MovedCount += 1;
    run_.MovedBytes += size;
    run_.MovedByCopy += byCopy;
    run_.LastOperationKind = OpKind::Move;
    const MovePaths& m = item.move;
    const std::string_view from = inF2 ? m.RelF2 : m.RelF1, to = inF2 ? m.RelF1 : m.RelF2;
    app_.screen.OperationDone(OpKind::Move, inF2 ? Side::F2 : Side::F1, std::string(from) + " -> " + std::string(to));
    Done(item);
  }

  // Whether the two copies still stand as planned. Content compared in the simulation may have found
  // copies of equal size and time to differ: the later one (a tie: F1's) is then still the newer.
  bool StillPlanned(const Entry& f1, const Entry& f2, std::string_view planned) const {
    const std::string_view now = StatusNow(f1, f2);
    if (now == planned) return true;
    return scope_.Options.CompareContent && now == kStatusIdentical && S_ISREG(f1.st.st_mode) &&
           S_ISREG(f2.st.st_mode) &&
           StatusAfterContent(ContentResult::Different, f1.st.st_mtim.tv_sec, f2.st.st_mtim.tv_sec) == planned;
  }

  void HandleCopy(const Item& item) {
    const double now = MonotonicSeconds();
    if (run_.FirstNewTime == 0) run_.FirstNewTime = now;
    if (run_.FirstReplaceTime == 0) run_.FirstReplaceTime = now;
    bool toF2;
    if (item.rec.Code == kCopyToTarget)
      toF2 = true;
    else if (item.rec.Code == kCopyToSource)
      toF2 = false;
    else
      return;
    const std::string_view sourcePath = toF2 ? item.rec.PathF1 : item.rec.PathF2;
    const std::string_view targetPath = toF2 ? item.rec.PathF2 : item.rec.PathF1;
    const int64_t size = toF2 ? item.rec.SizeF1 : item.rec.SizeF2;
    const int64_t sizeBefore = toF2 ? item.rec.SizeF2 : item.rec.SizeF1;
    const bool isNew = item.rec.Status == (toF2 ? kStatusExtraInF1 : kStatusExtraInF2);
    if (!item.valid) return Fail(item, targetPath, ReasonText(kOutsideReason));

    OpenFile in;
    // F1 is the source of a copy to F2.
    Entry source = size > 0 ? OpenPlannedFile(item, toF2, in) : Find(item, toF2);
    Show(sourcePath, size, source.exists && S_ISDIR(source.st.st_mode));
    // A new file takes its name only where there is none (see CommitCopy): whatever
    // appeared there meanwhile is found then, so it is not looked for first.
    const bool nameChecksItself = isNew && ((source.exists && S_ISREG(source.st.st_mode)) || !steps_.recheck);
    Entry target = Find(item, !toF2, false, nullptr, !nameChecksItself);
    if (!source.reachable || !target.reachable) return Changed(item, !source.reachable ? sourcePath : targetPath);
    if (!source.exists) {
      if (target.exists) return Changed(item, sourcePath);
      return Done(item);  // both gone: dropped uncounted
    }
    const bool isFolder = S_ISDIR(source.st.st_mode);
    // A new item still finds no target (a folder already there is all a folder record asks for); a replacement
    // still finds both in the relation that planned it.
    if (steps_.recheck &&
        (isNew ? target.exists && !(isFolder && S_ISDIR(target.st.st_mode))
               : !target.exists || !StillPlanned(toF2 ? source : target, toF2 ? target : source, item.rec.Status) ||
                     (!S_ISDIR(target.st.st_mode) && !AsPlanned(target.st, sizeBefore))))
      return Changed(item, target.exists ? targetPath : sourcePath);
    if (!isFolder && !S_ISREG(source.st.st_mode) && !S_ISLNK(source.st.st_mode))
      return Fail(item, sourcePath, ReasonText(kSpecialFileReason));

    int created = 0;
    if (!target.exists && target.folder < 0) {
      // Missing folders on the way are made one by one, none of them through a link.
      target = Find(item, !toF2, true, &created, !nameChecksItself);
      if (run_.TreeStatisticsValid) (toF2 ? run_.TreeFoldersF2 : run_.TreeFoldersF1) += created;
      if (target.folder < 0) return Fail(item, targetPath, errno);
    }
    const Copy copy{&item, toF2, isNew, isFolder, size, sizeBefore, targetPath};
    if (isFolder) {
      if (!target.exists) {
        if (!MakeFolderLike(target.folder, target.name.c_str(), &source.st)) return Fail(item, targetPath, errno);
        if (run_.TreeStatisticsValid) (toF2 ? run_.TreeFoldersF2 : run_.TreeFoldersF1) += 1;
        Touched(target.folder);
      }
      return Count(copy);
    }
    const struct stat* old = target.exists ? &target.st : nullptr;
    if (S_ISREG(source.st.st_mode)) return QueueFileCopy(copy, source, target, in, old, sourcePath);
    BeforeReplace toTrash;
    if (scope_.Options.DeletedToTrash) toTrash = [&] { return ToTrash(target.folder, target.name, targetPath); };
    errno = 0;
    noTrash_ = false;
    if (!CopyEntryAt(source.folder, source.name, source.st, target.folder, target.name, old, &run_.Lifecycle.StopFlag(),
                     toTrash, turn_))
      return FailAfterTrash(item, targetPath, errno);
    if (old) Unlinked(*old);
    Touched(target.folder);
    Count(copy);
  }

  struct Copy {
    const Item* item;
    bool toF2, isNew, isFolder;
    int64_t size, sizeBefore;
    std::string_view targetPath;
  };

  // Writes the copy of a regular file unnamed; it waits in the batch for its name.
  void QueueFileCopy(const Copy& copy, const Entry& source, const Entry& target, OpenFile& in,
                     const struct stat* old, std::string_view sourcePath) {
    PreparedCopy prepared;
    prepared.folderLent = true;
    const std::shared_ptr<LentFolder> folder = Lend(*copy.item, copy.toF2, target.folder);
    const bool ok = folder && (in.fd >= 0 ? PrepareCopyFrom(in.fd, source.st, folder->fd, target.name, old,
                                                            &run_.Lifecycle.StopFlag(), prepared, turn_)
                                          : PrepareCopyAt(source.folder, source.name, folder->fd, target.name, old,
                                                          &run_.Lifecycle.StopFlag(), prepared, turn_));
    const int error = errno;
    std::optional<ContentDigest> digest;
    if (ok && scope_.Options.VerifyCopies) digest = DigestOfSource(in, source);
    in.Close();
    if (!ok && prepared.sourceChanged) {
      Named(kUnsteadyReason, sourcePath);
      return Fail(*copy.item, sourcePath, ReasonText(kUnsteadyFailure));
    }
    if (!ok) return Fail(*copy.item, copy.targetPath, error);
    if (scope_.Options.VerifyCopies && !digest) {
      DiscardCopy(prepared);
      Named(kNotAsSourceReason, copy.targetPath);
      return Fail(*copy.item, copy.targetPath, ReasonText(kNotAsSourceFailure));
    }
    batch_.push_back({copy, std::move(prepared), handles_.Device(target.folder), folder, digest});
    batchBytes_ += source.st.st_size;
    if (batch_.size() >= batchFiles_ || batchBytes_ >= kBatchBytes) FlushCopies();
  }

  // The digest of a copy's source, for reading the copy back: from the handle held open, else opened anew.
  std::optional<ContentDigest> DigestOfSource(const OpenFile& in, const Entry& source) {
    const int fd = in.fd >= 0 ? in.fd : OpenSource(source.folder, source.name.c_str());
    if (fd < 0) return std::nullopt;
    std::optional<ContentDigest> digest = SourceDigest(Reader(), fd, run_.Verified);
    if (fd != in.fd) ::close(fd);
    return digest;
  }

  ContentReader& Reader() {
    if (!reader_) reader_ = std::make_unique<ContentReader>();
    return *reader_;
  }
  std::unique_ptr<ContentReader> reader_;  // its buffers only when copies are read back

  // Written copies wait for one flush of their file system, which puts all of
  // their data on the disk at once (one flush per file would cost many times
  // the copy itself); only then do they get their names.
  // Each waiting copy holds two descriptors: half of the process's allowance at most.
  static std::size_t BatchFiles() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 64;
    if (limit.rlim_cur == RLIM_INFINITY) return 1000;
    return std::clamp<std::size_t>(limit.rlim_cur / 4, 1, 1000);
  }
  static constexpr int64_t kBatchBytes = int64_t{256} << 20;

  void FlushCopies() {
    std::map<dev_t, int> flushed;  // file system -> 0 when the data is on the disk, else the errno
    for (Waiting& w : batch_) {
      if (w.dev == 0) {
        // The folder's file system was not known: the copy's own tells it.
        struct stat st {};
        if (::fstat(w.prepared.out, &st) != 0) continue;
        w.dev = st.st_dev;
      }
      if (!flushed.count(w.dev)) flushed[w.dev] = !steps_.flush || ::syncfs(w.prepared.out) == 0 ? 0 : errno;
    }
    for (Waiting& w : batch_) {
      auto& [copy, prepared, dev, folder, sourceDigest] = w;
      const bool onDisk = dev != 0 && flushed[dev] == 0;
      BeforeReplace toTrash;
      if (scope_.Options.DeletedToTrash)
        toTrash = [&, &p = prepared, &c = copy] { return ToTrash(p.folder, p.name, c.targetPath); };
      if (onDisk) Touched(prepared.folder, dev);
      errno = 0;
      noTrash_ = false;
      if (onDisk) TamperWithCopyForTest(prepared.out);
      if (!onDisk) {
        DiscardCopy(prepared);
        Fail(*copy.item, copy.targetPath, dev != 0 ? flushed[dev] : EIO);
      } else if (sourceDigest && !CopyMatchesSource(Reader(), prepared.out, *sourceDigest, run_.Verified)) {
        DiscardCopy(prepared);
        Named(kNotAsSourceReason, copy.targetPath);
        Fail(*copy.item, copy.targetPath, ReasonText(kNotAsSourceFailure));
      } else if (!CommitCopy(prepared, toTrash)) {
        if (prepared.nameTaken && copy.isNew)
          Changed(*copy.item, copy.targetPath);
        else
          FailAfterTrash(*copy.item, copy.targetPath, errno);
      } else {
        if (prepared.replaces) Unlinked(prepared.target);
        Count(copy);
      }
    }
    batch_.clear();
    batchBytes_ = 0;
    ShowPendingStatistics(app_);
  }

  void Report(OpKind kind, bool inF1, std::string_view rel, bool isFolder) {
    app_.screen.OperationDone(kind, inF1 ? Side::F1 : Side::F2, isFolder ? std::string(rel) + "/" : std::string(rel));
  }

  void Count(const Copy& c) {
    const bool toF2 = c.toF2;
    Report(c.isNew ? OpKind::New : OpKind::Replace, !toF2, c.item->paths.Rel, c.isFolder);
    if (c.isNew) {
      run_.Pending.Take(OpKind::New, toF2 ? Side::F2 : Side::F1, c.size);
      run_.NewCount += 1;
      run_.NewBytes += c.size;
      run_.LastOperationKind = OpKind::New;
      if (run_.TreeStatisticsValid && !c.isFolder) {
        (toF2 ? run_.TreeFilesF2 : run_.TreeFilesF1) += 1;
        (toF2 ? run_.TreeSizeF2 : run_.TreeSizeF1) += c.size;
      }
    } else {
      run_.Pending.Take(OpKind::Replace, toF2 ? Side::F2 : Side::F1, c.size);
      run_.ReplacedCount += 1;
      run_.ReplacedBytes += c.size;
      run_.LastOperationKind = OpKind::Replace;
      if (run_.TreeStatisticsValid && !c.isFolder) (toF2 ? run_.TreeSizeF2 : run_.TreeSizeF1) += c.size - c.sizeBefore;
    }
    Done(*c.item);
  }

  App& app_;
  RunStatistics& run_;
  const ExecutionScope scope_ = ScopeOfExecution(app_);
  RowPruner pruner_{app_};
  std::string records_;  // the walk's copy of the records, which the items view
  const SafetySteps& steps_ = ActiveSafetySteps();
  TreeHandles handles_;
  // A copy of a target folder's handle, shared by the waiting copies into it
  // (the handles themselves may be closed before the flush).
  struct LentFolder {
    int fd;
    explicit LentFolder(int f) : fd(f) {}
    ~LentFolder() {
      if (fd >= 0) ::close(fd);
    }
  };
  std::shared_ptr<LentFolder> Lend(const Item& item, bool toF2, int folder) {
    const std::string_view root = toF2 ? item.paths.RootF2 : item.paths.RootF1;
    const std::string_view parent = FolderBelowRoot(item.paths.Rel);
    if (!lent_ || root != lentRoot_ || parent != lentParent_) {
      lent_ = std::make_shared<LentFolder>(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
      lentRoot_ = root;
      lentParent_ = parent;
    }
    return lent_->fd >= 0 ? lent_ : nullptr;
  }

  // A written copy waiting for the flush, with its file system.
  struct Waiting {
    Copy copy;
    PreparedCopy prepared;
    dev_t dev;
    std::shared_ptr<LentFolder> folder;
    std::optional<ContentDigest> sourceDigest;  // set when the copy is read back
  };
  std::vector<Waiting> batch_;
  std::shared_ptr<LentFolder> lent_;
  std::string lentRoot_, lentParent_;
  const CopyTurn turn_ = [this](int64_t done, int64_t size) { app_.screen.CopyProgress(done, size); };
  int64_t batchBytes_ = 0;
  const std::size_t batchFiles_ = BatchFiles();
  std::map<dev_t, int> fileSystems_;  // a folder on each file system that got new names
  int failures_ = 0;
};

}  // namespace

int RunExecutionWalk(App& app) {
  return Walk(app).Run();
}

}  // namespace dd
