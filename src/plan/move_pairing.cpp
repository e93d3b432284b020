#include "plan/move_pairing.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace dd {

namespace {

// The candidates of one side, sorted by key, so that what lies below a folder is one run of them.
struct SideItems {
  explicit SideItems(const std::vector<MoveCandidate>& list) : items(list), byKey(list.size()), inside(list.size()) {
    std::iota(byKey.begin(), byKey.end(), std::size_t{0});
    std::sort(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) { return items[a].key < items[b].key; });
  }

  // The positions in byKey of everything below the folder `key`.
  std::pair<std::size_t, std::size_t> Below(const std::string& key) const {
    const std::string prefix = key + '/';
    const auto first = std::lower_bound(byKey.begin(), byKey.end(), prefix,
                                        [&](std::size_t i, const std::string& p) { return items[i].key < p; });
    auto last = first;
    while (last != byKey.end() && items[*last].key.compare(0, prefix.size(), prefix) == 0) ++last;
    return {static_cast<std::size_t>(first - byKey.begin()), static_cast<std::size_t>(last - byKey.begin())};
  }

  const std::vector<MoveCandidate>& items;
  std::vector<std::size_t> byKey;
  std::vector<char> inside;
};

uint64_t Mix(uint64_t hash, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

// What a folder holds, as one number: the names below it, their kinds, sizes and times. 0 when it holds no file.
uint64_t ContentHash(const SideItems& side, std::size_t folder) {
  const std::string& key = side.items[folder].key;
  const auto [first, last] = side.Below(key);
  uint64_t hash = 14695981039346656037ull;
  bool anyFile = false;
  for (std::size_t p = first; p < last; ++p) {
    const MoveCandidate& c = side.items[side.byKey[p]];
    anyFile = anyFile || !c.folder;
    hash = Mix(hash, c.key.data() + key.size(), c.key.size() - key.size() + 1);  // the NUL ends the name
    const int64_t numbers[] = {c.folder, c.size, c.modified};
    hash = Mix(hash, numbers, sizeof numbers);
  }
  return anyFile ? hash : 0;
}

// The two folders hold the same, item for item (the hash only found them).
bool SameFolderContent(const SideItems& f1, std::size_t a, const SideItems& f2, std::size_t b,
                       const SameFile& sameFile) {
  const std::string &keyA = f1.items[a].key, &keyB = f2.items[b].key;
  const auto [firstA, lastA] = f1.Below(keyA);
  const auto [firstB, lastB] = f2.Below(keyB);
  if (lastA - firstA != lastB - firstB) return false;
  for (std::size_t i = 0; i < lastA - firstA; ++i) {
    const MoveCandidate &x = f1.items[f1.byKey[firstA + i]], &y = f2.items[f2.byKey[firstB + i]];
    if (x.folder != y.folder || x.size != y.size || x.modified != y.modified ||
        std::string_view(x.key).substr(keyA.size()) != std::string_view(y.key).substr(keyB.size()))
      return false;
    if (!x.folder && sameFile && !sameFile(x.key, y.key)) return false;
  }
  return true;
}

// Per key, the one candidate that has it, or none when several have.
template <class Key>
struct UniqueIndex {
  void Add(const Key& key, std::size_t index) {
    auto [it, added] = map.try_emplace(key, index);
    if (!added) it->second = kNone;
  }
  std::size_t Find(const Key& key) const {
    const auto it = map.find(key);
    return it == map.end() ? kNone : it->second;
  }
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::map<Key, std::size_t> map;
};

void MarkInside(SideItems& side, std::size_t folder) {
  const auto [first, last] = side.Below(side.items[folder].key);
  for (std::size_t p = first; p < last; ++p) side.inside[side.byKey[p]] = 1;
}

void PairFolders(SideItems& f1, SideItems& f2, const SameFile& sameFile, MovePairing& out) {
  UniqueIndex<uint64_t> folders2;
  for (std::size_t i = 0; i < f2.items.size(); ++i)
    if (f2.items[i].folder)
      if (const uint64_t hash = ContentHash(f2, i)) folders2.Add(hash, i);
  std::vector<std::pair<uint64_t, std::size_t>> hashes1;
  UniqueIndex<uint64_t> folders1;
  for (std::size_t i : f1.byKey)
    if (f1.items[i].folder)
      if (const uint64_t hash = ContentHash(f1, i)) {
        folders1.Add(hash, i);
        hashes1.emplace_back(hash, i);
      }
  // In key order, so a folder is met before the folders in it: the outermost move carries the rest.
  for (const auto& [hash, i] : hashes1) {
    if (f1.inside[i] || folders1.Find(hash) != i) continue;
    const std::size_t j = folders2.Find(hash);
    if (j == decltype(folders2)::kNone || f2.inside[j] || !SameFolderContent(f1, i, f2, j, sameFile)) continue;
    out.pairs.push_back({i, j});
    MarkInside(f1, i);
    MarkInside(f2, j);
  }
}

void PairFiles(const SideItems& f1, const SideItems& f2, const SameFile& sameFile, MovePairing& out) {
  using Key = std::pair<int64_t, int64_t>;  // size, time
  UniqueIndex<Key> files1, files2;
  for (std::size_t i = 0; i < f1.items.size(); ++i)
    if (!f1.items[i].folder && !f1.inside[i]) files1.Add({f1.items[i].size, f1.items[i].modified}, i);
  for (std::size_t j = 0; j < f2.items.size(); ++j)
    if (!f2.items[j].folder && !f2.inside[j]) files2.Add({f2.items[j].size, f2.items[j].modified}, j);
  for (const auto& [key, i] : files1.map) {
    const std::size_t j = files2.Find(key);
    if (i == decltype(files1)::kNone || j == decltype(files2)::kNone) continue;
    if (sameFile && !sameFile(f1.items[i].key, f2.items[j].key)) continue;
    out.pairs.push_back({i, j});
  }
}

}  // namespace

MovePairing PairMoves(const std::vector<MoveCandidate>& extrasF1, const std::vector<MoveCandidate>& extrasF2,
                      const SameFile& sameFile) {
  MovePairing out;
  SideItems f1(extrasF1), f2(extrasF2);
  if (!extrasF1.empty() && !extrasF2.empty()) {
    PairFolders(f1, f2, sameFile, out);
    PairFiles(f1, f2, sameFile, out);
  }
  out.insideF1 = std::move(f1.inside);
  out.insideF2 = std::move(f2.inside);
  return out;
}

}  // namespace dd
