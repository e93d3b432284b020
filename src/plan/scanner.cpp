#include "plan/scanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "common/clock.h"
#include "common/own_names.h"
#include "common/run_statistics.h"
#include "common/text.h"

namespace dd {

namespace {

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Our own temporary copies (anywhere) and the desktop trash at the top of a
// root: syncing them would copy half-done work or trash the trash.
bool IsOwnEntry(std::string_view name, bool atRoot, bool isFolder) {
  return (!isFolder && IsTemporaryCopyName(name)) || (atRoot && IsTrashFolderName(name));
}

// Notes an entry the comparison must not see: a name the records cannot carry, or an entry of our own.
// False for an ordinary entry.
bool LeaveOut(ScanResult& result, std::string_view name, uint32_t folder, bool isFolder, bool isRegular) {
  if (!IsRecordableName(name)) {
    ++result.Skipped;
    if (result.SkippedPaths.size() < kSkippedPathsKept)
      result.SkippedPaths.push_back(result.FolderPath(folder) + "/" + std::string(name));
    return true;
  }
  if (!IsOwnEntry(name, folder == 0, isFolder)) return false;
  ++result.OwnEntries;
  const std::string& relative = result.Folders[folder];
  if (isRegular && IsTemporaryCopyName(name))
    result.TemporaryCopies.push_back((relative.empty() ? std::string() : relative.substr(1) + "/") + std::string(name));
  return true;
}

}  // namespace

bool IsRecordableName(std::string_view name) {
  return IsRecordableText(name);
}

ScanResult ScanFolder(const std::string& root, ScanObserver& observer) {
  ScanResult result;
  if (root.empty()) return result;
  result.Root = root;
  if (result.Root.back() == '/') result.Root.pop_back();
  ScanDir(result.Root, 0, result, observer, CurrentUtcOffset());
  return result;
}

void ScanDir(const std::string& path, uint32_t folder, ScanResult& result, ScanObserver& observer, int64_t utcOffset) {
  std::vector<uint32_t> subfolders;
  if (!ListDir(path, folder, result, observer, utcOffset, subfolders)) return;
  for (uint32_t sub : subfolders) {
    if (observer.StopRequested()) return;
    ScanDir(result.Root + result.Folders[sub], sub, result, observer, utcOffset);
  }
}

bool ListDir(const std::string& path, uint32_t folder, ScanResult& result, ScanObserver& observer, int64_t utcOffset,
             std::vector<uint32_t>& subfolders) {
  // The root may be given as a link to a folder; below it nothing is followed.
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (folder == 0 ? 0 : O_NOFOLLOW);
  int fd = ::open(path.empty() ? "/" : path.c_str(), flags);
  if (fd < 0) {
    result.Unlisted.push_back(folder);
    return true;
  }
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    result.Unlisted.push_back(folder);
    return true;
  }

  const std::string folderText = path + "/";
  const std::string relative = result.Folders[folder];
  bool stopped = false;
  while (true) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (!entry) {
      if (errno != 0) result.Unlisted.push_back(folder);
      break;
    }
    const char* name = entry->d_name;
    if (IsDotEntry(name)) continue;
    const std::string_view nameView(name, std::strlen(name));

    struct stat st {};
    bool haveStat = false;
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
      haveStat = true;
      isFolder = S_ISDIR(st.st_mode);
    }

    if (LeaveOut(result, nameView, folder, isFolder, haveStat ? S_ISREG(st.st_mode) : entry->d_type == DT_REG)) {
      // counted in the result, never compared
    } else if (!isFolder) {
      if (!haveStat && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      ScannedFile file;
      file.Size = static_cast<int64_t>(st.st_size);
      file.Modified = static_cast<int64_t>(st.st_mtim.tv_sec) + utcOffset;
      file.NameOffset = result.Names.Add(nameView);
      file.Folder = folder;
      file.NameLength = static_cast<uint16_t>(nameView.size());
      result.Files.push_back(file);
      observer.FileFound(folderText, nameView, file.Size);
      if (result.Files.size() % 50 == 0) observer.Yield();
      if (observer.StopRequested()) {
        stopped = true;
        break;
      }
    } else {
      subfolders.push_back(static_cast<uint32_t>(result.Folders.size()));
      std::string sub;
      sub.reserve(relative.size() + 1 + nameView.size());
      sub.append(relative).append("/").append(nameView);
      result.Folders.push_back(std::move(sub));
      observer.FolderFound();
    }
    if (observer.StopRequested()) {
      stopped = true;
      break;
    }
  }
  ::closedir(dir);
  return !stopped && !observer.StopRequested();
}

ScanResult ScanFolder(RunStatistics& run, Screen& screen, const std::string& root) {
  RunScanObserver observer(run, screen);
  return ScanFolder(root, observer);
}

}  // namespace dd
