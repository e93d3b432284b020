#include "platform/trash_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/data_home.h"

namespace dd {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(); }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The mount of an open entry (what a rename cannot cross), and its inode.
struct Place {
  bool known = false;
  uint64_t mount = 0;
  dev_t dev = 0;
  ino_t ino = 0;
};

Place PlaceOf(int fd) {
  Place p;
  struct statx sx {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO | STATX_MNT_ID, &sx) != 0) return p;
  p.known = true;
  // Without mount ids (old kernels), the file system has to do.
  p.mount = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : 0;
  p.dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  p.ino = sx.stx_ino;
  return p;
}

bool SameMount(const Place& a, const Place& b) {
  return a.known && b.known && a.dev == b.dev && a.mount == b.mount;
}

// The folder `name` in `parent`, made private when missing; never a link.
int OpenOrMake(int parent, const char* name) {
  int fd = ::openat(parent, name, kFolderFlags);
  if (fd < 0 && errno == ENOENT && (::mkdirat(parent, name, 0700) == 0 || errno == EEXIST))
    fd = ::openat(parent, name, kFolderFlags);
  return fd;
}

// A trash folder of ours: a folder we own that nobody else may write to.
bool Ours(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool OpenInside(int trash, const Place& item, TrashFolders& out) {
  Fd files(OpenOrMake(trash, "files"));
  Fd info(OpenOrMake(trash, "info"));
  if (files.Get() < 0 || info.Get() < 0 || !Ours(files.Get()) || !Ours(info.Get()) ||
      !SameMount(PlaceOf(files.Get()), item))
    return false;
  out.files = files.Release();
  out.info = info.Release();
  return true;
}

// The user's own trash: "$XDG_DATA_HOME/Trash", by default "~/.local/share/Trash".
bool OpenHomeTrash(const Place& item, TrashFolders& out) {
  const std::string dataHome = DataHomeFolder();
  if (dataHome.empty()) return false;
  // Where the data folder lies is the user's choice, links included.
  Fd data(::open(dataHome.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // Nothing is made in a data folder on another mount: its trash could not take the entry anyway.
  if (data.Get() < 0 || !SameMount(PlaceOf(data.Get()), item)) return false;
  Fd trash(OpenOrMake(data.Get(), "Trash"));
  return trash.Get() >= 0 && Ours(trash.Get()) && OpenInside(trash.Get(), item, out);
}

// The top folder of the mount that holds the open folder `folder`, found by
// going up through "..": no path is read, so no link can misdirect it.
int TopOfMount(int folder, const Place& item) {
  Fd current(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
  Place here = PlaceOf(current.Get());
  while (current.Get() >= 0) {
    Fd parent(::openat(current.Get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.Get() < 0) return -1;
    const Place up = PlaceOf(parent.Get());
    if (!SameMount(up, item) || (up.ino == here.ino && up.dev == here.dev)) return current.Release();
    current.Reset(parent.Release());
    here = up;
  }
  return -1;
}

bool OpenTopTrash(int folder, const Place& item, TrashFolders& out) {
  Fd top(TopOfMount(folder, item));
  if (top.Get() < 0) return false;
  const std::string uid = std::to_string(::geteuid());
  // "$top/.Trash" is shared: only a sticky folder that is no link is used, with a folder of ours in it.
  Fd shared(::openat(top.Get(), ".Trash", kFolderFlags));
  struct stat st {};
  if (shared.Get() >= 0 && ::fstat(shared.Get(), &st) == 0 && (st.st_mode & S_ISVTX)) {
    Fd mine(OpenOrMake(shared.Get(), uid.c_str()));
    if (mine.Get() >= 0 && Ours(mine.Get()) && OpenInside(mine.Get(), item, out)) return true;
  }
  Fd mine(OpenOrMake(top.Get(), (".Trash-" + uid).c_str()));
  return mine.Get() >= 0 && Ours(mine.Get()) && OpenInside(mine.Get(), item, out);
}

}  // namespace

TrashFolders::~TrashFolders() {
  if (files >= 0) ::close(files);
  if (info >= 0) ::close(info);
}

bool OpenTrashFor(int folder, TrashFolders& trash) {
  const Place item = PlaceOf(folder);
  if (!item.known) return false;
  return OpenHomeTrash(item, trash) || OpenTopTrash(folder, item, trash);
}

}  // namespace dd
