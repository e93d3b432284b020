#include "apply/tree_handles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "apply/beneath.h"
#include "apply/safety_steps.h"

namespace dd {

namespace {
// Enough for the source and the target folder of a copy and their parents.
constexpr std::size_t kRecent = 4;
}  // namespace

TreeHandles::~TreeHandles() {
  Release();
  for (auto& [path, fd] : roots_)
    if (fd >= 0) ::close(fd);
}

int TreeHandles::Root(std::string_view root) {
  auto r = roots_.find(root);
  if (r == roots_.end()) {
    // The root is taken as the job names it: a link there is the user's choice.
    const std::string path = root.empty() ? "/" : std::string(root);
    r = roots_.emplace(std::string(root), ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)).first;
  }
  return r->second;
}

int TreeHandles::Folder(std::string_view root, std::string_view rel, bool create, int& created,
                        std::string_view modelRoot) {
  for (std::size_t i = recent_.size(); i-- > 0;)
    if (recent_[i].rel == rel && recent_[i].root == root) return recent_[i].fd;

  const int rootFd = Root(root);
  if (rootFd < 0) {
    errno = ENOENT;
    return -1;
  }
  int fd;
  if (!create && !ActiveSafetySteps().beneath)
    fd = ::open(std::string(root).append("/").append(rel).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  else if (create)
    fd = OpenFolderCreating(rootFd, rel, created, modelRoot.empty() ? -1 : Root(modelRoot));
  else
    fd = OpenFolderBeneath(rootFd, rel);
  if (fd < 0) return -1;
  if (recent_.size() == kRecent) {
    Close(recent_.front());
    recent_.erase(recent_.begin());
  }
  struct stat st {};
  recent_.push_back(Entry{std::string(root), std::string(rel), fd, ::fstat(fd, &st) == 0 ? st.st_dev : 0});
  return fd;
}

dev_t TreeHandles::Device(int fd) const {
  for (const Entry& e : recent_)
    if (e.fd == fd) return e.dev;
  return 0;
}

void TreeHandles::Close(Entry& e) {
  ::close(e.fd);
  e.fd = -1;
}

void TreeHandles::Release() {
  for (Entry& e : recent_) Close(e);
  recent_.clear();
}

}  // namespace dd
