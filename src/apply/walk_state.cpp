#include "apply/walk_state.h"

#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "apply/beneath.h"
#include "apply/disk_flush.h"
#include "apply/statistics_labels.h"
#include "common/clock.h"
#include "common/format.h"
#include "common/paths.h"
#include "common/text.h"

namespace dd {

namespace {

constexpr const char* kNoTrashReason = "[No trash on its drive]";
constexpr const char* kChangedReason = "[Reason: changed since the simulation]";
constexpr const char* kNoTrashFailure = "[Reason: no trash on its drive]";
constexpr const char* kUnknownReason = "[Reason: unknown]";
constexpr double kLabelInterval = 0.05;  // seconds

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

// Written copies wait for one flush of their file system, which puts all of
// their data on the disk at once (one flush per file would cost many times
// the copy itself); only then do they get their names.
// Each waiting copy holds two descriptors: half of the process's allowance at most.
std::size_t BatchFiles() {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 64;
  if (limit.rlim_cur == RLIM_INFINITY) return 1000;
  return std::clamp<std::size_t>(limit.rlim_cur / 4, 1, 1000);
}

}  // namespace

WalkState::WalkState(ExecutionContext& context)
    : context(context),
      run(context.run),
      screen(context.messages.screen()),
      scope(ScopeOfExecution(context.job, context.options, context.toDo.Plan)),
      steps(ActiveSafetySteps()),
      pruner(context.toDo, screen),
      turn([this](int64_t done, int64_t size) { screen.CopyProgress(done, size); }),
      batchFiles(BatchFiles()) {}

Entry WalkState::Find(const Item& item, bool inF1, bool create, int* created, bool look) {
  return FindAt(inF1 ? item.paths.RootF1 : item.paths.RootF2, item.paths.Rel, create, created, look,
                create ? (inF1 ? item.paths.RootF2 : item.paths.RootF1) : std::string_view());
}

Entry WalkState::FindAt(std::string_view root, std::string_view rel, bool create, int* created, bool look,
                        std::string_view modelRoot) {
  Entry e;
  int made = 0;
  e.folder = handles.Folder(root, FolderBelowRoot(rel), create, made, modelRoot);
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

// No folder, device or pipe has a size, so the source is opened at once, without
// a look first: what is open is what gets checked and copied. Anything else there
// now (a link, say) is looked at as Find does.
Entry WalkState::OpenPlannedFile(const Item& item, bool inF1, OpenFile& in) {
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

void WalkState::Done(const Item& item) {
  context.toDo.ToDoList[item.index].clear();
  pruner.Done(item.index);
}

void WalkState::Fail(const Item& item, std::string_view path, int error) {
  Fail(item, path, error != 0 ? std::string(std::strerror(error)) : ReasonText(kUnknownReason));
}

void WalkState::Fail(const Item& item, std::string_view path, std::string reason) {
  ++failures;
  if (run.FailedItems.size() < kFailedItemsKept)
    run.FailedItems.push_back({OperationOf(item.rec), std::string(path), std::move(reason)});
}

std::string WalkState::ReasonText(const char* key) const {
  std::string text = context.messages.Text(key);
  const std::string_view prefix = "[Reason: ";
  const std::string_view bare(key);
  return text.empty() ? std::string(bare.substr(prefix.size(), bare.size() - prefix.size() - 1)) : text;
}

void WalkState::Changed(const Item& item, std::string_view path) {
  Fail(item, path, ReasonText(kChangedReason));
  run.ChangedItems.emplace_back(path);
}

void WalkState::Named(const char* reasonKey, std::string_view path) {
  run.NamedFailures.push_back({reasonKey, std::string(path)});
}

void WalkState::FailAfterTrash(const Item& item, std::string_view path, int error) {
  if (noTrash) return Fail(item, path, ReasonText(kNoTrashFailure));
  Fail(item, path, error);
}

void WalkState::Show(std::string_view path, int64_t size, bool isFolder) {
  run.CurrentFile.assign(path);
  run.CurrentSizeText = FormatSize(static_cast<double>(size));
  ShowCurrentItemLabels(screen, run, isFolder);
  context.messages.Yield();
}

void WalkState::Report(OpKind kind, bool inF1, std::string_view rel, bool isFolder) {
  screen.OperationDone(kind, inF1 ? Side::F1 : Side::F2, isFolder ? std::string(rel) + "/" : std::string(rel));
}

// The labels format sizes and an estimate: a few times a second is enough for the eye.
void WalkState::ShowStatistics(bool now) {
  const double time = MonotonicSeconds();
  if (!now && time - labelsShown < kLabelInterval) return;
  ShowPendingStatistics(run, context.rates, context.messages);
  labelsShown = time;
}

bool WalkState::ToTrash(int folder, const std::string& name, std::string_view path) {
  noTrash = !context.trash;
  if (!context.trash) return false;
  const TrashOutcome outcome = context.trash->MoveToTrash(folder, name, std::string(path));
  noTrash = outcome == TrashOutcome::NoTrash;
  if (noTrash) Named(kNoTrashReason, path);
  return outcome == TrashOutcome::Moved;
}

void WalkState::Touched(int folder, dev_t dev) {
  if (dev == 0) {
    struct stat st {};
    if (::fstat(folder, &st) != 0) return;
    dev = st.st_dev;
  }
  if (fileSystems.count(dev)) return;
  fileSystems[dev] = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
}

void WalkState::FlushTouchedFileSystems() {
  for (auto& [dev, fd] : fileSystems) {
    if (fd < 0) continue;
    if (steps.flush) FlushFileSystem(fd);
    ::close(fd);
  }
  fileSystems.clear();
}

// Its size, and no change since the list was planned. Records hold no
// modification time: the change time, which every write and every change of
// the time moves on, is the witness. Folders are not asked: the run's own
// deletions change theirs.
bool WalkState::AsPlanned(const struct stat& st, int64_t size) const {
  if (st.st_size != size) return false;
  const int64_t planned = context.toDo.PlannedAtNs;
  return planned == 0 || int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec <= planned ||
         linksRemoved.count({st.st_dev, st.st_ino}) != 0;
}

// That moved the change time its other names show, which then says nothing about them.
void WalkState::Unlinked(const struct stat& st) {
  if (st.st_nlink > 1) linksRemoved.insert({st.st_dev, st.st_ino});
}

std::shared_ptr<LentFolder> WalkState::Lend(const Item& item, bool toF2, int folder) {
  const std::string_view root = toF2 ? item.paths.RootF2 : item.paths.RootF1;
  const std::string_view parent = FolderBelowRoot(item.paths.Rel);
  if (!lent || root != lentRoot || parent != lentParent) {
    lent = std::make_shared<LentFolder>(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    lentRoot = root;
    lentParent = parent;
  }
  return lent->fd >= 0 ? lent : nullptr;
}

ContentReader& WalkState::Reader() {
  if (!reader) reader = std::make_unique<ContentReader>();
  return *reader;
}

}  // namespace dd
