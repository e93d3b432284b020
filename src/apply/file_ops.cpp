#include "apply/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "common/clock.h"
#include "common/files.h"
#include "common/own_names.h"

namespace dd {

namespace {

// Data is moved in chunks so that a cancel request is seen soon: the first of
// this size, the next ones larger while a chunk takes much less than a turn.
constexpr size_t kCopyChunk = 4 << 20;
constexpr size_t kLargestChunk = size_t{1} << 30;
constexpr size_t kFallbackBuffer = 256 << 10;
// A chunk grows while it takes much less than this (seconds): a long copy hands
// the screen a turn after every chunk, so that the window stays alive and a
// stop is seen while one big file is copied.
constexpr double kTurnInterval = 0.03;

// The Windows read-only flag: no write bit for anybody. Root could write
// anyway, so this is checked on the mode bits, not left to the kernel.
bool IsReadOnly(const struct stat& st) {
  return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

// Copies the `size` bytes that fstat found from the current offsets (a file
// that claims no size, as some kernel files do, is read to its end). The kernel
// moves the data (copy_file_range); where it cannot (other file system, old
// kernel) a read/write loop continues from where it stopped.
bool CopyData(int in, int out, off_t size, const std::atomic<bool>* cancel, const CopyTurn& turn) {
  off_t done = 0;
  bool kernelCopy = true;
  std::unique_ptr<char[]> buffer;
  size_t chunkSize = kCopyChunk;
  while (true) {
    ssize_t n;
    const double start = MonotonicSeconds();
    if (kernelCopy) {
      n = ::copy_file_range(in, nullptr, out, nullptr, chunkSize, 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == ETXTBSY ||
                    errno == EPERM)) {
        kernelCopy = false;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
    } else {
      if (!buffer) buffer.reset(new char[kFallbackBuffer]);
      size_t chunk = 0;
      n = 0;
      while (chunk < chunkSize) {
        ssize_t r = ::read(in, buffer.get(), kFallbackBuffer);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        if (r == 0) break;
        if (!WriteAllToFd(out, buffer.get(), static_cast<size_t>(r))) return false;
        chunk += static_cast<size_t>(r);
      }
      n = static_cast<ssize_t>(chunk);
    }
    if (n == 0) return true;
    done += n;
    // Known to be complete: no further call to find the end.
    if (size > 0 && done >= size) return true;
    const double now = MonotonicSeconds();
    if (now - start < kTurnInterval / 4 && chunkSize < kLargestChunk) chunkSize *= 2;
    if (turn) turn(done, size);
    // A file that is finished is kept even when a stop arrives now.
    if (Cancelled(cancel)) return false;
  }
}

// Creates every missing folder on the way to `path` (the last part too when
// `includeLast`). False when a folder could not be made; `created` counts those made.
bool CreateChain(const std::string& path, bool includeLast, int& created) {
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find(kPathSeparator, pos);
    bool last = next == std::string::npos;
    if (last) next = path.size();
    if (last && !includeLast) return true;
    std::string prefix = path.substr(0, next);
    struct stat st {};
    if (!prefix.empty() && ::lstat(prefix.c_str(), &st) != 0) {
      if (::mkdir(prefix.c_str(), 0777) != 0) return false;
      ++created;
    }
    if (last) return true;
    pos = next + 1;
  }
  return true;
}

// Sets errno when not, so that the failure names its reason.
bool ReplaceableTarget(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) errno = EISDIR;
  if (IsReadOnly(st)) errno = EACCES;
  return !S_ISDIR(st.st_mode) && !IsReadOnly(st);
}

// Creates a temporary entry beside the target by `make` (which gets the name);
// retries with the next name while the name is taken. "" on failure.
template <class Make>
std::string MakeTemp(Make make) {
  static std::atomic<unsigned long> counter{0};
  // Asked once: the C library no longer keeps it, and every replaced file needs a name.
  static const int64_t pid = ::getpid();
  while (true) {
    std::string name = TemporaryCopyName(pid, counter++);
    if (make(name)) return name;
    if (errno != EEXIST) return {};
  }
}

bool CopyLinkAt(int fromDir, const std::string& fromName, const struct stat& st, int toDir, const std::string& toName,
                const BeforeReplace& beforeReplace, bool targetExists) {
  std::string text(256, '\0');
  while (true) {
    ssize_t n = ::readlinkat(fromDir, fromName.c_str(), text.data(), text.size());
    if (n < 0) return false;
    if (static_cast<size_t>(n) < text.size()) {
      text.resize(static_cast<size_t>(n));
      break;
    }
    text.resize(text.size() * 2);
  }
  const std::string temp =
      MakeTemp([&](const std::string& name) { return ::symlinkat(text.c_str(), toDir, name.c_str()) == 0; });
  if (temp.empty()) return false;
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(toDir, temp.c_str(), times, AT_SYMLINK_NOFOLLOW);
  if ((targetExists && beforeReplace && !beforeReplace()) ||
      ::renameat(toDir, temp.c_str(), toDir, toName.c_str()) != 0) {
    ::unlinkat(toDir, temp.c_str(), 0);
    return false;
  }
  return true;
}

// The process's file creation mask, read once (it is never changed here);
// kNoMode when the kernel does not tell it.
constexpr mode_t kNoMode = static_cast<mode_t>(-1);
mode_t CreationMask() {
  static const mode_t mask = [] {
    const std::string status = ReadTextFile("/proc/self/status");
    const auto pos = status.find("\nUmask:");
    if (pos == std::string::npos) return kNoMode;
    return static_cast<mode_t>(std::strtoul(status.c_str() + pos + 8, nullptr, 8));
  }();
  return mask;
}

// Takes over owner, mode bits and times of the source; false when that failed.
// `created`: the mode bits the new file already has (kNoMode: not known).
bool KeepAttributes(int out, const struct stat& st, mode_t created) {
  // Owner first (only root may give a file away); special bits only with the owner kept.
  static const uid_t user = ::geteuid();
  static const gid_t group = ::getegid();
  bool sameOwner = st.st_uid == user && st.st_gid == group;
  if (!sameOwner) sameOwner = ::fchown(out, st.st_uid, st.st_gid) == 0;
  mode_t mode = st.st_mode & (sameOwner ? 07777 : 0777);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  return (mode == created || ::fchmod(out, mode) == 0) && ::futimens(out, times) == 0;
}

// Linking an unnamed file needs /proc; without it every file would be copied twice.
std::atomic<bool> g_procMissing{false};
// Linking it by its descriptor alone spares the lookup through /proc, but only
// a process with CAP_DAC_READ_SEARCH may do so.
std::atomic<bool> g_noEmptyPathLink{false};

bool LinkUnnamed(int out, int folder, const std::string& name) {
  if (!g_noEmptyPathLink.load(std::memory_order_relaxed)) {
    if (::linkat(out, "", folder, name.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
    // ENOENT is also what an unprivileged caller gets: /proc tells the two apart.
    g_noEmptyPathLink = true;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(out);
  if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno == ENOENT && !PathExists(self)) g_procMissing = true;
  return false;
}

// A new target is written as an unnamed file and linked into place when
// complete: nothing half-written is ever visible, not even after a crash.
// False when the file system cannot do this.
// Nobody can open it by a name, so it is made with the source's permission
// bits at once, which mostly spares setting them later.
bool OpenUnnamed(int toDir, mode_t mode, PreparedCopy& copy, mode_t& created) {
  if (g_procMissing.load(std::memory_order_relaxed)) return false;
  // Readable too: a copy may be read back before it gets its name.
  copy.out = ::openat(toDir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  if (copy.out < 0) return false;
  const mode_t mask = CreationMask();
  if (mask != kNoMode) created = mode & ~mask;
  return true;
}

// A target that exists (or a file system without unnamed files) gets a
// temporary file beside it, renamed over it when complete.
bool OpenTemp(int toDir, PreparedCopy& copy) {
  copy.temp = MakeTemp([&](const std::string& name) {
    copy.out = ::openat(toDir, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    return copy.out >= 0;
  });
  return !copy.temp.empty();
}

}  // namespace

int OpenSource(int fromDir, const char* fromName) {
  // O_NONBLOCK: should the source have been swapped for a pipe, opening must not hang.
  return ::openat(fromDir, fromName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool PrepareCopyAt(int fromDir, const std::string& fromName, int toDir, const std::string& toName,
                   const struct stat* target, const std::atomic<bool>* cancel, PreparedCopy& copy,
                   const CopyTurn& turn) {
  if (target && !ReplaceableTarget(*target)) return false;
  int in = OpenSource(fromDir, fromName.c_str());
  if (in < 0) return false;
  struct stat st {};
  const bool ok = ::fstat(in, &st) == 0 && PrepareCopyFrom(in, st, toDir, toName, target, cancel, copy, turn);
  ::close(in);
  return ok;
}

namespace {

// The source did not change while it was read: what was copied is one version of it.
bool HeldStill(const struct stat& before, const struct stat& after) {
  return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
         before.st_mtim.tv_nsec == after.st_mtim.tv_nsec && before.st_ctim.tv_sec == after.st_ctim.tv_sec &&
         before.st_ctim.tv_nsec == after.st_ctim.tv_nsec;
}

// Drops what was written, keeping the target's folder for another try.
void DropWritten(PreparedCopy& copy) {
  if (copy.out >= 0) ::close(copy.out);
  copy.out = -1;
  if (!copy.temp.empty()) ::unlinkat(copy.folder, copy.temp.c_str(), 0);
  copy.temp.clear();
}

}  // namespace

bool PrepareCopyFrom(int in, const struct stat& st, int toDir, const std::string& toName, const struct stat* target,
                     const std::atomic<bool>* cancel, PreparedCopy& copy, const CopyTurn& turn) {
  if (target && !ReplaceableTarget(*target)) return false;
  bool ok = S_ISREG(st.st_mode);
  copy.folder = !ok ? -1 : copy.folderLent ? toDir : ::fcntl(toDir, F_DUPFD_CLOEXEC, 0);
  copy.name = toName;
  copy.replaces = target != nullptr;
  copy.sourceChanged = false;
  if (target) copy.target = *target;
  ok = ok && copy.folder >= 0;
  struct stat before = st;
  // A source that changes while it is read is read once more from its start, then given up.
  for (int attempt = 1; ok; ++attempt) {
    mode_t created = kNoMode;
    ok = (!target && OpenUnnamed(toDir, before.st_mode & 0777, copy, created)) || OpenTemp(toDir, copy);
    ok = ok && CopyData(in, copy.out, before.st_size, cancel, turn);
    struct stat after {};
    ok = ok && ::fstat(in, &after) == 0;
    if (!ok) break;
    if (HeldStill(before, after)) {
      ok = KeepAttributes(copy.out, before, created);
      break;
    }
    DropWritten(copy);
    copy.sourceChanged = attempt == 2;
    ok = !copy.sourceChanged && ::lseek(in, 0, SEEK_SET) == 0;
    before = after;
  }
  if (!ok) DiscardCopy(copy);
  return ok;
}

bool CommitCopy(PreparedCopy& copy, const BeforeReplace& beforeReplace) {
  bool ok;
  if (copy.temp.empty()) {
    // Fails when something appeared at the target meanwhile: it is not ours to replace.
    ok = LinkUnnamed(copy.out, copy.folder, copy.name);
    copy.nameTaken = !ok && errno == EEXIST;
    // close reports late write errors of some file systems.
    if (::close(copy.out) != 0 && ok) {
      ::unlinkat(copy.folder, copy.name.c_str(), 0);
      ok = false;
    }
    copy.out = -1;
  } else {
    ok = ::close(copy.out) == 0;
    copy.out = -1;
    if (ok && copy.replaces) {
      // The target must still be the one that was checked.
      struct stat now {};
      ok = ::fstatat(copy.folder, copy.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           now.st_ino == copy.target.st_ino && now.st_dev == copy.target.st_dev && now.st_size == copy.target.st_size &&
           now.st_mtim.tv_sec == copy.target.st_mtim.tv_sec && now.st_mtim.tv_nsec == copy.target.st_mtim.tv_nsec;
      if (ok && beforeReplace) ok = beforeReplace();
    }
    // Without a target the name must still be free: a plain rename would replace what appeared meanwhile.
    if (ok) {
      ok = ::renameat2(copy.folder, copy.temp.c_str(), copy.folder, copy.name.c_str(),
                       copy.replaces ? 0 : RENAME_NOREPLACE) == 0;
      copy.nameTaken = !ok && !copy.replaces && errno == EEXIST;
    }
    if (ok) copy.temp.clear();
  }
  DiscardCopy(copy);
  return ok;
}

void DiscardCopy(PreparedCopy& copy) {
  if (copy.out >= 0) ::close(copy.out);
  if (!copy.temp.empty() && copy.folder >= 0) ::unlinkat(copy.folder, copy.temp.c_str(), 0);
  if (copy.folder >= 0 && !copy.folderLent) ::close(copy.folder);
  copy.out = copy.folder = -1;
  copy.temp.clear();
}

namespace {

// Removes everything inside the open folder `dir`; links are removed, never followed.
void DeleteContents(int dir) {
  // A folder without write or search permission for us is opened up: it is going anyway.
  struct stat self {};
  if (::fstat(dir, &self) == 0 && (self.st_mode & S_IRWXU) != S_IRWXU) ::fchmod(dir, self.st_mode | S_IRWXU);
  int scan = ::dup(dir);
  if (scan < 0) return;
  DIR* d = ::fdopendir(scan);
  if (!d) {
    ::close(scan);
    return;
  }
  std::vector<std::string> folders;
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (::unlinkat(dir, name.c_str(), 0) == 0) continue;
    if (errno == EISDIR || errno == EPERM) folders.push_back(name);
  }
  ::closedir(d);
  for (const std::string& name : folders) {
    int sub = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    DeleteContents(sub);
    ::close(sub);
    ::unlinkat(dir, name.c_str(), AT_REMOVEDIR);
  }
}

}  // namespace

bool CopyEntryAt(int fromDir, const std::string& fromName, const struct stat& source, int toDir,
                 const std::string& toName, const struct stat* target, const std::atomic<bool>* cancel,
                 const BeforeReplace& beforeReplace, const CopyTurn& turn) {
  if (target && !ReplaceableTarget(*target)) return false;
  if (S_ISLNK(source.st_mode)) return CopyLinkAt(fromDir, fromName, source, toDir, toName, beforeReplace, target);
  if (!S_ISREG(source.st_mode)) return false;  // pipes, devices and sockets are not copied
  PreparedCopy copy;
  if (!PrepareCopyAt(fromDir, fromName, toDir, toName, target, cancel, copy, turn)) return false;
  if (::fdatasync(copy.out) != 0) {
    DiscardCopy(copy);
    return false;
  }
  return CommitCopy(copy, beforeReplace);
}

bool CopyWithFolders(const std::string& source, const std::string& target, bool overwrite, int& created,
                     const std::atomic<bool>* cancel) {
  created = 0;
  if (source.empty() || target.empty()) return false;
  struct stat st {};
  if (::lstat(source.c_str(), &st) != 0) return false;

  if (S_ISDIR(st.st_mode)) {
    // Copying a folder record means making the folder; a file or link in its place is an error.
    std::string folder = DropTrailingSeparator(target);
    if (!CreateChain(folder, true, created)) return false;
    return IsDirectory(folder);
  }

  struct stat old {};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (exists && !overwrite) return false;
  if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;
  int from = ::open(FolderOfPath(source).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (from < 0) return false;
  int to = ::open(FolderOfPath(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (to < 0 && errno == ENOENT && CreateChain(target, false, created))
    to = ::open(FolderOfPath(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  bool ok = to >= 0 && CopyEntryAt(from, std::string(NameOfPath(source)), st, to, std::string(NameOfPath(target)),
                                   exists ? &old : nullptr, cancel, {});
  ::close(from);
  if (to >= 0) ::close(to);
  return ok;
}

DeleteResult DeletePath(const std::string& path) {
  if (!PathExists(path)) return DeleteResult::NothingThere;
  if (IsDirectory(path)) {
    DeleteFolderForced(path);
  } else {
    DeleteFile(path);
  }
  return PathExists(path) ? DeleteResult::StillThere : DeleteResult::Deleted;
}

void DeleteFolderForced(const std::string& path) {
  if (path.empty()) return;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    // A link (even one to a folder) is deleted itself, never what it points to.
    if (S_ISLNK(st.st_mode)) ::unlink(path.c_str());
    return;
  }
  int dir = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return;
  DeleteContents(dir);
  ::close(dir);
  ::rmdir(path.c_str());
}

}  // namespace dd
