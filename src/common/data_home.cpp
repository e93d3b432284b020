#include "common/data_home.h"

#include <cstdlib>

#include "common/files.h"

namespace dd {

namespace {

bool IsAbsolute(const char* path) {
  return path && path[0] == kPathSeparator;
}

}  // namespace

std::string DataHomeFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); IsAbsolute(data)) return DropTrailingSeparator(data);
  if (const char* home = std::getenv("HOME"); IsAbsolute(home)) return DropTrailingSeparator(home) + "/.local/share";
  return {};
}

}  // namespace dd
