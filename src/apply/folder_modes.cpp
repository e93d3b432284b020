#include "apply/folder_modes.h"

#include <fcntl.h>
#include <unistd.h>

namespace dd {

bool MakeFolderLike(int parent, const char* name, const struct stat* model) {
  if (!model) return ::mkdirat(parent, name, 0777) == 0;
  if (::mkdirat(parent, name, model->st_mode & S_IRWXU) != 0) return false;
  const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return true;  // made, and left private
  static const uid_t user = ::geteuid();
  static const gid_t group = ::getegid();
  // Special bits only with the owner kept, as for files.
  bool sameOwner = model->st_uid == user && model->st_gid == group;
  if (!sameOwner) sameOwner = ::fchown(fd, model->st_uid, model->st_gid) == 0;
  mode_t mode = model->st_mode & (sameOwner ? 07777 : 0777);
  if (user != 0) mode |= S_IRWXU;
  ::fchmod(fd, mode);
  ::close(fd);
  return true;
}

}  // namespace dd
