#include "apply/beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "apply/folder_modes.h"

namespace dd {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Kernels before 5.6 (or sandboxes that filter the call) lack openat2: the
// parts are then opened one by one, each without following a link.
std::atomic<bool> g_noOpenat2{false};

int OpenPart(int folder, const std::string& name) {
  int fd;
  do fd = ::openat(folder, name.c_str(), kFolderFlags);
  while (fd < 0 && errno == EINTR);
  return fd;
}

// Makes the folder `name` in `parent`, the part of `rel` that ends at `end`,
// like its counterpart below `model` when there is one.
bool MakePart(int parent, const std::string& name, int model, std::string_view rel, std::size_t end) {
  struct stat st {};
  bool known = false;
  if (model >= 0) {
    const int fd = OpenFolderBeneath(model, rel.substr(0, end));
    known = fd >= 0 && ::fstat(fd, &st) == 0;
    if (fd >= 0) ::close(fd);
  }
  return MakeFolderLike(parent, name.c_str(), known ? &st : nullptr);
}

int Walk(int root, std::string_view rel, int* created, int model = -1) {
  int current = ::fcntl(root, F_DUPFD_CLOEXEC, 0);
  std::size_t pos = 0;
  while (current >= 0 && pos < rel.size()) {
    std::size_t end = rel.find('/', pos);
    if (end == std::string_view::npos) end = rel.size();
    const std::string name(rel.substr(pos, end - pos));
    pos = end + 1;
    int next = OpenPart(current, name);
    if (next < 0 && errno == ENOENT && created) {
      if (MakePart(current, name, model, rel, end)) ++*created;
      next = OpenPart(current, name);
    }
    const int saved = errno;
    ::close(current);
    errno = saved;
    current = next;
  }
  return current;
}

}  // namespace

bool IsPlainRelativePath(std::string_view rel) {
  if (rel.empty() || rel.find('\0') != std::string_view::npos) return false;
  std::size_t pos = 0;
  while (true) {
    std::size_t end = rel.find('/', pos);
    if (end == std::string_view::npos) end = rel.size();
    std::string_view part = rel.substr(pos, end - pos);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == rel.size()) return true;
    pos = end + 1;
  }
}

int OpenFolderBeneath(int root, std::string_view rel) {
  if (rel.empty()) return ::fcntl(root, F_DUPFD_CLOEXEC, 0);
  if (!IsPlainRelativePath(rel)) {
    errno = EINVAL;
    return -1;
  }
  if (!g_noOpenat2.load(std::memory_order_relaxed)) {
    const std::string path(rel);
    struct open_how how {};
    how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    long fd;
    do fd = ::syscall(SYS_openat2, root, path.c_str(), &how, sizeof how);
    while (fd < 0 && (errno == EINTR || errno == EAGAIN));
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
    g_noOpenat2 = true;
  }
  return Walk(root, rel, nullptr);
}

int OpenFolderCreating(int root, std::string_view rel, int& created, int model) {
  if (rel.empty()) return ::fcntl(root, F_DUPFD_CLOEXEC, 0);
  if (!IsPlainRelativePath(rel)) {
    errno = EINVAL;
    return -1;
  }
  // The usual case: everything is there already.
  int fd = OpenFolderBeneath(root, rel);
  if (fd >= 0 || errno != ENOENT) return fd;
  return Walk(root, rel, &created, model);
}

void UseComponentWalk(bool on) {
  g_noOpenat2 = on;
}

}  // namespace dd
