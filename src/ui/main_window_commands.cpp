// The window's commands: buttons, keys, mouse, drops and the list menus.
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

#include "apply/statistics_labels.h"
#include "common/files.h"
#include "common/format.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "flows/todo_files.h"
#include "job/folder_pairs.h"
#include "job/job_file.h"
#include "job/run_guard.h"
#include "ui/about_dialog.h"
#include "ui/list_views.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/qt_text.h"
#include "ui/shell.h"
#include "ui/todo_model.h"
#include "window_rules/buttons.h"
#include "window_rules/job_loads.h"

namespace dd::ui {

namespace {

// The lists' widths are reckoned in thirds of a pixel, so that their fixed
// columns (300 for the folder status, 320 and 400 in the to-do list) fit a
// window of 1024 pixels and up.
constexpr int kUnitsPerPixel = 3;

bool IsKey(const QKeyEvent* e, std::initializer_list<int> keys) {
  for (int k : keys)
    if (e->key() == k) return true;
  return false;
}

bool OnlyCtrl(const QKeyEvent* e) {
  return (e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier)) ==
         Qt::ControlModifier;
}

}  // namespace

void MainWindow::Command(const std::function<void()>& command) {
  ++commandDepth_;
  command();
  --commandDepth_;
  ShowTitle();
  if (commandDepth_ == 0 && closePending_) close();
}

void MainWindow::ClickButton(int number) {
  screen_.RefreshButtons();
  Command([this, number] {
    switch (number) {
      case kBtnSimulate:
        StartRun([this] { Simulate(app_); });
        break;
      case kBtnExecute:
      case kBtnOneStep:
        if (!app_.Run.Lifecycle.Active()) {
          ShowListForRun(panels_);
          ApplyPanels();
        }
        if (number == kBtnExecute)
          StartRun([this] { Execute(app_); });
        else
          StartRun([this] { ExecuteOneStep(app_); });
        break;
      case kBtnStopExecution:
      case kBtnStopSimulation:
        StopRun();
        break;
      case kBtnSave:
        if (SaveJob(app_, SaveMode::Save)) FlashBackground();
        break;
      case kBtnOpen:
        OpenJobAsked(app_);
        break;
      case kBtnInfo:
        ShowAbout();
        break;
      case kBtnHideToDoList:
      case kBtnShowToDoList:
      case kBtnMaximizeToDoList:
      case kBtnRestoreToDoList:
        ToDoListButton(panels_, number);
        ApplyPanels();
        break;
      case kBtnBackup:
      case kBtnExclude:
      case kBtnHideModesPanel:
      case kBtnHideExcludePanel:
        TogglePanel(panels_, number);
        ApplyPanels();
        break;
      case kBtnScheduleOff:
      case kBtnScheduleOn:
      case kBtnHideSchedule:
      case kBtnScheduleOffInPanel:
      case kBtnScheduleOnInPanel:
        ScheduleButton(number);
        break;
      default:
        break;
    }
  });
}

void MainWindow::ApplyPanels() {
  frameMain_->setVisible(panels_.frameMain && !panels_.toDoListMaximized);
  frameToDo_->setVisible(panels_.toDoListVisible);
  if (auto* layout = qobject_cast<QVBoxLayout*>(centralWidget()->layout()))
    layout->setStretchFactor(frameMain_, panels_.toDoListVisible ? 0 : 1);
  for (int b : {kBtnHideToDoList, kBtnShowToDoList, kBtnMaximizeToDoList, kBtnRestoreToDoList})
    button(b)->setVisible(ButtonShown(panels_, b));
  ApplyOptionPanels();
  screen_.RefreshButtons();
}

void MainWindow::ShowAbout() {
  QString title = action(QStringLiteral("mnuAbout"))->text();
  title.remove(QLatin1Char('&'));
  auto* about = new AboutDialog(pictures_.backgrounds[5], title, Display(app_.Text("frmAbout.lblDescription")), this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->open();
}

void MainWindow::CopyCurrentPath() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(label(QStringLiteral("lblCurrentFile"))->text());
}

void MainWindow::SaveList() {
  if (!RefusedDuringRun(app_)) SaveListWithDialog(app_);
}

void MainWindow::OpenList() {
  if (!RefusedDuringRun(app_)) OpenListWithDialog(app_);
}

std::vector<int> MainWindow::SelectedFolderKeys() const {
  std::vector<int> keys;
  for (const QModelIndex& index : folderList_->selectionModel()->selectedRows(0))
    if (QTableWidgetItem* item = folderList_->item(index.row(), 0)) keys.push_back(item->text().toInt());
  return keys;
}

void MainWindow::ActOnFolderRow(RowAction action) {
  if (RunOnWorker()) return;  // the current-item labels belong to the run meanwhile
  const int row = folderList_->currentRow();
  QTableWidgetItem* keyItem = row >= 0 ? folderList_->item(row, 0) : nullptr;
  if (!keyItem || !folderList_->selectionModel()->isRowSelected(row, {})) return;
  const std::string path = PairPathAt(app_, keyItem->text().toInt(), foldersMouseX_, folderList_->Boundary());
  if (!path.empty() && action == RowAction::ShowInFileManager) ShowInFileManager(path);
  app_.Run.CurrentFile = path;
  app_.Run.CurrentSizeText.clear();
  ShowCurrentItemLabels(app_.screen, app_.Run);
}

std::array<int, kToDoColumnCount> MainWindow::ToDoPixelWidths() const {
  std::array<int, kToDoColumnCount> w{};
  for (int c = 0; c < kToDoColumnCount; ++c)
    w[static_cast<std::size_t>(c)] = toDoView_->isColumnHidden(c) ? 0 : toDoView_->columnWidth(c);
  return w;
}

void MainWindow::ActOnToDoRow(RowAction action) {
  if (RunOnWorker()) return;
  const QModelIndex current = toDoView_->currentIndex();
  const int64_t record = current.isValid() ? toDoModel_->RecordOfRow(current.row()) : -1;
  if (record < 0) return;
  const bool f1 = SideIsF1(toDoMouseX_, ToDoPixelWidths());
  const std::string path = ToDoEventPath(app_.ToDo.ToDoList[static_cast<std::size_t>(record)], f1);
  if (action == RowAction::ShowInFileManager) ShowInFileManager(path);
  if (action == RowAction::Open) OpenWithShell(path);
  app_.Run.CurrentFile = path;
  struct stat st {};
  const bool folder = IsDirectory(path);
  app_.Run.CurrentSizeText =
      folder ? std::string() : FormatSize(::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0.0);
  ShowCurrentItemLabels(app_.screen, app_.Run, folder);
}

int MainWindow::DeleteSelectedToDoRows() {
  if (app_.Run.Lifecycle.Execution() || RunOnWorker()) return 0;
  const int noted = toDoView_->currentIndex().row();
  std::vector<int64_t> positions;
  for (const QItemSelectionRange& range : toDoView_->selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r) positions.push_back(r);
  const int removed = RemoveSelectedRows(app_, positions);
  const int rows = toDoModel_->rowCount();
  if (removed > 0 && rows > 0) {
    const int row = std::clamp(noted, 0, rows - 1);
    const QModelIndex index = toDoModel_->index(row, kColF1);
    toDoView_->selectionModel()->setCurrentIndex(index,
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    toDoView_->scrollTo(index);
  }
  return removed;
}

void MainWindow::SortByHeader(int column) {
  if (app_.Run.Lifecycle.Execution() || RunOnWorker()) return;
  const int by = sort_.Click(column);
  if (!SortToDoRows(app_, by, sort_.descending)) return;
  toDoView_->horizontalHeader()->setSortIndicator(column, sort_.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  screen_.ToDoRowsRebuilt();
}

void MainWindow::DropOnFolders(const std::vector<std::string>& paths, int x) {
  Command([this, paths, x] { DropOnFolderListAsked(app_, paths, x, folderList_->Boundary()); });
}

void MainWindow::LoadIconsOfVisibleRows() {
  // Icons ask the file system: none while a run may hold it up.
  if (app_.Run.Lifecycle.Active() || RunOnWorker() || !toDoView_->isVisible()) return;
  toDoModel_->LoadVisibleIcons(toDoView_->FirstVisibleRow());
}

void MainWindow::ApplyToDoColumnWidths() {
  // The "Full path" columns are as wide as their longest path (and a margin) allows.
  const int pathPixels =
      app_.ToDo.ShowFullPath ? toDoView_->fontMetrics().horizontalAdvance(toDoModel_->LongestPath()) + 12 : 0;
  const auto widths = dd::ToDoColumnWidths(toDoView_->viewport()->width() * kUnitsPerPixel, app_.ToDo.ShowSize,
                                           app_.ToDo.ShowFullPath, pathPixels * kUnitsPerPixel);
  for (int c = 0; c < kToDoColumnCount; ++c) {
    const int px = widths[static_cast<std::size_t>(c)] / kUnitsPerPixel;
    toDoView_->setColumnHidden(c, px == 0);
    if (px > 0) toDoView_->setColumnWidth(c, px);
  }
  const FolderColumnWidths f = FolderColumns(folderList_->viewport()->width() * kUnitsPerPixel);
  folderList_->setColumnHidden(0, true);
  folderList_->setColumnWidth(1, f.source / kUnitsPerPixel);
  folderList_->setColumnWidth(2, f.status / kUnitsPerPixel);
  folderList_->setColumnWidth(3, f.target / kUnitsPerPixel);
}

void MainWindow::ShowListMenu(QPoint globalPos) {
  menu(QStringLiteral("mnuListenMenu"))->popup(globalPos);
}

void MainWindow::ShowFolderMenu(QPoint globalPos) {
  menu(QStringLiteral("mnulvFolders"))->popup(globalPos);
}

void MainWindow::ConnectLists() {
  ListHooks& f = folderList_->hooks;
  f.keyPress = [this](QKeyEvent* e) {
    if (IsKey(e, {Qt::Key_Delete, Qt::Key_Backspace})) {
      Command([this] { DeletePairsByKey(app_, SelectedFolderKeys()); });
    } else if (IsKey(e, {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})) {
      ActOnFolderRow(RowAction::ShowInFileManager);
    } else if (e->key() == Qt::Key_A && OnlyCtrl(e)) {
      folderList_->selectAll();
    } else {
      return false;
    }
    return true;
  };
  f.keyRelease = [this](QKeyEvent*) { ActOnFolderRow(RowAction::Select); };
  f.mouseRelease = [this](int x, Qt::MouseButton b, QPoint global) {
    foldersMouseX_ = x;
    if (b == Qt::RightButton) ShowFolderMenu(global);
    ActOnFolderRow(RowAction::Select);
  };
  f.doubleClick = [this] { ActOnFolderRow(RowAction::ShowInFileManager); };
  folderList_->drop = [this](const std::vector<std::string>& paths, int x) { DropOnFolders(paths, x); };

  ListHooks& t = toDoView_->hooks;
  t.keyPress = [this](QKeyEvent* e) {
    if (IsKey(e, {Qt::Key_Delete, Qt::Key_Backspace})) {
      DeleteSelectedToDoRows();
    } else if (e->key() == Qt::Key_Space) {
      ActOnToDoRow(RowAction::ShowInFileManager);
    } else if (IsKey(e, {Qt::Key_Return, Qt::Key_Enter})) {
      ActOnToDoRow(RowAction::Open);
    } else if (e->key() == Qt::Key_A && OnlyCtrl(e)) {
      toDoView_->selectAll();
    } else {
      return false;
    }
    LoadIconsOfVisibleRows();
    return true;
  };
  t.keyRelease = [this](QKeyEvent*) {
    ActOnToDoRow(RowAction::Select);
    LoadIconsOfVisibleRows();
  };
  t.mouseRelease = [this](int x, Qt::MouseButton b, QPoint global) {
    toDoMouseX_ = x;
    if (b == Qt::RightButton) ShowListMenu(global);
    ActOnToDoRow(RowAction::Select);
  };
  t.doubleClick = [this] { ActOnToDoRow(RowAction::ShowInFileManager); };
  connect(toDoView_->horizontalHeader(), &QHeaderView::sectionClicked, this, &MainWindow::SortByHeader);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && (watched == toDoView_->viewport() || watched == folderList_->viewport())) {
    ApplyToDoColumnWidths();
    return false;
  }
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;  // keys of a message box stay its own
  auto* key = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyPress) {
    if (key->key() == Qt::Key_Escape) {
      // A run stops first; then the scheduler goes off, or the open panel closes.
      if (!scheduler_.Escape(panels_.frameSchedule || panels_.frameMain)) {
        ClosePanels(panels_);
        ApplyPanels();
      }
    }
    if (key->key() == Qt::Key_Control && OneStepButtonShown(true, app_.Run)) button(kBtnOneStep)->show();
  } else if (!key->isAutoRepeat() && button(kBtnOneStep)->isVisible()) {
    button(kBtnOneStep)->hide();
    screen_.RefreshButtons();
  }
  return false;
}

void MainWindow::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  ApplyOptionPanels();
  ApplyToDoColumnWidths();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // A run is stopped first, so that it unwinds and saves the shortened list; the window closes after.
  if (RunOnWorker() || app_.Run.Lifecycle.Active() || commandDepth_ > 0) {
    if (RunOnWorker()) {
      RequestRunStop(app_);
      // A run held up by the file system keeps the process, not the window: it goes once the run ends.
      QTimer::singleShot(3000, this, [this] {
        if (RunOnWorker()) hide();
      });
    } else if (app_.Run.Lifecycle.Active()) {
      RequestRunStop(app_);
    }
    closePending_ = true;
    e->ignore();
    return;
  }
  e->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasFormat(QStringLiteral("text/uri-list"))) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  const std::vector<std::string> paths = LocalPathsOfUriList(e->mimeData()->data(QStringLiteral("text/uri-list")));
  e->acceptProposedAction();
  Command([this, paths] { DropOnWindowAsked(app_, paths); });
}

}  // namespace dd::ui
