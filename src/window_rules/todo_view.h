// The to-do list as a table: columns, cell texts and images of a record,
// widths, sorting, the loaded-icon window, row removal and the side of a row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dd {

class App;

enum ToDoColumn {
  kColNumber = 0,
  kColSize1Sort,
  kColSize2Sort,
  kColPath1,
  kColF1,
  kColSize1,
  kColStatus1,
  kColOperation,
  kColStatus2,
  kColSize2,
  kColF2,
  kColPath2,
  kToDoColumnCount
};

// Language key of each column title.
const std::array<const char*, kToDoColumnCount>& ToDoColumnTitleKeys();

// The shared images of the list: index by key (0 for an unknown key) and their files.
inline constexpr std::size_t kToDoImageCount = 13;
int PictureNumberOfKey(std::string_view key);
const std::array<const char*, kToDoImageCount>& ToDoImageFiles();

// The cells of one row; views into the record where they can be.
struct ToDoCells {
  bool filledF1 = false, filledF2 = false;
  std::string_view path1, path2, name1, name2;
  int64_t size1 = -1, size2 = -1;     // -1: side not filled
  std::string_view status1, status2;  // "Extra", "Equal", "Newer", "Older" or ""
  std::string_view operationKey, operationText;
};
bool ToDoRowCells(std::string_view record, ToDoCells& cells);

// The row text: `index` zero-padded to as many digits as `upperBound` has.
std::string ToDoRowNumber(int64_t index, int64_t upperBound);
// A size as its KB cell: whole KB with thousands separators and " KB".
std::string SizeKbText(int64_t bytes);
// The hidden sort key of a size: thirteen digits.
std::string SizeSortKey(int64_t bytes);
// The text of any cell of a row.
std::string ToDoCellText(const ToDoCells& cells, int column, int64_t index, int64_t upperBound);
// The image key of a cell ("" when it has none besides a file icon).
std::string_view ToDoCellImageKey(const ToDoCells& cells, int column);

// Widths of the twelve columns for a list `width` wide; together they fill it. A
// shown "Full path" column is `pathWidth` wide (what its longest path needs),
// within a twentieth and a quarter of the width; the name columns take the rest.
std::array<int, kToDoColumnCount> ToDoColumnWidths(int width, bool showSize, bool showFullPath, int pathWidth = 0);

// The side a row command acts on: F1 when the last mouse release was left of
// the edge of the "Status1" column (the sum of the four F1 column widths).
bool SideIsF1(int lastMouseX, const std::array<int, kToDoColumnCount>& widths);
// The path of the chosen side, or the other side's when that one is empty or missing.
std::string ToDoEventPath(std::string_view record, bool f1);

// Sorting by a header click: the order flips on every click, the size columns sort by size.
struct ToDoSort {
  int column = -1;
  bool descending = false;  // so the first click sorts descending
  // Records the click; returns the column that is really sorted by.
  int Click(int clicked);
};
// Sorts the rows (record indexes) by `column` in the given order; stable.
// Nothing during an execution: returns false then.
bool SortToDoRows(App& app, int column, bool descending);

// The rows whose file icons are loaded: 1-based, first..last; 0 and 0 mean none.
struct IconWindow {
  int64_t first = 0, last = 0;
  // True when the window moved for `firstVisible` (1-based); the icons must be reloaded then.
  bool Update(int64_t firstVisible, int64_t rowCount);
  void Reset() { first = last = 0; }
};

// Removes the rows at the given positions with their records, recounts and
// refreshes the labels. Nothing during an execution, nor while another run holds the
// program folder (a box says so). Returns the count removed.
int RemoveSelectedRows(App& app, std::vector<int64_t> positions);

}  // namespace dd
