// The window as the core's screen: boxes, dialogs, labels, buttons and lists.
#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

#include "common/clock.h"
#include "common/files.h"
#include "common/progress.h"
#include "common/text.h"
#include "desktop/file_types.h"
#include "job/folder_pairs.h"
#include "job/job_file.h"
#include "ui/list_file_watcher.h"
#include "ui/list_views.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/progress_picture.h"
#include "ui/qt_text.h"
#include "ui/todo_model.h"
#include "window_rules/dialog_filter.h"
#include "window_rules/buttons.h"
#include "window_rules/message_columns.h"
#include "window_rules/job_loads.h"
#include "window_rules/run_labels.h"
#include "window_rules/window_title.h"

namespace dd::ui {

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

namespace {

// A text with TABs as a table: each TAB starts the next column, a line without
// one spans them all. The texts themselves stay as the language file has them.
QString ColumnsAsTable(const std::string& text) {
  const std::vector<std::vector<std::string>> rows = ColumnRows(text);
  std::size_t columns = 1;
  for (const auto& row : rows) columns = std::max(columns, row.size());
  QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
  for (const auto& row : rows) {
    html += QStringLiteral("<tr>");
    for (std::size_t c = 0; c < row.size(); ++c) {
      const bool last = c + 1 == row.size();
      const int span = last ? static_cast<int>(columns - c) : 1;
      // Numbers after a caption line up on their right edge.
      const bool number = c > 0 && !row[c].empty() && row[c].find_first_not_of("0123456789 .,") == std::string::npos;
      html += QStringLiteral("<td colspan=\"%1\" align=\"%2\" style=\"padding-right:14px\">%3</td>")
                  .arg(span)
                  .arg(number ? QStringLiteral("right") : QStringLiteral("left"))
                  .arg(row[c].empty() ? QStringLiteral("&nbsp;") : Display(row[c]).toHtmlEscaped());
    }
    html += QStringLiteral("</tr>");
  }
  return html + QStringLiteral("</table>");
}

}  // namespace

Answer MainWindow::ShowMessage(const Message& m) {
  Answer asked = Answer::Ok;
  if (Blocking([&] { asked = ShowMessage(m); })) return asked;
  TellDesktopOfRunEnd(m);
  if (messageHook) return messageHook(m);
  QMessageBox box(this);
  box.setWindowTitle(Display(m.title));
  if (HasColumns(m.prompt)) {
    box.setTextFormat(Qt::RichText);
    box.setText(ColumnsAsTable(m.prompt));
  } else {
    box.setText(Display(m.prompt));
  }
  switch (m.icon) {
    case Icon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
    case Icon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case Icon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::None:
      break;
  }
  switch (m.buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(m.defaultIsNo ? QMessageBox::No : QMessageBox::Yes);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:  // closed without a button: the safe answer
      return m.buttons == Buttons::YesNo ? Answer::No : m.buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
  }
}

std::string MainWindow::FileDialog(FileDialogMode mode, const std::string& title, const std::string& initialPath,
                                   const std::string& filter) {
  std::string asked;
  if (Blocking([&] { asked = FileDialog(mode, title, initialPath, filter); })) return asked;
  if (fileDialogHook) return fileDialogHook(mode);
  QStringList filters;
  for (const auto& [description, pattern] : ParseDialogFilter(filter))
    filters << QStringLiteral("%1 (%2)").arg(Display(description), QString::fromUtf8(pattern.c_str()));
  const QString joined = filters.join(QStringLiteral(";;"));
  QString chosen;
  // The dialog asks nothing about replacing: the commands ask themselves.
  if (mode == FileDialogMode::Save)
    chosen = QFileDialog::getSaveFileName(this, Display(title), DisplayPath(initialPath), joined, nullptr,
                                          QFileDialog::DontConfirmOverwrite);
  else
    chosen = QFileDialog::getOpenFileName(this, Display(title), DisplayPath(initialPath), joined);
  return chosen.isEmpty() ? std::string() : PathBytes(chosen);
}

void MainWindow::ShowRunLabels(const RunStatistics& run) {
  // The texts are made where the run is, from its own statistics; the window gets a copy.
  RunLabelTexts texts = RunLabels(run);
  if (OffWindowThread()) {
    Post([&](LabelPost& p) {
      p.run = std::move(texts);
      p.current.reset();
    });
    return;
  }
  SetRunTexts(texts);
}

void MainWindow::SetRunTexts(const RunLabelTexts& texts) {
  runTexts_ = texts;
  runDirty_ = true;
  currentDirty_ = false;  // the run labels show the current item without size and icon
  LabelsChanged();
}

void MainWindow::ShowPendingLabels(const RunStatistics& run, const PendingLabels& labels) {
  PendingLabelTexts texts = PendingLabelsOf(run);
  if (OffWindowThread()) {
    Post([&](LabelPost& p) {
      p.pending.emplace(std::move(texts), labels);
      p.percent.reset();
    });
    return;
  }
  SetPendingTexts(texts, labels);
}

void MainWindow::SetPendingTexts(const PendingLabelTexts& texts, const PendingLabels& labels) {
  pendingTexts_ = texts;
  pendingExtra_ = labels;
  pendingDirty_ = true;
  LabelsChanged();
}

void MainWindow::ShowCurrentItem(const std::string& file, const std::string& sizeText) {
  if (OffWindowThread()) {
    Post([&](LabelPost& p) { p.current.emplace(file, sizeText); });
    return;
  }
  SetCurrentItem(file, sizeText);
}

void MainWindow::SetCurrentItem(const std::string& file, const std::string& sizeText) {
  currentFile_ = file;
  currentSize_ = sizeText;
  currentDirty_ = true;
  LabelsChanged();
}

void MainWindow::LabelsChanged() {
  const bool running = app_.Run.Lifecycle.Active();
  if (!running || MonotonicSeconds() - lastLabels_ >= 0.04) {
    ApplyLabels();
  } else if (!labelFlush_.isActive()) {
    labelFlush_.start();
  }
}

void MainWindow::ApplyLabels() {
  labelFlush_.stop();
  lastLabels_ = MonotonicSeconds();
  auto set = [this](const char* name, const QString& text) { label(QString::fromLatin1(name))->setText(text); };
  if (pendingDirty_) {
    const PendingLabelTexts& t = pendingTexts_;
    set("lblDeleteInF1", Display(t.DeleteInF1));
    set("lblDeleteInF2", Display(t.DeleteInF2));
    set("lblNewInF1", Display(t.NewInF1));
    set("lblNewInF2", Display(t.NewInF2));
    set("lblReplaceInF1", Display(t.ReplaceInF1));
    set("lblReplaceInF2", Display(t.ReplaceInF2));
    set("lblMoveInF1", Display(t.MoveInF1));
    set("lblMoveInF2", Display(t.MoveInF2));
    set("lblDeleteTotalSize", Display(t.DeleteTotalSize));
    set("lblNewTotalSize", Display(t.NewTotalSize));
    set("lblReplaceTotalSize", Display(t.ReplaceTotalSize));
    set("lblTotalOperations", Display(pendingExtra_.EstimateText));
    label(QStringLiteral("lblTimeEstimate"))->setVisible(!pendingExtra_.EstimateText.empty());
    int percent = pendingExtra_.ProgressPercent;
    picProgress_->PaintProgress(
        percent, QColor(pendingExtra_.ProgressRed, pendingExtra_.ProgressGreen, pendingExtra_.ProgressBlue));
    ShowRunOnTaskbar(percent);
    pendingDirty_ = false;
  }
  if (runDirty_) {
    const RunLabelTexts& t = runTexts_;
    set("lblF1Folders", Display(t.F1Folders));
    set("lblF2Folders", Display(t.F2Folders));
    set("lblF1Files", Display(t.F1Files));
    set("lblF2Files", Display(t.F2Files));
    set("lblF1Size", Display(t.F1Size));
    set("lblF2Size", Display(t.F2Size));
    set("lblProgress", Display(t.Progress));
    set("lblCurrentFile", DisplayPath(t.CurrentFile));
    set("lblCurrentSize", QString());
    imgCurrentIcon_->hide();
    runDirty_ = false;
  }
  if (currentDirty_) {
    set("lblCurrentFile", DisplayPath(currentFile_));
    set("lblCurrentSize", Display(currentSize_));
    const std::string path = ReplaceAll(currentFile_, "\r\n", "");
    // The icon asks the file system, which must not hold up the window during a run.
    if (!path.empty() && !app_.Run.Lifecycle.Active()) SetCurrentIcon(path);
    if (path.empty()) imgCurrentIcon_->hide();  // no item, no icon
    currentDirty_ = false;
  }
}

void MainWindow::CopyProgress(int64_t done, int64_t size) {
  const RunStatistics& r = app_.Run;
  if (r.Lifecycle.Execution() && r.PendingOpsAtCount > 0 && size > 0) {
    const double ops = static_cast<double>(r.PendingOpsAtCount - r.PendingOps()) +
                       static_cast<double>(done) / static_cast<double>(size);
    int percent = ProgressPercent(ops, static_cast<double>(r.PendingOpsAtCount));
    if (OffWindowThread())
      Post([percent](LabelPost& p) { p.percent = percent; });
    else
      picProgress_->PaintProgress(percent, picProgress_->colour());
  }
  Yield();
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

void MainWindow::SetStatusText(int panel, const std::string& text) {
  if (Queued([=, this] { SetStatusText(panel, text); })) return;
  (panel == 1 ? statusJob_ : statusRate_)->setText(panel == 1 ? DisplayPath(text) : Display(text));
  if (panel == 1) ShowTitle();
}

void MainWindow::SetPairIcon(int pair, PairIcon icon) {
  if (Queued([=, this] { SetPairIcon(pair, icon); })) return;
  QTableWidgetItem* item = folderList_->item(pair, 2);
  if (item) item->setIcon(pictures_.folders[static_cast<std::size_t>(icon)]);
}

void MainWindow::SetStopButtonVisible(StopButton which, bool visible) {
  if (Queued([=, this] { SetStopButtonVisible(which, visible); })) return;
  button(which == StopButton::Simulation ? kBtnStopSimulation : kBtnStopExec)->setVisible(visible);
  EnableRunButtons();
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

void MainWindow::RefreshButtons() {
  if (Queued([=, this] { RefreshButtons(); })) return;
  EnableRunButtons();
  for (PictureButton* b : buttons_)
    if (b) b->update();
  // A run that has ended shows its last labels at once, not at the next flush.
  if (labelFlush_.isActive() && !app_.Run.Lifecycle.Active()) ApplyLabels();
}

void MainWindow::SetLabelTimer(bool on) {
  if (Queued([=, this] { SetLabelTimer(on); })) return;
  if (on)
    timerLabels_.start();
  else
    timerLabels_.stop();
}

void MainWindow::ToDoRowsRebuilt() {
  // The run waits while the view takes its new copy of the rows.
  if (Blocking([this] { toDoModel_->Freeze(); })) return;
  toDoModel_->Rebuilt();
  if (app_.ToDo.ShowFullPath) ApplyToDoColumnWidths();  // sized to the new rows' paths
  LoadIconsOfVisibleRows();
}

void MainWindow::ToDoRowAboutToBeRemoved(int position) {
  if (OffWindowThread()) return;  // the copy loses the row when the run says it is gone
  toDoModel_->RowAboutToBeRemoved(position);
}

void MainWindow::ToDoRowRemoved(int position) {
  if (Queued([this, position] { toDoModel_->RemoveFrozenRows(position, position); })) return;
  toDoModel_->RowRemoved();
}

void MainWindow::ToDoRowsAboutToBeRemoved(int first, int last) {
  if (OffWindowThread()) return;
  toDoModel_->RowsAboutToBeRemoved(first, last);
}

void MainWindow::ToDoRowsRemoved(int first, int last) {
  if (Queued([this, first, last] { toDoModel_->RemoveFrozenRows(first, last); })) return;
  toDoModel_->RowRemoved();
}

void MainWindow::ShowToDoRow(int position) {
  if (Queued([=, this] { ShowToDoRow(position); })) return;
  toDoView_->scrollTo(toDoModel_->index(position, kColF1));
}

void MainWindow::FolderPairsChanged() {
  if (Blocking([this] { FolderPairsChanged(); })) return;
  // ListViewFoldersAuffuellen: rebuilt from the compacted pairs, the selected row kept where it was.
  const int selected = folderList_->currentRow();
  const std::vector<FolderRow> rows = FolderListRows(app_);
  label(QStringLiteral("lblCurrentFile"))->clear();
  imgCurrentIcon_->hide();
  folderList_->clearContents();
  folderList_->setRowCount(static_cast<int>(rows.size()));
  auto pathItem = [this](const std::string& path) {
    auto* item = new QTableWidgetItem(DisplayPath(path));
    item->setToolTip(DisplayPath(path));
    item->setIcon(PathExists(path) ? iconProvider_.icon(QFileInfo(DisplayPath(path)))
                                   : pictures_.folders[static_cast<std::size_t>(PairIcon::Question)]);
    return item;
  };
  for (const FolderRow& row : rows) {
    const int r = row.key;
    folderList_->setItem(r, 0, new QTableWidgetItem(QString::number(row.key)));
    auto* status = new QTableWidgetItem();
    status->setIcon(pictures_.folders[static_cast<std::size_t>(PairIcon::Dualdock)]);
    folderList_->setItem(r, 2, status);
    if (row.hasSource) folderList_->setItem(r, 1, pathItem(row.source));
    if (row.hasTarget) folderList_->setItem(r, 3, pathItem(row.target));
  }
  folderList_->clearSelection();
  ShowTitle();
  if (selected >= 0 && selected < folderList_->rowCount()) {
    folderList_->selectRow(selected);
    folderList_->scrollToItem(folderList_->item(selected, 0));
    if (selected + 1 < folderList_->rowCount()) folderList_->scrollToItem(folderList_->item(selected + 1, 0));
  }
}

PictureButton* MainWindow::button(int number) const {
  return number >= 0 && static_cast<std::size_t>(number) < buttons_.size() ? buttons_[static_cast<std::size_t>(number)]
                                                                           : nullptr;
}

}  // namespace dd::ui
