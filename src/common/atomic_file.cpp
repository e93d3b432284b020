#include "common/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

#include "common/files.h"

namespace dd {

namespace {

constexpr std::size_t kBuffer = std::size_t{1} << 20;

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
  if (path.empty()) return;
  temp_ = FolderOfPath(path) + "/.dualdock-write-XXXXXX";
  fd_ = ::mkstemp(temp_.data());
  ok_ = fd_ >= 0;
}

AtomicFile::~AtomicFile() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(temp_.c_str());
}

void AtomicFile::Append(std::string_view text) {
  if (buffer_.size() + text.size() < kBuffer) {
    buffer_.append(text);
    return;
  }
  Flush();
  Write(text);
}

void AtomicFile::Write(std::string_view text) {
  ok_ = ok_ && WriteAllToFd(fd_, text.data(), text.size());
}

void AtomicFile::Flush() {
  Write(buffer_);
  buffer_.clear();
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  Flush();
  ok_ = ok_ && ::fsync(fd_) == 0;
  // mkstemp makes the file private; a replaced file keeps its old mode. Best effort: a file system without
  // modes (a FAT stick) refuses the change, and the file is still worth having.
  struct stat old {};
  ::fchmod(fd_, ::stat(path_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  ok_ = ::close(fd_) == 0 && ok_;
  fd_ = -1;
  if (ok_ && ::rename(temp_.c_str(), path_.c_str()) == 0) return true;
  ::unlink(temp_.c_str());
  return false;
}

}  // namespace dd
