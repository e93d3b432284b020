// The main window: it shows the core's state; its WindowScreen is the core's screen.
#pragma once

#include <QFileIconProvider>
#include <QMainWindow>
#include <QMap>
#include <QTimer>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/app.h"
#include "flows/scheduler.h"
#include "job/startup.h"
#include "ui/qt_language.h"
#include "ui/run_thread.h"
#include "ui/skin.h"
#include "ui/window_screen.h"
#include "window_rules/panels.h"
#include "window_rules/run_end_notice.h"
#include "window_rules/run_labels.h"
#include "window_rules/todo_view.h"

class QAction;
class QBoxLayout;
class QActionGroup;
class QLabel;
class QMenu;
class QWidget;

namespace dd::ui {

class BackupModePanel;
class FilterPanel;
class FolderTable;
class SchedulePanel;
class PictureButton;
class ProgressPicture;
class ToDoModel;
class ToDoTable;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // `trash`: where the trash option sends files (none: that option fails them).
  explicit MainWindow(Trash* trash = nullptr);
  ~MainWindow() override;

  // The start-up in its fixed order; the window shows itself before a job named
  // on the command line is opened.
  void StartUp(const std::string& programFolder, const std::string& commandLine, const StartUpOptions& options = {});

  App& app() { return app_; }

  // Message boxes and file dialogs go through these when set (scripted tests).
  std::function<Answer(const Message&)> messageHook;
  std::function<std::string(FileDialogMode mode)> fileDialogHook;
  // The end of a run told on the desktop goes here instead of the session bus when set.
  std::function<void(const DesktopNotice&)> noticeHook;

  // Simulate, Execute and the one-step run go on the run thread; while one is
  // there the window refuses what would change the job or the list.
  bool RunOnWorker() const;
  // Keeps the window answering until the run on the worker has ended.
  void WaitForRun();
  // The stop button, Escape and closing: ask the run to stop, never wait for it.
  void StopRun();

  // The core's screen, which paints through this window's widgets.
  WindowScreen& screen() { return screen_; }

  // The option panels, the scheduler and its clock (set by tests), the skin flash.
  std::function<double()> scheduleClockHook;
  BackupModePanel* backupModePanel() const { return frameBackupModes_; }
  FilterPanel* filterPanel() const { return frameExclude_; }
  SchedulePanel* schedulePanel() const { return frameSchedule_; }
  Scheduler& scheduler() { return scheduler_; }
  QTimer& scheduleTimer() { return timerSchedule_; }
  void FlashBackground();

  // Controls by name, for the commands and for tests.
  FolderTable* folderList() const { return folderList_; }
  ToDoTable* toDoView() const { return toDoView_; }
  ToDoModel* toDoModel() const { return toDoModel_; }
  QAction* action(const QString& key) const { return actions_.value(key); }
  QMenu* menu(const QString& key) const { return menus_.value(key); }
  QLabel* label(const QString& name) const { return labels_.value(name); }
  PictureButton* button(int number) const;
  ProgressPicture* progress() const { return picProgress_; }
  const PanelState& panels() const { return panels_; }
  QTimer& labelTimer() { return timerLabels_; }

  // The commands behind menus, buttons and keys.
  void ClickButton(int number);
  // What a click, key or menu entry does with the current row of a list: every
  // action also shows the row's item in the current-item line.
  enum class RowAction { Select, ShowInFileManager, Open };
  void ActOnFolderRow(RowAction action);
  void ActOnToDoRow(RowAction action);
  int DeleteSelectedToDoRows();
  void SortByHeader(int column);
  void DropOnFolders(const std::vector<std::string>& paths, int x);
  void LoadIconsOfVisibleRows();
  void ApplyToDoColumnWidths();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void BuildMenus();
  QMenu* AddMenu(QMenu* parent, const QString& key);
  // The menus of the two lists, opened with the right mouse button.
  void BuildContextMenus();
  void BuildButtons(QWidget* row);
  QWidget* BuildStatistics();
  QWidget* BuildToDoPanel();
  void ConnectLists();
  QWidget* BuildRunBox(QWidget* parent);
  void ConnectRunsAndTimers();
  QAction* AddAction(QMenu* menu, const QString& key, const QKeySequence& shortcut, std::function<void()> command);
  QLabel* AddLabel(const QString& name, const QString& tooltipKey = {});
  // Runs a command of the user; a close asked for during a run happens when it has unwound.
  void Command(const std::function<void()>& command);
  void ApplyPanels();
  // The option panels, the skin menu and the window's colours per skin (window_panels.cpp).
  PictureButton* MakeButton(int number, QWidget* parent);
  void BuildOptionPanels(QBoxLayout* layout);
  void BuildSkinMenu();
  void ApplyOptionPanels();
  void PanelsLanguageChanged();
  void PanelsSkinChanged(int skin);
  void ScheduleButton(int number);
  double ScheduleNow() const;
  void ScheduleFire();
  void ShowAbout();
  void ShowListMenu(QPoint globalPos);
  void ShowFolderMenu(QPoint globalPos);
  std::vector<int> SelectedFolderKeys() const;
  std::array<int, kToDoColumnCount> ToDoPixelWidths() const;
  void SetCurrentIcon(const std::string& path);
  // The buttons that start a run are out of use while the lifecycle has one on.
  void EnableRunButtons();
  // The title names the job and marks unsaved changes (not during a run: the run owns the job).
  void ShowTitle();
  void CopyCurrentPath();
  // Saving or opening a list rebuilds the rows, which a run is walking: not during a run.
  void SaveList();
  void OpenList();
  // What the screen shows on the window thread when the core says so.
  void ApplyLanguage();
  void ApplySkin(int skin);
  void ShowJobOptions();
  void SwitchScheduleTimer(bool on);
  // Runs on the worker (window_runs.cpp).
  void StartRun(std::function<void()> work);
  void RunEnded();
  // A report of a run's end while nobody looks at the window: a desktop notice; the run's progress on the taskbar.
  void TellDesktopOfRunEnd(const Message& box);
  void ShowRunOnTaskbar(int percent);

  friend class WindowScreen;

  WindowScreen screen_{*this};  // before the application, which keeps a reference to it
  App app_;
  SkinPictures pictures_;
  QFileIconProvider iconProvider_;
  PanelState panels_;
  ToDoSort sort_;
  int foldersMouseX_ = 0, toDoMouseX_ = 0;
  bool closePending_ = false;
  int commandDepth_ = 0;

  QMap<QString, QAction*> actions_;
  QMap<QString, QMenu*> menus_;
  QMap<QString, QLabel*> labels_;
  QMap<QString, QString> labelTooltipKeys_;
  std::vector<PictureButton*> buttons_;
  QActionGroup* languages_ = nullptr;
  QtLanguage qtLanguage_;

  FolderTable* folderList_ = nullptr;
  ToDoTable* toDoView_ = nullptr;
  ToDoModel* toDoModel_ = nullptr;
  ProgressPicture* picProgress_ = nullptr;
  QLabel* imgCurrentIcon_ = nullptr;
  QLabel* statusJob_ = nullptr;
  QLabel* statusRate_ = nullptr;
  QWidget* frameMain_ = nullptr;
  QWidget* frameToDo_ = nullptr;
  std::vector<QLabel*> legend_;
  QTimer timerLabels_, timerIcons_;

  BackupModePanel* frameBackupModes_ = nullptr;
  FilterPanel* frameExclude_ = nullptr;
  SchedulePanel* frameSchedule_ = nullptr;
  QActionGroup* skins_ = nullptr;
  QTimer timerSchedule_;
  RunThread* runs_ = nullptr;
  bool scheduledRun_ = false;   // the run on the worker was fired by the scheduler
  double runHandedOverAt_ = 0;  // monotonic seconds
  int taskbarPercent_ = -1;     // -1: no progress on the taskbar
  Scheduler scheduler_{app_, [this] { return ScheduleNow(); }, [this] { ScheduleFire(); }};
};

}  // namespace dd::ui
