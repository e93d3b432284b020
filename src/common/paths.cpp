#include "common/paths.h"

#include "common/files.h"

namespace dd {

namespace {

// Trailing separators dropped, but never a lone "/".
std::string_view Trimmed(std::string_view path) {
  while (path.size() > 1 && path.back() == kPathSeparator) path.remove_suffix(1);
  return path;
}

}  // namespace

std::string FolderOfPath(std::string_view path) {
  path = Trimmed(path);
  const std::size_t slash = path.rfind(kPathSeparator);
  if (slash == std::string_view::npos) return ".";
  return std::string(slash == 0 ? path.substr(0, 1) : path.substr(0, slash));
}

std::string_view FolderBelowRoot(std::string_view rel) {
  rel = Trimmed(rel);
  const std::size_t slash = rel.rfind(kPathSeparator);
  return slash == std::string_view::npos ? std::string_view() : rel.substr(0, slash);
}

std::string_view NameOfPath(std::string_view path) {
  path = Trimmed(path);
  const std::size_t slash = path.rfind(kPathSeparator);
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace dd
