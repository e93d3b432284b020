#include "common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "common/atomic_file.h"
#include "common/text.h"

namespace dd {

namespace {}  // namespace

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

FileRead ReadWholeFile(const std::string& path, std::size_t limit, bool followLinks) {
  FileRead result;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW));
  if (fd < 0) {
    if (errno == ELOOP) result.status = FileReadStatus::Damaged;  // a link where no link belongs
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return result;
  }
  if (!S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > limit) {
    ::close(fd);
    result.status = FileReadStatus::Damaged;
    return result;
  }
  std::string text;
  text.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return result;
    }
    if (n == 0) break;
    // The file may grow while it is read; the limit holds all the same.
    if (text.size() + static_cast<std::size_t>(n) > limit) {
      ::close(fd);
      result.status = FileReadStatus::Damaged;
      return result;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  result.text = std::move(text);
  result.status = FileReadStatus::Read;
  return result;
}

std::string ReadTextFile(const std::string& path) {
  return ReadWholeFile(path, kProgramFileLimit, false).text;
}

bool WriteTextFile(std::string_view text, const std::string& path) {
  AtomicFile file(path);
  file.Append(text);
  return file.Commit();
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

bool MakePath(const std::string& path) {
  if (path.empty()) return false;
  std::string prefix;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t next = path.find(kPathSeparator, pos);
    if (next == std::string::npos) next = path.size();
    prefix = path.substr(0, next);
    if (!prefix.empty() && !PathExists(prefix)) ::mkdir(prefix.c_str(), 0777);
    pos = next + 1;
  }
  return IsDirectory(path);
}

DeleteResult DeleteFile(const std::string& path) {
  if (!PathExists(path)) return DeleteResult::NothingThere;
  // unlink needs no write permission on the file itself, so a read-only file goes too.
  ::unlink(path.c_str());
  return PathExists(path) ? DeleteResult::StillThere : DeleteResult::Deleted;
}

std::string DropTrailingSeparator(std::string path) {
  if (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
  return path;
}

std::string ResolvedPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

}  // namespace dd
