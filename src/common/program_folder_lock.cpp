#include "common/program_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

namespace dd {

namespace {

// The locks this process holds: a lock file's descriptor and how many holders share it.
struct Holding {
  int fd = -1;
  int count = 0;
};

std::mutex& HoldingsMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, Holding>& Holdings() {
  static std::map<std::string, Holding> holdings;
  return holdings;
}

// Opens the lock file without following a link and without waiting on a pipe; only a regular file is taken.
int OpenLockFile(const std::string& path) {
  // Read-only is enough for flock, and lets a user who did not create the file take the lock too.
  int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

ProgramFolderLock::ProgramFolderLock(const std::string& lockFilePath) : path_(lockFilePath) {
  std::lock_guard<std::mutex> guard(HoldingsMutex());
  Holding& h = Holdings()[path_];
  if (h.count == 0) h.fd = OpenLockFile(path_);
  if (h.fd < 0) {
    Holdings().erase(path_);
    return;
  }
  ++h.count;
  held_ = true;
}

ProgramFolderLock::~ProgramFolderLock() {
  if (!held_) return;
  std::lock_guard<std::mutex> guard(HoldingsMutex());
  auto it = Holdings().find(path_);
  if (it == Holdings().end() || --it->second.count > 0) return;
  ::close(it->second.fd);  // closing the last descriptor releases the lock
  Holdings().erase(it);
}

}  // namespace dd
