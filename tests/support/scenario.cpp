#include "support/scenario.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "commands/simulate.h"
#include "common/files.h"
#include "common/text.h"
#include "oplist/todo_list.h"
#include "support/flow_fixture.h"

namespace fs = std::filesystem;

namespace dd::test {

void MakeTree(const std::string& root, const std::vector<Node>& nodes) {
  MakeDirs(root);
  for (const Node& n : nodes) {
    const std::string path = root + "/" + n.path;
    if (EndsWith(n.path, "/")) {
      MakeDirs(path);
    } else if (n.content.rfind("->", 0) == 0) {
      MakeDirs(fs::path(path).parent_path());
      if (::symlink(n.content.c_str() + 2, path.c_str()) != 0) throw std::runtime_error("cannot link " + path);
    } else {
      WriteFile(path, n.content);
    }
    if (n.mtime) SetMTime(DropTrailingSeparator(path), n.mtime);
  }
}

std::vector<std::string> Listing(const std::string& root) {
  std::vector<std::string> lines;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    const std::string path = e.path().string(), rel = path.substr(root.size() + 1);
    if (e.is_symlink())
      lines.push_back(rel + "->" + fs::read_symlink(e.path()).string());
    else if (e.is_directory())
      lines.push_back(rel + "/");
    else
      lines.push_back(rel + "=" + ReadTextFile(path));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

void Simulated(FlowFixture& f, const std::vector<Node>& nodes) {
  MakeTree(f.dir.path(), nodes);
  f.AddSourceTargetPair();
  Simulate(f.app);
}

std::string Rec(const std::string& code, const std::string& status, const std::string& pathF1,
                const std::string& pathF2, const std::string& sizeF1, const std::string& sizeF2) {
  return Join({OpTextForCode(code), code, status, pathF1, pathF2, sizeF1, sizeF2}, "\t");
}

std::vector<std::string> PathsOf(const std::vector<std::string>& records, int side) {
  std::vector<std::string> paths;
  for (const std::string& r : records) {
    const std::vector<std::string> f = SplitKeepEmpty(r, "\t");
    paths.push_back(f.size() == 7 ? f[2 + side] : "");
  }
  return paths;
}

}  // namespace dd::test
