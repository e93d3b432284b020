// The job's folder pairs as the folder list edits and shows them: compaction,
// rows with their pair keys, drops, deletion by key, swap and the side commands.
#pragma once

#include <string>
#include <vector>

namespace dd {

class App;

// Drops the empty elements and keeps the order of the others.
void CompactFolders(std::vector<std::string>& folders);

// One row of the folder list: the pair index is its key; a side without an
// element at that index has no cell.
struct FolderRow {
  int key = 0;
  bool hasSource = false, hasTarget = false;
  std::string source, target;
};

// Compacts both sides (each on its own) and returns the rows to show.
std::vector<FolderRow> FolderListRows(App& app);

// Column widths of the folder list for a list `width` wide: key, source, status, target.
struct FolderColumnWidths {
  int key = 0, source = 0, status = 300, target = 0;
  // Drops left of this edge go to the sources, at or right of it to the targets.
  int Boundary() const { return key + source; }
};
FolderColumnWidths FolderColumns(int width);

// Folders dropped on the list at horizontal position `x`: added to the sources
// left of the boundary, else to the targets. One dropped item that is an
// existing non-folder is opened as a job file. Returns whether a job was opened.
bool DropOnFolderList(App& app, const std::vector<std::string>& items, int x, int boundary);

// Items dropped elsewhere on the window: the first one opens as a job file unless
// it is a folder. During a run only the abort question: loading a job empties the list the run walks.
bool DropOnWindow(App& app, const std::vector<std::string>& items);

// Empties the elements of the given pair keys on both sides and compacts.
// Returns the number of rows removed; nothing while a run is active.
int DeletePairsByKey(App& app, const std::vector<int>& keys);

// Exchanges the two sides; nothing but the abort question while a run is active.
void SwapFolders(App& app);

// The path a side command acts on: the target when the last mouse release was
// at or right of the boundary, else the source; "" when that side has no element.
std::string PairPathAt(const App& app, int key, int lastMouseX, int boundary);

}  // namespace dd
