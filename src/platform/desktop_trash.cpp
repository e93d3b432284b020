#include "platform/desktop_trash.h"

#include <fcntl.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/files.h"
#include "platform/trash_folders.h"

namespace dd {

namespace {

constexpr std::size_t kNameMax = 255;
constexpr std::string_view kInfoSuffix = ".trashinfo";
// Names tried in one trash before giving up: "name", "name.2", ... "name.1000".
constexpr int kNamesTried = 1000;

std::string TrashName(const std::string& name, int n) {
  const std::string number = n == 1 ? std::string() : "." + std::to_string(n);
  // The record's name must fit too.
  const std::size_t room = kNameMax - kInfoSuffix.size() - number.size();
  return name.substr(0, room) + number;
}

std::string InfoText(const std::string& path) {
  char date[32] = "";
  const time_t now = ::time(nullptr);
  struct tm local {};
  if (::localtime_r(&now, &local)) ::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + TrashInfoPath(path) + "\nDeletionDate=" + date + "\n";
}

// Writes the record of a new name in info/; false with errno EEXIST when the name is taken.
bool WriteInfo(int info, const std::string& infoName, const std::string& text) {
  const int fd = ::openat(info, infoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAllToFd(fd, text.data(), text.size());
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlinkat(info, infoName.c_str(), 0);
    errno = EIO;
  }
  return ok;
}

// Moves without replacing anything; where the file system lacks that rename, a
// file is linked under the new name and its old name removed.
bool MoveNoReplace(int from, const std::string& name, int to, const std::string& newName) {
  if (::renameat2(from, name.c_str(), to, newName.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL) return false;
  if (::linkat(from, name.c_str(), to, newName.c_str(), 0) != 0) return false;
  if (::unlinkat(from, name.c_str(), 0) == 0) return true;
  const int saved = errno;
  ::unlinkat(to, newName.c_str(), 0);
  errno = saved;
  return false;
}

}  // namespace

std::string TrashInfoPath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (const unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

TrashOutcome DesktopTrash::MoveToTrash(int folder, const std::string& name, const std::string& path) {
  TrashFolders trash;
  if (!OpenTrashFor(folder, trash)) return TrashOutcome::NoTrash;
  const std::string text = InfoText(path);
  for (int n = 1; n <= kNamesTried; ++n) {
    const std::string trashName = TrashName(name, n);
    const std::string infoName = trashName + std::string(kInfoSuffix);
    // The record comes first: an entry in files/ without one could not be restored.
    if (!WriteInfo(trash.info, infoName, text)) {
      if (errno == EEXIST) continue;
      return TrashOutcome::Failed;
    }
    if (MoveNoReplace(folder, name, trash.files, trashName)) return TrashOutcome::Moved;
    const int error = errno;
    ::unlinkat(trash.info, infoName.c_str(), 0);
    if (error != EEXIST) return TrashOutcome::Failed;
  }
  return TrashOutcome::Failed;
}

}  // namespace dd
