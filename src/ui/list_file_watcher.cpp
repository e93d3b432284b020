#include "ui/list_file_watcher.h"

#include "common/app.h"
#include "flows/todo_files.h"
#include "ui/qt_text.h"

namespace dd::ui {

ListFileWatcher::ListFileWatcher(App& app, std::function<bool()> runGoing, QObject* parent)
    : QObject(parent), app_(app), runGoing_(std::move(runGoing)) {
  // The folder, not the file: the list is replaced by a rename, which ends a watch on the file itself.
  watcher_.addPath(DisplayPath(app_.Files.Folder));
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Check(); });
  retry_.setSingleShot(true);
  retry_.setInterval(500);
  connect(&retry_, &QTimer::timeout, this, [this] { Check(); });
}

void ListFileWatcher::Check() {
  const RunStatistics& r = app_.Run;
  if (r.Lifecycle.Active() || (runGoing_ && runGoing_())) {
    retry_.start();
    return;
  }
  // Our own writes leave the stamp they were taken with: only another process's change reloads.
  // When that process still holds the folder, its end changes the folder again.
  ReloadListIfChanged(app_);
}

}  // namespace dd::ui
