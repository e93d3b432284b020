#include "apply/move_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <utility>
#include <vector>

#include "apply/folder_modes.h"

namespace dd {

namespace {

// What each copied entry was when it was copied, by device and inode: only such an entry may be deleted.
using Copied = std::map<std::pair<dev_t, ino_t>, struct stat>;

bool Same(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mode == b.st_mode &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

int OpenFolderAt(int dir, const std::string& name) {
  return ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The names in an open folder, without "." and "..".
bool NamesIn(int dir, std::vector<std::string>& names) {
  const int copy = ::fcntl(dir, F_DUPFD_CLOEXEC, 0);
  DIR* d = copy >= 0 ? ::fdopendir(copy) : nullptr;
  if (!d) {
    if (copy >= 0) ::close(copy);
    return false;
  }
  ::rewinddir(d);
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(d);
  return true;
}

bool CopyTree(int fromDir, const std::string& fromName, const struct stat& st, int toDir, const std::string& toName,
              const std::atomic<bool>* cancel, const CopyTurn& turn, Copied& copied) {
  if (cancel && cancel->load(std::memory_order_relaxed)) return false;
  if (!S_ISDIR(st.st_mode)) {
    if (!CopyEntryAt(fromDir, fromName, st, toDir, toName, nullptr, cancel, {}, turn)) return false;
    copied[{st.st_dev, st.st_ino}] = st;
    return true;
  }
  if (!MakeFolderLike(toDir, toName.c_str(), &st)) return false;
  const Fd from(OpenFolderAt(fromDir, fromName)), to(OpenFolderAt(toDir, toName));
  std::vector<std::string> names;
  if (from.get() < 0 || to.get() < 0 || !NamesIn(from.get(), names)) return false;
  for (const std::string& name : names) {
    struct stat inner {};
    if (::fstatat(from.get(), name.c_str(), &inner, AT_SYMLINK_NOFOLLOW) != 0 ||
        !CopyTree(from.get(), name, inner, to.get(), name, cancel, turn, copied))
      return false;
  }
  copied[{st.st_dev, st.st_ino}] = st;
  return true;
}

// Deletes what was copied and is still as it was then; false when anything stays.
bool DeleteCopied(int dir, const std::string& name, const Copied& copied) {
  struct stat st {};
  if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  const auto it = copied.find({st.st_dev, st.st_ino});
  if (it == copied.end()) return false;
  if (!S_ISDIR(st.st_mode)) return Same(st, it->second) && ::unlinkat(dir, name.c_str(), 0) == 0;
  const Fd inner(OpenFolderAt(dir, name));
  std::vector<std::string> names;
  if (inner.get() < 0 || !NamesIn(inner.get(), names)) return false;
  bool all = true;
  for (const std::string& n : names) all = DeleteCopied(inner.get(), n, copied) && all;
  // A folder still holding something new keeps it: the removal of the folder then fails, and rightly.
  return all && ::unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace

MoveResult CopyThenDelete(int fromDir, const std::string& fromName, const struct stat& planned, int toDir,
                          const std::string& toName, const std::atomic<bool>* cancel, const CopyTurn& turn) {
  struct stat there {};
  if (::fstatat(toDir, toName.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0) return MoveResult::TargetTaken;
  Copied copied;
  if (!CopyTree(fromDir, fromName, planned, toDir, toName, cancel, turn, copied)) {
    // A partial copy of a folder stays: it is new, and its source is untouched.
    return errno == EEXIST ? MoveResult::TargetTaken : MoveResult::Failed;
  }
  return DeleteCopied(fromDir, fromName, copied) ? MoveResult::Copied : MoveResult::SourceChanged;
}

MoveResult MoveEntry(int fromDir, const std::string& fromName, const struct stat& planned, int toDir,
                     const std::string& toName, const std::atomic<bool>* cancel, const CopyTurn& turn) {
  if (::renameat2(fromDir, fromName.c_str(), toDir, toName.c_str(), RENAME_NOREPLACE) == 0) return MoveResult::Renamed;
  // A copy cannot take a name that is taken either: nothing more to try.
  if (errno == EEXIST) return MoveResult::TargetTaken;
  if (errno != EXDEV && errno != EINVAL && errno != ENOSYS) return MoveResult::Failed;
  return CopyThenDelete(fromDir, fromName, planned, toDir, toName, cancel, turn);
}

}  // namespace dd
