// The desktop trash by the freedesktop.org rules, through GIO. Kept apart so
// that only the front ends see GLib.
#pragma once

#include "common/trash.h"

namespace dd {

class GioTrash : public Trash {
 public:
  bool MoveToTrash(const std::string& path) override;
};

}  // namespace dd
