// The entry lines of one folder pair (one per file and folder of both sides,
// the two roots included), sorted exactly as their TAB-joined texts
//   TAB RelPath TAB Name TAB Side TAB Size TAB Modified
// sort byte by byte. The texts themselves are built only for the dump file:
// the sort orders by a rank of the RelPath (computed once per folder) and then
// by name, which gives the same order because no field before the side can
// hold a TAB.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plan/scanner.h"

namespace dd {

// The most files, and the most folders, one tree may hold: a line keeps its index in 30 bits.
inline constexpr std::size_t kMaxEntriesPerTree = (std::size_t{1} << 30) - 1;

// Whether the lines of a tree can be sorted: no more than `limit` (at most kMaxEntriesPerTree) files,
// nor folders.
bool FitsInSortedEntries(const ScanResult& tree, std::size_t limit = kMaxEntriesPerTree);

class SortedEntries {
 public:
  // Local date-time of every folder line: 11.11.2011 11:11:11.
  static constexpr int64_t kFolderTime = 1321009871;

  // Both trees must fit (FitsInSortedEntries); when one does not, there are no lines.
  SortedEntries(const ScanResult& f1, const ScanResult& f2);

  std::size_t size() const { return lines_.size(); }
  int Side(std::size_t k) const { return static_cast<int>(lines_[k].ref >> 31); }  // 0 F1, 1 F2
  bool IsFolder(std::size_t k) const { return (lines_[k].ref >> 30) & 1; }
  // The root entries: empty RelPath and Name, never classified.
  bool IsRoot(std::size_t k) const { return IsFolder(k) && Index(k) == 0; }
  int64_t Size(std::size_t k) const;
  int64_t Modified(std::size_t k) const;
  // True when lines k and j are the same item (same RelPath and Name).
  bool SameItem(std::size_t k, std::size_t j) const;
  // The folder of a folder line, or the folder holding the file of a file line.
  uint32_t FolderIndex(std::size_t k) const;
  // RelPath followed by Name: "/sub/a.txt" for a file, "/sub" for a folder, written
  // into `out` (replacing what it held), which keeps its memory for the next key.
  void KeyInto(std::size_t k, std::string& out) const;
  // The full line text.
  std::string Text(std::size_t k) const;

  // All lines, then the end marker of four TABs, joined by CR LF; replaces the file.
  bool WriteDump(const std::string& path) const;

 private:
  struct Line {
    uint32_t rank;  // order of the RelPath among all RelPaths of the pair
    uint32_t ref;   // bit 31 side, bit 30 folder, the rest the index
  };

  uint32_t Index(std::size_t k) const { return lines_[k].ref & kIndexMask; }
  std::string_view Name(std::size_t k) const;
  const ScanResult& SideResult(std::size_t k) const { return *sides_[Side(k)]; }
  void RankRelPaths();
  static Line MakeLine(int side, bool folder, uint32_t index, uint32_t rank);
  static uint64_t KeyBytes(std::string_view name, int side, std::size_t offset);
  std::size_t SharedKeyLength(const Line* first, const Line* last) const;
  std::string_view LineName(const Line& l) const;
  static int LineSide(const Line& l) { return static_cast<int>(l.ref >> 31); }
  int CompareNames(const Line& a, const Line& b) const;

  static constexpr uint32_t kIndexMask = (1u << 30) - 1;
  const ScanResult* sides_[2];
  std::vector<uint32_t> fileRank_[2], folderRank_[2];
  std::size_t rankCount_ = 0;
  std::vector<Line> lines_;
};

}  // namespace dd
