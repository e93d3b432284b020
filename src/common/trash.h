// The desktop's trash, where deleted and replaced files can go instead of
// being removed for good.
#pragma once

#include <string>

namespace dd {

class Trash {
 public:
  virtual ~Trash() = default;
  // Moves the entry at the absolute path into the trash of its file system,
  // with the record of where it came from. False when it stayed where it was.
  virtual bool MoveToTrash(const std::string& path) = 0;
};

}  // namespace dd
