#include "plan/sorted_entries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/atomic_file.h"
#include "common/clock.h"

namespace dd {

namespace {

constexpr char kTabChar = '\t';
constexpr char kSideChar[2] = {'1', '2'};

// A RelPath as the lines hold it: a folder's path below the root, followed by
// "/" for the lines of the files in it. Compared as if followed by the TAB
// that ends the field.
struct RelPath {
  std::string_view folder;
  bool slash;
  int side;
  uint32_t index;

  std::size_t Length() const { return folder.size() + (slash ? 1 : 0); }
  unsigned char At(std::size_t i) const {
    if (i < folder.size()) return static_cast<unsigned char>(folder[i]);
    return (i == folder.size() && slash) ? '/' : kTabChar;
  }
};

int CompareRelPaths(const RelPath& a, const RelPath& b) {
  std::size_t common = std::min(a.folder.size(), b.folder.size());
  if (int c = std::memcmp(a.folder.data(), b.folder.data(), common)) return c < 0 ? -1 : 1;
  std::size_t end = std::max(a.Length(), b.Length());
  for (std::size_t i = common; i <= end; ++i) {
    unsigned char x = a.At(i), y = b.At(i);
    if (x != y) return x < y ? -1 : 1;
    if (x == kTabChar) return 0;
  }
  return 0;
}

// Name TAB Side compared byte by byte; the names hold no TAB.
int CompareNameKeys(std::string_view a, int sideA, std::string_view b, int sideB) {
  std::size_t common = std::min(a.size(), b.size());
  if (int c = std::memcmp(a.data(), b.data(), common)) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return sideA == sideB ? 0 : (sideA < sideB ? -1 : 1);
  if (a.size() < b.size()) return kTabChar < static_cast<unsigned char>(b[common]) ? -1 : 1;
  return static_cast<unsigned char>(a[common]) < kTabChar ? -1 : 1;
}

}  // namespace

bool FitsInSortedEntries(const ScanResult& tree, std::size_t limit) {
  limit = std::min(limit, kMaxEntriesPerTree);
  return tree.Files.size() <= limit && tree.Folders.size() <= limit;
}

SortedEntries::SortedEntries(const ScanResult& f1, const ScanResult& f2) : sides_{&f1, &f2} {
  static_assert(kMaxEntriesPerTree == kIndexMask);
  if (!FitsInSortedEntries(f1) || !FitsInSortedEntries(f2)) return;
  RankRelPaths();

  // Lines of one RelPath rank are placed together (a counting sort by rank),
  // then each group is sorted by name: small groups that stay in the cache.
  std::vector<std::size_t> start(rankCount_ + 1, 0);
  for (int side = 0; side < 2; ++side) {
    const ScanResult& s = *sides_[side];
    for (uint32_t i = 0; i < s.Folders.size(); ++i) ++start[folderRank_[side][i] + 1];
    for (std::size_t i = 0; i < s.Files.size(); ++i) ++start[fileRank_[side][s.Files[i].Folder] + 1];
  }
  for (std::size_t r = 1; r <= rankCount_; ++r) start[r] += start[r - 1];
  lines_.resize(start[rankCount_]);
  std::vector<std::size_t> next(start.begin(), start.end() - 1);
  for (int side = 0; side < 2; ++side) {
    const ScanResult& s = *sides_[side];
    for (uint32_t i = 0; i < s.Folders.size(); ++i) {
      const uint32_t rank = folderRank_[side][i];
      lines_[next[rank]++] = MakeLine(side, true, i, rank);
    }
    for (uint32_t i = 0; i < s.Files.size(); ++i) {
      const ScannedFile& file = s.Files[i];
      const uint32_t rank = fileRank_[side][file.Folder];
      lines_[next[rank]++] = MakeLine(side, false, i, rank);
    }
  }
  std::vector<std::size_t>().swap(next);
  for (int side = 0; side < 2; ++side) {
    std::vector<uint32_t>().swap(fileRank_[side]);
    std::vector<uint32_t>().swap(folderRank_[side]);
  }

  // Each group is sorted on 16 key bytes held beside the line; only lines
  // that tie on them look at the names again. Names of one folder often share
  // their beginning (IMG_1234.jpg), so the key bytes are taken behind it.
  struct Keyed {
    uint64_t high, low;
    Line line;
  };
  std::vector<Keyed> group;
  auto less = [this](const Keyed& a, const Keyed& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    return CompareNames(a.line, b.line) < 0;
  };
  for (std::size_t r = 0; r < rankCount_; ++r) {
    if (start[r + 1] - start[r] < 2) continue;
    Line* first = lines_.data() + start[r];
    Line* last = lines_.data() + start[r + 1];
    const std::size_t shared = SharedKeyLength(first, last);
    group.clear();
    for (Line* l = first; l != last; ++l) {
      const std::string_view name = LineName(*l);
      const int side = LineSide(*l);
      group.push_back({KeyBytes(name, side, shared), KeyBytes(name, side, shared + 8), *l});
    }
    std::sort(group.begin(), group.end(), less);
    for (std::size_t i = 0; i < group.size(); ++i) first[i] = group[i].line;
  }
}

void SortedEntries::RankRelPaths() {
  std::vector<RelPath> paths;
  for (int side = 0; side < 2; ++side) {
    const auto& folders = sides_[side]->Folders;
    for (uint32_t i = 0; i < folders.size(); ++i) {
      paths.push_back({folders[i], false, side, i});
      paths.push_back({folders[i], true, side, i});
    }
    fileRank_[side].assign(folders.size(), 0);
    folderRank_[side].assign(folders.size(), 0);
  }
  std::sort(paths.begin(), paths.end(), [](const RelPath& a, const RelPath& b) { return CompareRelPaths(a, b) < 0; });
  uint32_t rank = 0;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (i > 0 && CompareRelPaths(paths[i - 1], paths[i]) != 0) ++rank;
    const RelPath& p = paths[i];
    (p.slash ? fileRank_ : folderRank_)[p.side][p.index] = rank;
  }
  rankCount_ = paths.empty() ? 0 : rank + 1;
}

SortedEntries::Line SortedEntries::MakeLine(int side, bool folder, uint32_t index, uint32_t rank) {
  Line line;
  line.rank = rank;
  line.ref = (static_cast<uint32_t>(side) << 31) | (folder ? 1u << 30 : 0u) | index;
  return line;
}

uint64_t SortedEntries::KeyBytes(std::string_view name, int side, std::size_t offset) {
  // Eight bytes of Name TAB Side from `offset` on, padded with zero bytes; no
  // real byte of the key is zero, so a shorter key never ties with a longer one.
  uint64_t value = 0;
  for (std::size_t i = offset; i < offset + 8; ++i) {
    unsigned char b = 0;
    if (i < name.size()) {
      b = static_cast<unsigned char>(name[i]);
    } else if (i == name.size()) {
      b = kTabChar;
    } else if (i == name.size() + 1) {
      b = static_cast<unsigned char>(kSideChar[side]);
    }
    value = (value << 8) | b;
  }
  return value;
}

std::size_t SortedEntries::SharedKeyLength(const Line* first, const Line* last) const {
  // Only the names can be shared here: the lines of one group differ in name or side.
  const std::string_view head = LineName(*first);
  std::size_t shared = head.size();
  for (const Line* l = first + 1; l != last && shared > 0; ++l) {
    const std::string_view name = LineName(*l);
    std::size_t n = std::min(shared, name.size());
    std::size_t i = 0;
    while (i < n && head[i] == name[i]) ++i;
    shared = i;
  }
  return shared;
}

std::string_view SortedEntries::LineName(const Line& l) const {
  if ((l.ref >> 30) & 1) return {};
  const ScanResult& s = *sides_[l.ref >> 31];
  return s.Name(s.Files[l.ref & kIndexMask]);
}

int SortedEntries::CompareNames(const Line& a, const Line& b) const {
  return CompareNameKeys(LineName(a), LineSide(a), LineName(b), LineSide(b));
}

std::string_view SortedEntries::Name(std::size_t k) const {
  if (IsFolder(k)) return {};
  const ScanResult& s = SideResult(k);
  return s.Name(s.Files[Index(k)]);
}

int64_t SortedEntries::Size(std::size_t k) const {
  return IsFolder(k) ? 0 : SideResult(k).Files[Index(k)].Size;
}

int64_t SortedEntries::Modified(std::size_t k) const {
  return IsFolder(k) ? kFolderTime : SideResult(k).Files[Index(k)].Modified;
}

uint32_t SortedEntries::FolderIndex(std::size_t k) const {
  return IsFolder(k) ? Index(k) : SideResult(k).Files[Index(k)].Folder;
}

bool SortedEntries::SameItem(std::size_t k, std::size_t j) const {
  return lines_[k].rank == lines_[j].rank && IsFolder(k) == IsFolder(j) && Name(k) == Name(j);
}

void SortedEntries::KeyInto(std::size_t k, std::string& out) const {
  const ScanResult& s = SideResult(k);
  if (IsFolder(k)) {
    out.assign(s.Folders[Index(k)]);
    return;
  }
  const ScannedFile& file = s.Files[Index(k)];
  out.assign(s.Folders[file.Folder]).append("/").append(s.Name(file));
}

std::string SortedEntries::Text(std::size_t k) const {
  const ScanResult& s = SideResult(k);
  std::string text = "\t";
  if (IsFolder(k)) {
    text.append(s.Folders[Index(k)]).append("\t\t");
  } else {
    const ScannedFile& file = s.Files[Index(k)];
    text.append(s.Folders[file.Folder]).append("/\t").append(s.Name(file)).append("\t");
  }
  text.append(Side(k) == 0 ? "F1\t" : "F2\t");
  text.append(std::to_string(Size(k))).append("\t");
  text.append(IsFolder(k) ? std::string("11.11.2011 11:11:11") : FormatLocalDateTime(Modified(k)));
  return text;
}

bool SortedEntries::WriteDump(const std::string& path) const {
  AtomicFile out(path);
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    out.Append(Text(k));
    out.Append("\r\n");
  }
  out.Append("\t\t\t\t");
  return out.Commit();
}

}  // namespace dd
