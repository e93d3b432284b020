#include "engine/root_check.h"

#include <dirent.h>

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
  for (const auto* root : {&rootF1, &rootF2})
    if (!CanList(*root)) bad += *root + "\r\n";
  return bad;
}

}  // namespace dd
