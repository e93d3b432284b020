#include "plan/content_check.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "common/run_statistics.h"
#include "todo/record_texts.h"

namespace dd {

namespace {

constexpr int kFileFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

int OpenRoot(const std::string& root) {
  return ::open(root.empty() ? "/" : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Where openat2 is missing: the folders one by one, none of them a link.
int OpenByParts(int root, std::string_view rel) {
  int current = ::fcntl(root, F_DUPFD_CLOEXEC, 0);
  std::size_t pos = 0;
  while (current >= 0) {
    const std::size_t end = rel.find('/', pos);
    const bool last = end == std::string_view::npos;
    const std::string name(rel.substr(pos, last ? std::string_view::npos : end - pos));
    if (name.empty() || name == "." || name == "..") {
      ::close(current);
      errno = EINVAL;
      return -1;
    }
    const int next =
        ::openat(current, name.c_str(), last ? kFileFlags : O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int saved = errno;
    ::close(current);
    errno = saved;
    if (last) return next;
    current = next;
    pos = end + 1;
  }
  return -1;
}

// Whether `rel` itself is a link, its folder reached below `root` through none.
bool IsLinkBeneath(int root, std::string_view rel) {
  const std::size_t slash = rel.rfind('/');
  int folder = root;
  if (slash != std::string_view::npos) {
    struct open_how how {};
    how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    const std::string parent(rel.substr(0, slash));
    folder = static_cast<int>(::syscall(SYS_openat2, root, parent.c_str(), &how, sizeof how));
    if (folder < 0) return false;
  }
  struct stat st {};
  const std::string name(rel.substr(slash == std::string_view::npos ? 0 : slash + 1));
  const bool link = ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
  if (folder != root) ::close(folder);
  return link;
}

}  // namespace

int OpenFileBeneath(int root, std::string_view rel) {
  const std::string path(rel);
  struct open_how how {};
  how.flags = kFileFlags;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  long fd;
  do fd = ::syscall(SYS_openat2, root, path.c_str(), &how, sizeof how);
  while (fd < 0 && (errno == EINTR || errno == EAGAIN));
  if (fd < 0 && (errno == ENOSYS || errno == EPERM)) return OpenByParts(root, rel);
  return static_cast<int>(fd);
}

ContentCheck::ContentCheck(const std::string& rootF1, const std::string& rootF2, ContentComparisonCounts& counts,
                           ContentTurn turn)
    : rootF1_(OpenRoot(rootF1)), rootF2_(OpenRoot(rootF2)), counts_(counts), turn_(std::move(turn)) {}

ContentCheck::~ContentCheck() {
  if (rootF1_ >= 0) ::close(rootF1_);
  if (rootF2_ >= 0) ::close(rootF2_);
}

ContentResult ContentCheck::Compare(std::string_view key, int64_t size) {
  while (!key.empty() && key.front() == '/') key.remove_prefix(1);
  const int a = rootF1_ < 0 ? -1 : OpenFileBeneath(rootF1_, key);
  const bool linkA = a < 0 && errno == ELOOP && IsLinkBeneath(rootF1_, key);
  const int b = rootF2_ < 0 || a < 0 ? -1 : OpenFileBeneath(rootF2_, key);
  const bool linkB = a >= 0 && b < 0 && errno == ELOOP && IsLinkBeneath(rootF2_, key);
  if (a >= 0 && b < 0) ::close(a);
  // A link has no content of its own to compare: its size and time say all.
  if (linkA || linkB) return ContentResult::Same;
  struct stat sa {
  }, sb{};
  ContentResult result = ContentResult::Unreadable;
  if (b >= 0 && ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && S_ISREG(sa.st_mode) && S_ISREG(sb.st_mode) &&
      sa.st_size == size && sb.st_size == size)
    result = reader_.Compare(a, b, size, counts_.BytesRead, turn_);
  if (b >= 0) {
    ::close(a);
    ::close(b);
  }
  ++counts_.Files;
  if (result == ContentResult::Different) ++counts_.Differing;
  if (result == ContentResult::Unreadable) ++counts_.Unreadable;
  return result;
}

std::string_view StatusAfterContent(ContentResult content, int64_t modifiedF1, int64_t modifiedF2) {
  if (content != ContentResult::Different) return kStatusIdentical;
  return modifiedF1 >= modifiedF2 ? kStatusNewerInF1 : kStatusNewerInF2;
}

}  // namespace dd
