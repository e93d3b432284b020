#include "job/folder_pairs.h"

#include <algorithm>

#include "common/app.h"
#include "common/files.h"
#include "job/job_file.h"
#include "job/run_guard.h"

namespace dd {

void CompactFolders(std::vector<std::string>& folders) {
  folders.erase(std::remove(folders.begin(), folders.end(), std::string()), folders.end());
}

std::vector<FolderRow> FolderListRows(App& app) {
  auto& sources = app.Job.SourceFolders;
  auto& targets = app.Job.TargetFolders;
  CompactFolders(sources);
  CompactFolders(targets);
  std::vector<FolderRow> rows(std::max(sources.size(), targets.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    FolderRow& row = rows[i];
    row.key = static_cast<int>(i);
    if (i < sources.size()) row.hasSource = true, row.source = sources[i];
    if (i < targets.size()) row.hasTarget = true, row.target = targets[i];
  }
  return rows;
}

FolderColumnWidths FolderColumns(int width) {
  FolderColumnWidths w;
  w.source = std::max(0, (width - 400) / 2);
  w.target = w.source;
  return w;
}

bool DropOnFolderList(App& app, const std::vector<std::string>& items, int x, int boundary) {
  if (RefusedDuringRun(app)) return false;
  for (const std::string& item : items) {
    if (!IsDirectory(item)) continue;
    (x < boundary ? app.Job.SourceFolders : app.Job.TargetFolders).push_back(item);
  }
  bool opened = false;
  if (items.size() == 1 && !IsDirectory(items[0]) && PathExists(items[0])) {
    ReadJobFile(app, items[0]);
    opened = true;
  }
  app.screen.FolderPairsChanged();
  return opened;
}

bool DropOnWindow(App& app, const std::vector<std::string>& items) {
  if (items.empty() || IsDirectory(items[0])) return false;
  if (RefusedDuringRun(app)) return false;
  ReadJobFile(app, items[0]);
  return true;
}

int DeletePairsByKey(App& app, const std::vector<int>& keys) {
  if (RefusedDuringRun(app)) return 0;
  auto& sources = app.Job.SourceFolders;
  auto& targets = app.Job.TargetFolders;
  int count = 0;
  for (int key : keys) {
    if (key < 0) continue;
    const auto i = static_cast<std::size_t>(key);
    if (i < sources.size()) sources[i].clear();
    if (i < targets.size()) targets[i].clear();
    ++count;
  }
  app.screen.FolderPairsChanged();
  return count;
}

void SwapFolders(App& app) {
  if (RefusedDuringRun(app)) return;
  std::swap(app.Job.SourceFolders, app.Job.TargetFolders);
  app.screen.FolderPairsChanged();
}

std::string PairPathAt(const App& app, int key, int lastMouseX, int boundary) {
  if (key < 0) return {};
  const auto i = static_cast<std::size_t>(key);
  const auto& side = lastMouseX >= boundary ? app.Job.TargetFolders : app.Job.SourceFolders;
  return i < side.size() ? side[i] : std::string();
}

}  // namespace dd
