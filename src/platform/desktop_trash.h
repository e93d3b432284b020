// The desktop trash by the freedesktop.org rules, written from handles.
#pragma once

#include "common/trash.h"

namespace dd {

class DesktopTrash : public Trash {
 public:
  TrashOutcome MoveToTrash(int folder, const std::string& name, const std::string& path) override;
};

// "Path=" text of a trash record: every byte but letters, digits, "-._~/" as %XX.
std::string TrashInfoPath(const std::string& path);

}  // namespace dd
