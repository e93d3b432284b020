#include "apply/leftovers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "apply/beneath.h"
#include "common/own_names.h"

namespace dd {

namespace {

// Only a process that no longer exists leaves a copy nobody will finish; a
// live one (or one we may not signal) is left its file.
bool ProcessIsGone(int64_t pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

bool RemoveOne(int root, const std::string& rel) {
  int64_t pid = 0;
  const std::string name(NameOfPath(rel));
  if (!IsPlainRelativePath(rel) || !IsTemporaryCopyName(name, &pid) || !ProcessIsGone(pid)) return false;
  const int folder = OpenFolderBeneath(root, FolderBelowRoot(rel));
  if (folder < 0) return false;
  struct stat st {};
  const bool removed = ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
                       ::unlinkat(folder, name.c_str(), 0) == 0;
  ::close(folder);
  return removed;
}

}  // namespace

int64_t RemoveDeadTemporaryCopies(const std::string& root, const std::vector<std::string>& paths) {
  if (paths.empty()) return 0;
  // The root may be given as a link to a folder, as everywhere; below it nothing is followed.
  const int fd = ::open(root.empty() ? "/" : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  int64_t removed = 0;
  for (const std::string& rel : paths) removed += RemoveOne(fd, rel) ? 1 : 0;
  ::close(fd);
  return removed;
}

}  // namespace dd
