// The kernel's change events for the folders of a job's pairs: one watch per
// folder, folders made later watched as they appear. Not thread-safe: one
// thread adds and reads.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "flows/watch_changes.h"

namespace dd {

class FolderWatch {
 public:
  // `skip`: absolute folders never watched nor reported (the program folder, whose files each run writes).
  explicit FolderWatch(std::vector<std::string> skip = {});
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  bool Open() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // Watches the folder `relative` below `root` ("" the root itself) and every folder below it; links
  // are not followed. Stops adding once the limit of watches is reached.
  void AddTree(int pair, const std::string& root, const std::string& relative = std::string());
  // Reads the events waiting, without blocking, into `log`. True when it noted anything.
  bool Read(ChangeLog& log);
  // The kernel refused a watch for want of room (its limit of watches per user).
  bool LimitReached() const { return limitReached_; }
  std::size_t Watches() const { return places_.size(); }

 private:
  struct Place {
    int pair;
    std::string root;      // without trailing separator
    std::string relative;  // "" or "/a/b"
  };

  bool AddOne(const Place& place);
  bool Skipped(const std::string& path) const;
  void Forget(const Place& moved);
  bool Note(const Place& place, uint32_t mask, const std::string& name, ChangeLog& log);

  int fd_ = -1;
  bool limitReached_ = false;
  std::vector<std::string> skip_;
  std::unordered_map<int, std::vector<Place>> places_;
};

}  // namespace dd
