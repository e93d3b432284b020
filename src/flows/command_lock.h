// A command's hold on the program folder (see ProgramFolderLock).
#pragma once

#include "common/program_folder_lock.h"

namespace dd {

class App;

class CommandLock {
 public:
  // Takes the lock at once; when another run holds it, says so in a box and holds nothing.
  explicit CommandLock(App& app);
  bool Held() const { return held_; }

 private:
  ProgramFolderLock lock_;
  bool held_;
};

}  // namespace dd
