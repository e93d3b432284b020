// One run per program folder: an exclusive lock on "Dualdock.lock" there, held
// by a command from reading the pending list until it has written it back.
#pragma once

#include <string>

namespace dd {

class ProgramFolderLock {
 public:
  // Takes the lock at once or not at all (never waits). A process that holds
  // it already takes it again (a one-step run holds it around its simulation).
  explicit ProgramFolderLock(const std::string& lockFilePath);
  ~ProgramFolderLock();
  ProgramFolderLock(const ProgramFolderLock&) = delete;
  ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

  // False when another process holds the lock, or the lock file cannot be had (a folder, a pipe, a link there).
  bool Held() const { return held_; }

 private:
  std::string path_;
  bool held_ = false;
};

}  // namespace dd
