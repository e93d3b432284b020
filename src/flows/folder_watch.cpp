#include "flows/folder_watch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/own_names.h"

namespace dd {

namespace {

// Writes (also through mmap while open), creations, removals, renames and changed times.
constexpr uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO |
                             IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

bool IsFolderEntry(int dirFd, const dirent* e) {
  if (e->d_type == DT_DIR) return true;
  if (e->d_type != DT_UNKNOWN) return false;
  struct stat st {};
  return ::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

bool IsAtOrBelow(const std::string& path, const std::string& folder) {
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

// Entries of ours that a run makes and removes: temporary copies anywhere, the trash at the top.
bool IsOwnName(const std::string& relativeFolder, const std::string& name) {
  return IsTemporaryCopyName(name) || (relativeFolder.empty() && IsTrashFolderName(name));
}

}  // namespace

FolderWatch::FolderWatch(std::vector<std::string> skip)
    : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), skip_(std::move(skip)) {}

FolderWatch::~FolderWatch() {
  if (fd_ >= 0) ::close(fd_);
}

bool FolderWatch::Skipped(const std::string& path) const {
  for (const std::string& s : skip_)
    if (!s.empty() && IsAtOrBelow(path, s)) return true;
  return false;
}

bool FolderWatch::AddOne(const Place& place) {
  const std::string path = place.root + place.relative;
  // The root may be a link to a folder; below it nothing is followed.
  const uint32_t mask = kEvents | (place.relative.empty() ? 0 : IN_DONT_FOLLOW);
  const int wd = ::inotify_add_watch(fd_, path.empty() ? "/" : path.c_str(), mask);
  if (wd < 0) {
    if (errno == ENOSPC) limitReached_ = true;
    return false;
  }
  std::vector<Place>& at = places_[wd];
  for (const Place& p : at)
    if (p.pair == place.pair && p.root == place.root && p.relative == place.relative) return true;
  at.push_back(place);
  return true;
}

void FolderWatch::AddTree(int pair, const std::string& root, const std::string& relative) {
  if (fd_ < 0) return;
  const std::string cleanRoot = !root.empty() && root.back() == '/' ? root.substr(0, root.size() - 1) : root;
  std::vector<std::string> folders{relative};
  while (!folders.empty() && !limitReached_) {
    const std::string folder = std::move(folders.back());
    folders.pop_back();
    const std::string path = cleanRoot + folder;
    if (Skipped(path) || !AddOne({pair, cleanRoot, folder})) continue;
    DIR* dir = ::opendir(path.empty() ? "/" : path.c_str());
    if (!dir) continue;
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == ".." || IsOwnName(folder, name) || !IsFolderEntry(::dirfd(dir), e)) continue;
      folders.push_back(folder + "/" + name);
    }
    ::closedir(dir);
  }
}

// A folder moved away: its watches would report under its old name.
void FolderWatch::Forget(const Place& moved) {
  for (auto it = places_.begin(); it != places_.end();) {
    auto& at = it->second;
    std::erase_if(at, [&](const Place& p) {
      return p.pair == moved.pair && p.root == moved.root && IsAtOrBelow(p.relative, moved.relative);
    });
    if (at.empty()) {
      ::inotify_rm_watch(fd_, it->first);
      it = places_.erase(it);
    } else {
      ++it;
    }
  }
}

bool FolderWatch::Note(const Place& place, uint32_t mask, const std::string& name, ChangeLog& log) {
  // Events about the watched folder itself are also reported, by name, in its parent.
  if (name.empty() || IsOwnName(place.relative, name)) return false;
  const std::string relative = place.relative + "/" + name;
  if (Skipped(place.root + relative)) return false;
  log.Pairs[place.pair][place.relative].Names.insert(name);
  if (!(mask & IN_ISDIR)) return true;
  if (mask & IN_MOVED_FROM) Forget({place.pair, place.root, relative});
  if (mask & (IN_CREATE | IN_MOVED_TO)) AddTree(place.pair, place.root, relative);
  // What a folder brings when moved in raises no events of its own.
  if (mask & IN_MOVED_TO) log.Pairs[place.pair][relative].Deep = true;
  return true;
}

bool FolderWatch::Read(ChangeLog& log) {
  if (fd_ < 0) return false;
  alignas(inotify_event) char buffer[64 * 1024];
  bool noted = false;
  while (true) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      if (e->mask & IN_Q_OVERFLOW) {
        log.Overflow = noted = true;
        continue;
      }
      auto found = places_.find(e->wd);
      if (found == places_.end()) continue;
      if (e->mask & IN_IGNORED) {
        places_.erase(found);
        continue;
      }
      const std::string name = e->len ? std::string(e->name, ::strnlen(e->name, e->len)) : std::string();
      // A copy: adding watches below may change the map.
      const std::vector<Place> placesHere = found->second;
      for (const Place& place : placesHere) noted = Note(place, e->mask, name, log) || noted;
    }
  }
  return noted;
}

}  // namespace dd
