#include "execution/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include "common/files.h"

namespace dd {

namespace {

// Data is moved in chunks of this size so that a cancel request is seen soon.
constexpr size_t kCopyChunk = 4 << 20;
constexpr size_t kFallbackBuffer = 256 << 10;

std::string FolderOf(const std::string& path) {
  auto pos = path.rfind(kPathSeparator);
  if (pos == std::string::npos) return ".";
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

// The Windows read-only flag: no write bit for anybody. Root could write
// anyway, so this is checked on the mode bits, not left to the kernel.
bool IsReadOnly(const struct stat& st) {
  return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// A name for a temporary entry beside the target. Unique within this process;
// callers retry with the next number when the name is taken.
std::string TempNameIn(const std::string& folder) {
  static std::atomic<unsigned long> counter{0};
  return folder + "/.dualdock-copy-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

CopyHeartbeat& Heartbeat() {
  static CopyHeartbeat heartbeat;
  return heartbeat;
}

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

// Copies from the current offsets to the end of `in`. The kernel moves the
// data (copy_file_range); where it cannot (other file system, old kernel)
// a read/write loop continues from where it stopped.
bool CopyData(int in, int out, off_t size, const std::atomic<bool>* cancel) {
  off_t done = 0;
  bool kernelCopy = true;
  std::unique_ptr<char[]> buffer;
  while (true) {
    ssize_t n;
    if (kernelCopy) {
      n = ::copy_file_range(in, nullptr, out, nullptr, kCopyChunk, 0);
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
      while (chunk < kCopyChunk) {
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
    if (done < size && Heartbeat()) Heartbeat()(done, size);
    // A file that is finished is kept even when a stop arrives now.
    if (done < size && Cancelled(cancel)) return false;
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

// The target may be replaced: overwrite allowed, not a folder, not read-only.
// `exists` tells whether anything is there now.
bool TargetReplaceable(const std::string& target, bool overwrite, bool& exists) {
  struct stat st {};
  exists = ::lstat(target.c_str(), &st) == 0;
  if (!exists) return true;
  return overwrite && !S_ISDIR(st.st_mode) && !IsReadOnly(st);
}

enum class Outcome { Done, MissingFolder, Failed };

Outcome CopyLink(const std::string& source, const std::string& target) {
  std::string text(256, '\0');
  while (true) {
    ssize_t n = ::readlink(source.c_str(), text.data(), text.size());
    if (n < 0) return Outcome::Failed;
    if (static_cast<size_t>(n) < text.size()) {
      text.resize(static_cast<size_t>(n));
      break;
    }
    text.resize(text.size() * 2);
  }
  std::string folder = FolderOf(target), temp;
  while (true) {
    temp = TempNameIn(folder);
    if (::symlink(text.c_str(), temp.c_str()) == 0) break;
    if (errno == EEXIST) continue;
    return errno == ENOENT ? Outcome::MissingFolder : Outcome::Failed;
  }
  struct stat st {};
  if (::lstat(source.c_str(), &st) == 0) {
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, temp.c_str(), times, AT_SYMLINK_NOFOLLOW);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return Outcome::Failed;
  }
  return Outcome::Done;
}

// Takes over owner, mode bits and times of the source; false when that failed.
bool KeepAttributes(int out, const struct stat& st) {
  // Owner first (only root may give a file away); special bits only with the owner kept.
  static const uid_t user = ::geteuid();
  static const gid_t group = ::getegid();
  bool sameOwner = st.st_uid == user && st.st_gid == group;
  if (!sameOwner) sameOwner = ::fchown(out, st.st_uid, st.st_gid) == 0;
  mode_t mode = st.st_mode & (sameOwner ? 07777 : 0777);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  return ::fchmod(out, mode) == 0 && ::futimens(out, times) == 0;
}

// A new target, written as an unnamed file and linked into place when complete:
// nothing half-written is ever visible, not even after a crash. Returns nullopt
// when the file system cannot do this (or the target appeared meanwhile).
std::optional<Outcome> CopyFileUnnamed(int in, const struct stat& st, const std::string& target,
                                       const std::atomic<bool>* cancel) {
  // Linking an unnamed file needs /proc; without it every file would be copied twice.
  static std::atomic<bool> procMissing{false};
  if (procMissing.load(std::memory_order_relaxed)) return std::nullopt;
  int out = ::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (out < 0) return errno == ENOENT ? std::optional(Outcome::MissingFolder) : std::nullopt;
  if (!CopyData(in, out, st.st_size, cancel) || !KeepAttributes(out, st)) {
    ::close(out);
    return Outcome::Failed;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(out);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    if (errno == ENOENT && !PathExists(self)) procMissing = true;
    ::close(out);
    return std::nullopt;
  }
  // close reports late write errors of some file systems; the target did not exist before.
  if (::close(out) != 0) {
    ::unlink(target.c_str());
    return Outcome::Failed;
  }
  return Outcome::Done;
}

Outcome CopyFile(const std::string& source, const std::string& target, bool targetExists,
                 const std::atomic<bool>* cancel) {
  // O_NONBLOCK: should the source have been swapped for a pipe, opening must not hang.
  int in = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return Outcome::Failed;
  struct stat st {};
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(in);
    return Outcome::Failed;
  }
  if (!targetExists) {
    std::optional<Outcome> unnamed = CopyFileUnnamed(in, st, target, cancel);
    if (unnamed) {
      ::close(in);
      return *unnamed;
    }
    if (::lseek(in, 0, SEEK_SET) != 0) {
      ::close(in);
      return Outcome::Failed;
    }
  }
  // A target that exists is replaced by renaming a complete copy over it.
  std::string folder = FolderOf(target), temp;
  int out;
  while (true) {
    temp = TempNameIn(folder);
    out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out >= 0) break;
    if (errno == EEXIST) continue;
    ::close(in);
    return errno == ENOENT ? Outcome::MissingFolder : Outcome::Failed;
  }
  bool ok = CopyData(in, out, st.st_size, cancel);
  ::close(in);
  if (ok) ok = KeepAttributes(out, st);
  // close reports late write errors of some file systems.
  ok = ::close(out) == 0 && ok;
  if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return Outcome::Done;
  ::unlink(temp.c_str());
  return Outcome::Failed;
}

Outcome CopyEntry(const std::string& source, const struct stat& st, const std::string& target, bool targetExists,
                  const std::atomic<bool>* cancel) {
  if (S_ISLNK(st.st_mode)) return CopyLink(source, target);
  if (S_ISREG(st.st_mode)) return CopyFile(source, target, targetExists, cancel);
  return Outcome::Failed;  // pipes, devices and sockets are not copied
}

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

void SetCopyHeartbeat(CopyHeartbeat heartbeat) {
  Heartbeat() = std::move(heartbeat);
}

int CopyWithFolders(const std::string& source, const std::string& target, bool overwrite, int& created,
                    const std::atomic<bool>* cancel) {
  created = 0;
  if (source.empty() || target.empty()) return 0;
  struct stat st {};
  if (::lstat(source.c_str(), &st) != 0) return 0;

  if (S_ISDIR(st.st_mode)) {
    // Copying a folder record means making the folder; a file or link in its place is an error.
    std::string folder = DropTrailingSeparator(target);
    if (!CreateChain(folder, true, created)) return 0;
    return IsDirectory(folder) ? 1 : 0;
  }

  bool exists = false;
  if (!TargetReplaceable(target, overwrite, exists)) return 0;
  Outcome outcome = CopyEntry(source, st, target, exists, cancel);
  if (outcome == Outcome::MissingFolder) {
    if (!CreateChain(target, false, created)) return 0;
    outcome = CopyEntry(source, st, target, false, cancel);
  }
  // Done means our own link or rename put the complete copy at the target.
  return outcome == Outcome::Done ? 1 : 0;
}

int DeletePath(const std::string& path) {
  if (!PathExists(path)) return -1;
  if (IsDirectory(path)) {
    DeleteFolderForced(path);
  } else {
    DeleteFileForced(path);
  }
  return PathExists(path) ? 0 : 1;
}

void DeleteFileForced(const std::string& path) {
  // Removing a name needs no write permission on the file itself, so read-only files go too.
  if (!path.empty()) ::unlink(path.c_str());
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
