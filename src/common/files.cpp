#include "common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "common/text.h"

namespace dd {

namespace {

std::string FolderOf(const std::string& path) {
  auto pos = path.rfind(kPathSeparator);
  if (pos == std::string::npos) return ".";
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

}  // namespace

bool WriteAllToFd(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string ReadTextFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    text.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      text.clear();
      break;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return text;
}

bool WriteTextFile(std::string_view text, const std::string& path) {
  if (path.empty()) return false;
  std::string temp = FolderOf(path) + "/.dualdock-write-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = WriteAllToFd(fd, text.data(), text.size()) && ::fsync(fd) == 0;
  // mkstemp makes the file private; a replaced file keeps its old mode, a new one gets the usual 0644.
  struct stat old {};
  ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

bool WriteListFile(const std::vector<std::string>& list, const std::string& path, std::string_view separator) {
  return WriteTextFile(Join(list, separator), path);
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int MakePath(const std::string& path) {
  if (path.empty()) return 0;
  std::string prefix;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t next = path.find(kPathSeparator, pos);
    if (next == std::string::npos) next = path.size();
    prefix = path.substr(0, next);
    if (!prefix.empty() && !PathExists(prefix)) ::mkdir(prefix.c_str(), 0777);
    pos = next + 1;
  }
  return IsDirectory(path) ? 1 : 0;
}

std::string FileNameOfPath(const std::string& path) {
  auto pos = path.rfind(kPathSeparator);
  if (pos == std::string::npos || pos + 1 == path.size()) return path;
  return path.substr(pos + 1);
}

std::string DropTrailingSeparator(std::string path) {
  if (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
  return path;
}

}  // namespace dd
