#include "plan/root_check.h"

#include <dirent.h>

#include "plan/scanner.h"

namespace dd {

namespace {

bool CanList(const std::string& root) {
  DIR* dir = ::opendir(root.c_str());
  if (!dir) return false;
  ::closedir(dir);
  return true;
}

}  // namespace

std::string UnlistableRoots(const std::string& rootF1, const std::string& rootF2) {
  std::string bad;
  // A TAB or line break in a root would end up inside every record of the pair.
  for (const auto* root : {&rootF1, &rootF2})
    if (!IsRecordableName(*root) || !CanList(*root)) bad += *root + "\r\n";
  return bad;
}

}  // namespace dd
