// The open folders of one execution: each pair root once, and the last few
// folders used, which consecutive rows of a sorted list share.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dd {

class TreeHandles {
 public:
  TreeHandles() = default;
  TreeHandles(const TreeHandles&) = delete;
  TreeHandles& operator=(const TreeHandles&) = delete;
  ~TreeHandles();

  // The open folder `rel` ("" = the root) below `root`; -1 (errno set) when it
  // cannot be reached without a link. Missing folders are made when `create`
  // is set, and counted in `created`, like their counterparts below `modelRoot`.
  // The handle stays owned by this object.
  int Folder(std::string_view root, std::string_view rel, bool create, int& created, std::string_view modelRoot = {});

  // The file system of a folder that Folder() returned and that is still open (0 if unknown).
  dev_t Device(int fd) const;

  // Closes every folder but the roots.
  void Release();

 private:
  struct Entry {
    std::string root, rel;
    int fd = -1;
    dev_t dev = 0;
  };
  void Close(Entry& e);
  // The open root folder (-1 when it cannot be opened), opened at its first use.
  int Root(std::string_view root);

  std::map<std::string, int, std::less<>> roots_;
  std::vector<Entry> recent_;  // most recent last
};

}  // namespace dd
