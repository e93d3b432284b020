#include "ui/main_window.h"

#include <QFileInfo>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "apply/file_ops.h"
#include "desktop/file_types.h"
#include "flows/execute_flow.h"
#include "flows/todo_files.h"
#include "job/folder_pairs.h"
#include "job/job_file.h"
#include "job/run_guard.h"
#include "job/settings.h"
#include "ui/list_file_watcher.h"
#include "ui/list_views.h"
#include "ui/picture_button.h"
#include "ui/progress_picture.h"
#include "ui/qt_text.h"
#include "ui/todo_model.h"
#include "window_rules/buttons.h"
#include "window_rules/job_loads.h"
#include "window_rules/language_switch.h"
#include "window_rules/window_title.h"

namespace dd::ui {

namespace {

// A panel that paints a skin background when the skin has one.
class Backdrop : public QWidget {
 public:
  Backdrop(const QIcon& picture, QColor fallback, QWidget* parent = nullptr)
      : QWidget(parent), picture_(picture), fallback_(fallback) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (picture_.isNull()) {
      p.fillRect(rect(), fallback_);
      return;
    }
    const QSize size = picture_.availableSizes().value(0, this->size());
    p.drawPixmap(rect(), picture_.pixmap(size));
  }

 private:
  const QIcon& picture_;
  QColor fallback_;
};

// The buttons of the row, in their order; the stop and one-step buttons show only when their time comes.
constexpr int kRowButtons[] = {
    kBtnBackup,       kBtnExclude,       kBtnScheduleOff,      kBtnScheduleOn,     kBtnSimulate, kBtnStopSimulation,
    kBtnExecute,      kBtnStopExecution, kBtnOneStep,          kBtnSave,           kBtnOpen,     kBtnInfo,
    kBtnHideToDoList, kBtnShowToDoList,  kBtnMaximizeToDoList, kBtnRestoreToDoList};

// Until a language is applied (its file may be missing) a control shows its key without the prefix.
QString FallbackCaption(QString key) {
  key.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
  return key.startsWith(QLatin1String("mnu")) ? key.mid(3) : key;
}

QString Key(int button) {
  return QStringLiteral("imgButton(%1)").arg(button);
}

}  // namespace

MainWindow::MainWindow(Trash* trash) : app_(screen_, trash) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Dualdock"));
  setAcceptDrops(true);
  resize(1200, 800);
  setMinimumSize(1024, 700);

  auto* central = new Backdrop(pictures_.backgrounds[1], QColor(158, 200, 254), this);
  setCentralWidget(central);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(8, 6, 8, 4);
  layout->setSpacing(6);

  auto* buttonRow = new QWidget(central);
  BuildButtons(buttonRow);
  layout->addWidget(buttonRow);

  frameMain_ = new Backdrop(pictures_.backgrounds[2], QColor(254, 249, 195), central);
  frameMain_->setObjectName(QStringLiteral("frameMain"));
  auto* mainLayout = new QHBoxLayout(frameMain_);
  mainLayout->setContentsMargins(6, 6, 6, 6);
  mainLayout->addWidget(BuildStatistics());
  folderList_ = new FolderTable(frameMain_);
  folderList_->setObjectName(QStringLiteral("lvFolders"));
  folderList_->setColumnCount(4);
  folderList_->setMinimumHeight(120);
  mainLayout->addWidget(folderList_, 1);
  layout->addWidget(frameMain_);
  BuildOptionPanels(layout);  // they take the main panel's place

  layout->addWidget(BuildRunBox(central));

  layout->addWidget(BuildToDoPanel(), 1);

  statusJob_ = new QLabel(this);
  statusJob_->setObjectName(QStringLiteral("StatusBar1.Panel1"));
  statusRate_ = new QLabel(this);
  statusRate_->setObjectName(QStringLiteral("StatusBar1.Panel2"));
  statusRate_->setMinimumWidth(160);
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusBar()->addWidget(statusJob_, 1);
  statusBar()->addPermanentWidget(statusRate_);

  BuildMenus();
  ConnectLists();

  ConnectRunsAndTimers();
  qApp->installEventFilter(this);
  ApplyPanels();
}

// The progress bar and the line of the item in hand.
QWidget* MainWindow::BuildRunBox(QWidget* parent) {
  auto* runBox = new QWidget(parent);
  auto* runLayout = new QGridLayout(runBox);
  runLayout->setContentsMargins(0, 0, 0, 0);
  runLayout->addWidget(AddLabel(QStringLiteral("lblProgress")), 0, 0, 1, 3);
  picProgress_ = new ProgressPicture(runBox);
  picProgress_->setObjectName(QStringLiteral("PicProgress"));
  runLayout->addWidget(picProgress_, 1, 0, 1, 3);
  imgCurrentIcon_ = new QLabel(runBox);
  imgCurrentIcon_->setObjectName(QStringLiteral("imgCurrentIcon"));
  imgCurrentIcon_->setFixedSize(18, 18);
  imgCurrentIcon_->hide();
  runLayout->addWidget(imgCurrentIcon_, 2, 0);
  QLabel* current = AddLabel(QStringLiteral("lblCurrentFile"));
  current->setTextInteractionFlags(Qt::TextSelectableByMouse);
  current->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(current, &QWidget::customContextMenuRequested,
          [this, current](const QPoint& p) { ShowListMenu(current->mapToGlobal(p)); });
  current->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  runLayout->addWidget(current, 2, 1);
  runLayout->addWidget(AddLabel(QStringLiteral("lblCurrentSize")), 2, 2);
  runLayout->setColumnStretch(1, 1);
  return runBox;
}

// The run thread, the label timer and the icon timer.
void MainWindow::ConnectRunsAndTimers() {
  timerLabels_.setInterval(500);
  // During a run on the worker the tick only asks the run to refresh its labels at its next turn.
  connect(&timerLabels_, &QTimer::timeout, [this] {
    if (RunOnWorker())
      screen_.AskForLabelTick();
    else
      LabelTimerTick(app_);
  });
  runs_ = new RunThread(this);
  connect(runs_, &RunThread::Ended, this, [this] { RunEnded(); });
  timerIcons_.setInterval(100);
  connect(&timerIcons_, &QTimer::timeout, [this] {
    LoadIconsOfVisibleRows();
    ShowTitle();  // anything else that reaches the job without a call of the core
  });
}

MainWindow::~MainWindow() {
  // A run still going is stopped and its questions answered until it has unwound.
  if (RunOnWorker()) StopRun();
  disconnect(runs_, nullptr, this, nullptr);  // its end must not close a window being taken down
  delete runs_;
  runs_ = nullptr;
  qApp->removeEventFilter(this);
  // The views ask the application for texts while they are taken down: they go
  // before the members they read from.
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void MainWindow::BuildButtons(QWidget* row) {
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  buttons_.assign(kHighestButton + 1, nullptr);
  for (int number : kRowButtons) {
    PictureButton* b = MakeButton(number, row);
    if (number == kBtnSimulate) layout->addSpacing(16);
    if (number == kBtnHideToDoList) layout->addStretch(1);
    layout->addWidget(b);
  }
  buttons_[kBtnStopSimulation]->hide();
  buttons_[kBtnStopExecution]->hide();
  buttons_[kBtnOneStep]->hide();
}

QLabel* MainWindow::AddLabel(const QString& name, const QString& tooltipKey) {
  auto* l = new QLabel(this);
  l->setObjectName(name);
  labels_.insert(name, l);
  if (!tooltipKey.isEmpty()) labelTooltipKeys_.insert(name, tooltipKey);
  return l;
}

QWidget* MainWindow::BuildStatistics() {
  auto* box = new QWidget(frameMain_);
  auto* g = new QGridLayout(box);
  g->setContentsMargins(4, 4, 12, 4);
  g->setHorizontalSpacing(12);
  g->setVerticalSpacing(3);
  auto caption = [&](int i) { return AddLabel(QStringLiteral("label(%1)").arg(i)); };
  g->addWidget(caption(0), 0, 2);
  g->addWidget(caption(1), 0, 3);
  g->addWidget(caption(8), 4, 4);
  struct Line {
    int icon;  // legend picture, -1 for none
    int caption;
    const char *f1, *f2, *total;
  };
  const Line lines[] = {{0, 2, "lblF1Files", "lblF2Files", nullptr},
                        {1, 3, "lblF1Folders", "lblF2Folders", nullptr},
                        {-1, 4, "lblF1Size", "lblF2Size", nullptr},
                        {2, 5, "lblDeleteInF1", "lblDeleteInF2", "lblDeleteTotalSize"},
                        {3, 6, "lblNewInF1", "lblNewInF2", "lblNewTotalSize"},
                        {4, 7, "lblReplaceInF1", "lblReplaceInF2", "lblReplaceTotalSize"},
                        // A move carries no bytes: no total beside its counts.
                        {5, 9, "lblMoveInF1", "lblMoveInF2", nullptr}};
  legend_.assign(6, nullptr);
  int row = 1;
  for (const Line& line : lines) {
    if (row == 4) ++row;  // the pending counts get their own header row
    if (line.icon >= 0) {
      auto* icon = new QLabel(box);
      icon->setObjectName(QStringLiteral("imgIcon(%1)").arg(line.icon));
      icon->setFixedSize(20, 20);
      legend_[static_cast<std::size_t>(line.icon)] = icon;
      g->addWidget(icon, row, 0);
    }
    g->addWidget(caption(line.caption), row, 1);
    for (int c = 0; c < 3; ++c) {
      const char* name = c == 0 ? line.f1 : c == 1 ? line.f2 : line.total;
      if (!name) continue;
      QLabel* l = AddLabel(QString::fromLatin1(name), QString::fromLatin1(name));
      l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      l->setMinimumWidth(70);
      g->addWidget(l, row, 2 + c);
    }
    ++row;
  }
  // The time estimate, after its caption.
  QLabel* estimate = AddLabel(QStringLiteral("lblTimeEstimate"));
  estimate->hide();
  g->addWidget(estimate, row, 0, 1, 2);
  QLabel* total = AddLabel(QStringLiteral("lblTotalOperations"));
  total->setWordWrap(true);
  estimate->setBuddy(total);
  g->addWidget(total, row, 2, 1, 3);
  g->setRowStretch(row + 1, 1);
  return box;
}

QWidget* MainWindow::BuildToDoPanel() {
  frameToDo_ = new QWidget(centralWidget());
  frameToDo_->setObjectName(QStringLiteral("frameToDoList"));
  auto* layout = new QVBoxLayout(frameToDo_);
  layout->setContentsMargins(0, 0, 0, 0);
  toDoView_ = new ToDoTable(frameToDo_);
  toDoView_->setObjectName(QStringLiteral("lvToDoList"));
  toDoModel_ = new ToDoModel(app_, pictures_, this);
  toDoView_->setModel(toDoModel_);
  layout->addWidget(toDoView_);
  return frameToDo_;
}

QAction* MainWindow::AddAction(QMenu* menu, const QString& key, const QKeySequence& shortcut,
                               std::function<void()> command) {
  auto* a = new QAction(this);
  a->setObjectName(key);
  a->setText(FallbackCaption(key));
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  connect(a, &QAction::triggered, [this, command = std::move(command)] { Command(command); });
  if (menu) menu->addAction(a);
  actions_.insert(key, a);
  return a;
}

void MainWindow::BuildMenus() {
  QMenu* file = AddMenu(nullptr, QStringLiteral("mnuFile"));
  AddAction(file, QStringLiteral("mnuNew"), QKeySequence::New, [this] { NewJobAsked(app_); });
  AddAction(file, QStringLiteral("mnuOpen"), QKeySequence::Open, [this] { OpenJobAsked(app_); });
  AddAction(file, QStringLiteral("mnuSave"), QKeySequence::Save, [this] {
    if (SaveJob(app_, SaveMode::Save)) FlashBackground();
  });
  AddAction(file, QStringLiteral("mnuSaveAs"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] {
    if (SaveJob(app_, SaveMode::SaveAs)) FlashBackground();
  });
  file->addSeparator();
  AddAction(file, QStringLiteral("mnuSaveToDoList"), {}, [this] { SaveList(); });
  AddAction(file, QStringLiteral("mnuOpenToDoList"), {}, [this] { OpenList(); });
  file->addSeparator();
  AddAction(file, QStringLiteral("mnuEnd"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });

  QMenu* backup = AddMenu(nullptr, QStringLiteral("mnuBackup"));
  AddAction(backup, QStringLiteral("mnuSimulate"), QKeySequence(Qt::Key_F5), [this] { ClickButton(kBtnSimulate); });
  AddAction(backup, QStringLiteral("mnuExecute"), QKeySequence(Qt::Key_F6), [this] { ClickButton(kBtnExecute); });
  AddAction(backup, QStringLiteral("mnuOneKlickExecute"), QKeySequence(Qt::Key_F7),
            [this] { ClickButton(kBtnOneStep); });
  backup->addSeparator();
  AddAction(backup, QStringLiteral("mnuSwapFolders"), {}, [this] { SwapFolders(app_); });

  QMenu* languages = AddMenu(nullptr, QStringLiteral("mnuLanguages"));
  languages_ = new QActionGroup(this);
  for (int i = 0; i < 2; ++i) {
    QAction* a = AddAction(languages, QStringLiteral("mnuLanguage(%1)").arg(i), {}, [this, i] {
      // During a run its texts belong to the run: only the controls follow at once.
      if (RunOnWorker())
        SelectLanguage(app_, i);
      else
        SwitchLanguage(app_, i);
      SaveSettings(app_);
    });
    a->setCheckable(true);
    languages_->addAction(a);
  }

  BuildSkinMenu();
  QMenu* info = AddMenu(nullptr, QStringLiteral("mnuInfo"));
  AddAction(info, QStringLiteral("mnuAbout"), QKeySequence::HelpContents, [this] { ShowAbout(); });
  BuildContextMenus();
}

QMenu* MainWindow::AddMenu(QMenu* parent, const QString& key) {
  QMenu* m = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
  m->setObjectName(key);
  m->setTitle(FallbackCaption(key));
  menus_.insert(key, m);
  return m;
}

void MainWindow::BuildContextMenus() {
  QMenu* list = new QMenu(this);
  list->setObjectName(QStringLiteral("mnuListenMenu"));
  menus_.insert(list->objectName(), list);
  AddAction(list, QStringLiteral("mnuShowInExplorer"), {}, [this] { ActOnToDoRow(RowAction::ShowInFileManager); });
  AddAction(list, QStringLiteral("mnuOpenFile"), {}, [this] { ActOnToDoRow(RowAction::Open); });
  AddAction(list, QStringLiteral("mnuDeleteFromList"), {}, [this] { DeleteSelectedToDoRows(); });
  AddAction(list, QStringLiteral("mnuCopyPathToClipb"), {}, [this] { CopyCurrentPath(); });
  list->addSeparator();
  AddAction(list, QStringLiteral("mnuSaveToDo"), {}, [this] { SaveList(); });
  AddAction(list, QStringLiteral("mnuLoadList"), {}, [this] { OpenList(); });
  list->addSeparator();
  QMenu* show = AddMenu(list, QStringLiteral("[mnuShow]"));
  QAction* size = AddAction(show, QStringLiteral("mnuShowSize"), {}, [this] {
    app_.ToDo.ShowSize = action(QStringLiteral("mnuShowSize"))->isChecked();
    ApplyToDoColumnWidths();
  });
  size->setCheckable(true);
  QAction* full = AddAction(show, QStringLiteral("mnuShowFullPath"), {}, [this] {
    app_.ToDo.ShowFullPath = action(QStringLiteral("mnuShowFullPath"))->isChecked();
    ApplyToDoColumnWidths();
  });
  full->setCheckable(true);

  QMenu* folders = new QMenu(this);
  folders->setObjectName(QStringLiteral("mnulvFolders"));
  menus_.insert(folders->objectName(), folders);
  AddAction(folders, QStringLiteral("mnuShowInExplorerF"), {},
            [this] { ActOnFolderRow(RowAction::ShowInFileManager); });
  AddAction(folders, QStringLiteral("mnuDeleteFromListF"), {},
            [this] { DeletePairsByKey(app_, SelectedFolderKeys()); });
  folders->addAction(action(QStringLiteral("mnuSwapFolders")));
}

void MainWindow::ApplyLanguage() {
  qtLanguage_.Follow(QtTranslationName(app_));
  auto text = [this](const QString& key) { return Display(app_.Text(key.toStdString())); };
  for (auto it = menus_.cbegin(); it != menus_.cend(); ++it) {
    if (it.value()->parent() == this) continue;  // context menus have no caption
    it.value()->setTitle(text(it.key()));
  }
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) it.value()->setText(text(it.key()));
  for (auto it = labels_.cbegin(); it != labels_.cend(); ++it) {
    const QString& name = it.key();
    if (name.startsWith(QLatin1String("label("))) {
      const QString caption = text(name);
      if (!caption.isEmpty()) it.value()->setText(caption);  // array elements keep their text
    }
  }
  for (auto it = labelTooltipKeys_.cbegin(); it != labelTooltipKeys_.cend(); ++it) {
    QLabel* l = labels_.value(it.key());
    l->setToolTip(text(it.value()));
    l->setAccessibleDescription(l->toolTip());
  }
  const QString estimate = text(QStringLiteral("lblTimeEstimate"));
  label(QStringLiteral("lblTimeEstimate"))->setText(estimate);
  label(QStringLiteral("lblTotalOperations"))->setAccessibleName(estimate);
  const QString folderTip = text(QStringLiteral("lvFolders"));
  folderList_->setToolTip(folderTip);
  folderList_->setAccessibleName(folderTip);
  const QString listTip = text(QStringLiteral("lvToDoList"));
  toDoView_->setToolTip(listTip);
  toDoView_->setAccessibleName(listTip);
  for (PictureButton* b : buttons_) {
    if (!b) continue;
    const QString caption = text(Key(b->number()));
    if (!caption.isEmpty()) b->setCaption(caption);
  }
  for (std::size_t i = 0; i < legend_.size(); ++i) {
    const QString tip = text(QStringLiteral("imgIcon(%1)").arg(i));
    if (tip.isEmpty()) continue;
    legend_[i]->setToolTip(tip);
    legend_[i]->setAccessibleName(tip);
  }
  const int language = app_.settings.LanguageIndex;
  for (QAction* a : languages_->actions())
    a->setChecked(a->objectName() == QStringLiteral("mnuLanguage(%1)").arg(language));
  folderList_->setHorizontalHeaderLabels({QString(), text(QStringLiteral("[Source directories]")),
                                          text(QStringLiteral("[Status]")),
                                          text(QStringLiteral("[Target directories]"))});
  toDoModel_->HeadersChanged();
  screen_.SetStatusText(1, app_.Job.CurrentJobFile);
  PanelsLanguageChanged();
}

void MainWindow::ApplySkin(int skin) {
  pictures_.LoadSkin(app_.Files.Folder, skin);
  pictures_.LoadFolderImages(app_.Files.Folder, skin);
  if (!pictures_.appIcon.isNull()) setWindowIcon(pictures_.appIcon);
  const QIcon* legend[] = {&pictures_.picFiles, &pictures_.picFolders, &pictures_.picDelete,
                           &pictures_.picNew,   &pictures_.picReplace, &pictures_.picMove};
  for (std::size_t i = 0; i < legend_.size(); ++i)
    if (!legend[i]->isNull()) legend_[i]->setPixmap(legend[i]->pixmap(QSize(20, 20)));
  for (PictureButton* b : buttons_)
    if (b) b->updateGeometry();
  PanelsSkinChanged(skin);
  update();
  screen_.RefreshButtons();
}

void MainWindow::StartUp(const std::string& programFolder, const std::string& commandLine,
                         const StartUpOptions& options) {
  // The file-type check comes after the window is shown: its message box needs a parent on screen.
  StartUpOptions core = options;
  core.checkFileTypes = false;
  dd::StartUp(app_, programFolder, std::string(), core);
  new ListFileWatcher(
      app_, [this] { return RunOnWorker(); }, this);  // a list changed by another run is shown before the next command
  ApplyToDoColumnWidths();
  show();
  if (options.checkFileTypes) AssociateFileTypes(app_);
  Command([this, commandLine] {
    // A list left by another job shows with that job's pairs, unless the command line names a job that loads.
    if (commandLine.empty() || !LoadJobAsked(app_, commandLine)) ShowPlanningJob(app_);
  });
  timerIcons_.start();
}

void MainWindow::ShowTitle() {
  if (RunOnWorker()) return;
  const QString title = DisplayPath(WindowTitle(app_.Job.CurrentJobFile, JobHasUnsavedChanges(app_)));
  if (windowTitle() != title) setWindowTitle(title);
}

void MainWindow::SetCurrentIcon(const std::string& path) {
  const QIcon icon = iconProvider_.icon(QFileInfo(DisplayPath(path)));
  imgCurrentIcon_->setPixmap(icon.pixmap(QSize(16, 16)));
  imgCurrentIcon_->show();
}

void MainWindow::EnableRunButtons() {
  // The lifecycle decides; a run handed over but not begun yet is not on.
  const RunState state = app_.Run.Lifecycle.State();
  for (PictureButton* b : buttons_)
    if (b) b->setEnabled(ButtonEnabled(b->number(), state));
  // A disabled entry takes its key along: F5 to F7 start nothing during a run either.
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
    it.value()->setEnabled(MenuEntryEnabled(it.key().toStdString(), state));
}

PictureButton* MainWindow::button(int number) const {
  return number >= 0 && static_cast<std::size_t>(number) < buttons_.size() ? buttons_[static_cast<std::size_t>(number)]
                                                                           : nullptr;
}

}  // namespace dd::ui
