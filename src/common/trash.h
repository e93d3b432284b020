// The desktop's trash, where deleted and replaced files can go instead of
// being removed for good.
#pragma once

#include <string>

namespace dd {

enum class TrashOutcome {
  Moved,    // in the trash, with the record of where it came from
  NoTrash,  // its file system has no trash that can take it: left where it was
  Failed,   // left where it was
};

class Trash {
 public:
  virtual ~Trash() = default;
  // Moves the entry `name` of the open folder `folder` into the trash of its
  // file system. It is moved from the handle, so a link swapped into its path
  // meanwhile cannot send anything else there; `path` is where it was, for the
  // record that lets it be restored.
  virtual TrashOutcome MoveToTrash(int folder, const std::string& name, const std::string& path) = 0;
};

}  // namespace dd
