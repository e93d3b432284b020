// Notices when another process (a timer's command-line run, a second window)
// changed "To Do.txt" and shows the new list.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

namespace dd {
class App;
}

namespace dd::ui {

class ListFileWatcher : public QObject {
 public:
  // `runGoing`: a run was handed to the run thread and has not ended (it may not have begun yet).
  ListFileWatcher(App& app, std::function<bool()> runGoing, QObject* parent);

 private:
  void Check();

  App& app_;
  std::function<bool()> runGoing_;
  QFileSystemWatcher watcher_;
  QTimer retry_;  // while a command of this window is open, the list is left to it and looked at later
};

}  // namespace dd::ui
