#include "support/scenario.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "common/files.h"
#include "common/text.h"
#include "flows/simulate.h"
#include "support/flow_fixture.h"
#include "todo/todo_list.h"

namespace fs = std::filesystem;

namespace dd::test {

void MakeTree(const std::string& root, const std::vector<std::string>& entries) {
  MakeDirs(root);
  for (std::string e : entries) {
    int64_t mtime = 0;
    const auto at = e.rfind('@');
    if (at != std::string::npos && at + 1 < e.size() &&
        e.find_first_not_of("0123456789", at + 1) == std::string::npos) {
      mtime = std::stoll(e.substr(at + 1));
      e.resize(at);
    }
    const auto eq = e.find('='), arrow = e.find("->");
    const std::string path = root + "/" + e.substr(0, std::min(eq, arrow));
    if (arrow < eq) {
      MakeDirs(fs::path(path).parent_path());
      if (::symlink(e.c_str() + arrow + 2, path.c_str()) != 0) throw std::runtime_error("cannot link " + path);
    } else if (eq != std::string::npos) {
      WriteFile(path, e.substr(eq + 1));
    } else {
      MakeDirs(path);
    }
    if (mtime) SetMTime(DropTrailingSeparator(path), mtime);
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

void Simulated(FlowFixture& f, const std::vector<std::string>& entries) {
  MakeTree(f.dir.path(), entries);
  f.AddSourceTargetPair();
  Simulate(f.app);
}

std::string Rec(const std::string& code, const std::string& status, const std::string& pathF1,
                const std::string& pathF2, const std::string& sizeF1, const std::string& sizeF2) {
  const std::string_view text = OpTextOf(code).empty() ? MoveTextOf(code) : OpTextOf(code);
  return Join({std::string(text), code, status, pathF1, pathF2, sizeF1, sizeF2}, "\t");
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
