#include "plan/unlisted_areas.h"

#include <string>
#include <unordered_set>

namespace dd {

UnlistedAreas::UnlistedAreas(const ScanResult& f1, const ScanResult& f2) {
  std::unordered_set<std::string> unlisted;
  for (const ScanResult* side : {&f1, &f2})
    for (uint32_t folder : side->Unlisted) unlisted.insert(side->Folders[folder]);
  any_ = !unlisted.empty();
  if (!any_) return;

  const ScanResult* sides[2] = {&f1, &f2};
  for (int s = 0; s < 2; ++s) {
    const auto& folders = sides[s]->Folders;
    inside_[s].assign(folders.size(), 0);
    below_[s].assign(folders.size(), 0);
    for (std::size_t f = 0; f < folders.size(); ++f) {
      const std::string& path = folders[f];
      // Proper ancestors of "/a/b/c" are "", "/a" and "/a/b".
      bool below = unlisted.count(std::string());
      for (std::size_t pos = path.find('/', 1); !below && pos != std::string::npos; pos = path.find('/', pos + 1))
        below = unlisted.count(path.substr(0, pos)) > 0;
      below = below && !path.empty();
      below_[s][f] = below;
      inside_[s][f] = below || unlisted.count(path) > 0;
    }
  }
}

bool UnlistedAreas::Hides(const SortedEntries& lines, std::size_t k) const {
  if (!any_) return false;
  const int side = lines.Side(k);
  const uint32_t folder = lines.FolderIndex(k);
  return lines.IsFolder(k) ? below_[side][folder] : inside_[side][folder];
}

}  // namespace dd
