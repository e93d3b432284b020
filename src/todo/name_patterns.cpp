#include "todo/name_patterns.h"

#include <fnmatch.h>

#include "common/paths.h"

namespace dd {

bool IsNamePattern(std::string_view line) {
  return line.find_first_of("*?") != std::string_view::npos;
}

bool NamePatternMatches(const std::string& pattern, std::string_view below) {
  std::string subject;
  const char* p = pattern.c_str();
  if (pattern.find('/') == std::string::npos) {
    subject = NameOfPath(below);
  } else {
    subject = below;
    if (*p == '/') ++p;
  }
  // No FNM_PATHNAME: "build/*" takes everything below build, at any depth.
  return ::fnmatch(p, subject.c_str(), 0) == 0;
}

std::string UpperCasePattern(std::string_view pattern) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.substr(i, 2) == "[:") {
      const std::size_t end = pattern.find(":]", i + 2);
      if (end != std::string_view::npos) {
        out.append(pattern.substr(i, end + 2 - i));
        i = end + 1;
        continue;
      }
    }
    const char c = pattern[i];
    out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return out;
}

std::string_view PathBelowRoots(std::string_view path, const std::vector<std::string>& roots) {
  std::size_t longest = 0;
  bool found = false;
  for (std::string_view root : roots) {
    while (root.size() > 1 && root.back() == '/') root.remove_suffix(1);
    if (root == "/") root = {};
    const bool inside = path.size() > root.size() && path.substr(0, root.size()) == root && path[root.size()] == '/';
    if (inside && (!found || root.size() > longest)) {
      longest = root.size();
      found = true;
    }
  }
  std::string_view below = path.substr(found ? longest : 0);
  while (!below.empty() && below.front() == '/') below.remove_prefix(1);
  return below;
}

}  // namespace dd
