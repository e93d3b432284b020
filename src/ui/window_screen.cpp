// The window as the core's screen: boxes, dialogs, labels, buttons and lists,
// and how a call from the run thread reaches the window thread.
#include "ui/window_screen.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QThread>
#include <future>

#include "common/clock.h"
#include "common/files.h"
#include "common/progress.h"
#include "common/text.h"
#include "flows/execute_flow.h"
#include "job/folder_pairs.h"
#include "ui/backup_mode_panel.h"
#include "ui/filter_panel.h"
#include "ui/list_views.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/progress_picture.h"
#include "ui/qt_text.h"
#include "ui/schedule_panel.h"
#include "ui/todo_model.h"
#include "window_rules/buttons.h"
#include "window_rules/dialog_filter.h"
#include "window_rules/message_columns.h"
#include "window_rules/panels.h"
#include "window_rules/run_labels.h"

namespace dd::ui {

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

WindowScreen::WindowScreen(MainWindow& window) : window_(window) {
  labelFlush_.setSingleShot(true);
  labelFlush_.setInterval(40);
  QObject::connect(&labelFlush_, &QTimer::timeout, [this] { ApplyLabels(); });
}

bool WindowScreen::OffWindowThread() const {
  return QThread::currentThread() != window_.thread();
}

bool WindowScreen::Queued(std::function<void()> call) {
  if (!OffWindowThread()) return false;
  bool wake = false;
  {
    const std::lock_guard<std::mutex> lock(callsMutex_);
    calls_.push_back(std::move(call));
    wake = !wakePosted_;
    wakePosted_ = true;
  }
  // One wake-up for the calls gathered meanwhile; the calls keep their order.
  if (wake)
    QMetaObject::invokeMethod(
        &window_, [this] { RunQueuedCalls(); }, Qt::QueuedConnection);
  return true;
}

void WindowScreen::RunQueuedCalls() {
  std::vector<std::function<void()>> calls;
  {
    const std::lock_guard<std::mutex> lock(callsMutex_);
    calls.swap(calls_);
    wakePosted_ = false;
  }
  for (const auto& call : calls) call();
}

bool WindowScreen::Blocking(const std::function<void()>& call) {
  if (!OffWindowThread()) return false;
  std::promise<void> done;
  Queued([&] {
    call();
    done.set_value();
  });
  done.get_future().wait();
  return true;
}

void WindowScreen::RunHandedOver() {
  stopNoted_ = false;
  labelTickDue_ = false;
}

bool WindowScreen::PassStopToRun() {
  // The run's texts and labels belong to the run: it notes the stop at its next turn.
  if (OffWindowThread() || !window_.RunOnWorker()) return false;
  stopNoted_ = true;
  return true;
}

void WindowScreen::Yield() {
  // Nothing waits for the window's event loop: a run on the window thread (the
  // core called directly) goes straight through, a run on the worker only picks
  // up what the window asked of it meanwhile.
  if (!OffWindowThread()) return;
  if (stopNoted_.exchange(false)) RequestRunStop(window_.app_);
  if (labelTickDue_.exchange(false)) LabelTimerTick(window_.app_);
}

void WindowScreen::Post(const std::function<void(LabelPost&)>& fill) {
  std::lock_guard<std::mutex> lock(postMutex_);
  fill(post_);
  if (post_.posted) return;
  post_.posted = true;
  Queued([this] { TakePost(); });
}

void WindowScreen::TakePost() {
  LabelPost taken;
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    taken = std::move(post_);
    post_ = LabelPost{};
  }
  if (taken.run) SetRunTexts(*taken.run);
  if (taken.pending) SetPendingTexts(taken.pending->first, taken.pending->second);
  if (taken.current) SetCurrentItem(taken.current->first, taken.current->second);
  if (taken.percent) {
    window_.picProgress_->PaintProgress(*taken.percent, window_.picProgress_->colour());
    window_.ShowRunOnTaskbar(*taken.percent);
  }
}

Answer WindowScreen::ShowMessage(const Message& m) {
  Answer asked = Answer::Ok;
  if (Blocking([&] { asked = ShowMessage(m); })) return asked;
  window_.TellDesktopOfRunEnd(m);
  if (window_.messageHook) return window_.messageHook(m);
  return AskWithBox(m);
}

Answer WindowScreen::AskWithBox(const Message& m) {
  QMessageBox box(&window_);
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

std::string WindowScreen::FileDialog(FileDialogMode mode, const std::string& title, const std::string& initialPath,
                                     const std::string& filter) {
  std::string asked;
  if (Blocking([&] { asked = FileDialog(mode, title, initialPath, filter); })) return asked;
  if (window_.fileDialogHook) return window_.fileDialogHook(mode);
  return AskForFile(mode, title, initialPath, filter);
}

std::string WindowScreen::AskForFile(FileDialogMode mode, const std::string& title, const std::string& initialPath,
                                     const std::string& filter) {
  QStringList filters;
  for (const auto& [description, pattern] : ParseDialogFilter(filter))
    filters << QStringLiteral("%1 (%2)").arg(Display(description), QString::fromUtf8(pattern.c_str()));
  const QString joined = filters.join(QStringLiteral(";;"));
  QString chosen;
  // The dialog asks nothing about replacing: the commands ask themselves.
  if (mode == FileDialogMode::Save)
    chosen = QFileDialog::getSaveFileName(&window_, Display(title), DisplayPath(initialPath), joined, nullptr,
                                          QFileDialog::DontConfirmOverwrite);
  else
    chosen = QFileDialog::getOpenFileName(&window_, Display(title), DisplayPath(initialPath), joined);
  return chosen.isEmpty() ? std::string() : PathBytes(chosen);
}

void WindowScreen::ShowRunLabels(const RunStatistics& run) {
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

void WindowScreen::SetRunTexts(const RunLabelTexts& texts) {
  runTexts_ = texts;
  runDirty_ = true;
  currentDirty_ = false;  // the run labels show the current item without size and icon
  LabelsChanged();
}

void WindowScreen::ShowPendingLabels(const RunStatistics& run, const PendingLabels& labels) {
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

void WindowScreen::SetPendingTexts(const PendingLabelTexts& texts, const PendingLabels& labels) {
  pendingTexts_ = texts;
  pendingExtra_ = labels;
  pendingDirty_ = true;
  LabelsChanged();
}

void WindowScreen::ShowCurrentItem(const std::string& file, const std::string& sizeText) {
  if (OffWindowThread()) {
    Post([&](LabelPost& p) { p.current.emplace(file, sizeText); });
    return;
  }
  SetCurrentItem(file, sizeText);
}

void WindowScreen::SetCurrentItem(const std::string& file, const std::string& sizeText) {
  currentFile_ = file;
  currentSize_ = sizeText;
  currentDirty_ = true;
  LabelsChanged();
}

void WindowScreen::LabelsChanged() {
  const bool running = window_.app_.Run.Lifecycle.Active();
  if (!running || MonotonicSeconds() - lastLabels_ >= 0.04) {
    ApplyLabels();
  } else if (!labelFlush_.isActive()) {
    labelFlush_.start();
  }
}

void WindowScreen::ApplyLabels() {
  labelFlush_.stop();
  lastLabels_ = MonotonicSeconds();
  auto set = [this](const char* name, const QString& text) { window_.label(QString::fromLatin1(name))->setText(text); };
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
    window_.label(QStringLiteral("lblTimeEstimate"))->setVisible(!pendingExtra_.EstimateText.empty());
    int percent = pendingExtra_.ProgressPercent;
    window_.picProgress_->PaintProgress(
        percent, QColor(pendingExtra_.ProgressRed, pendingExtra_.ProgressGreen, pendingExtra_.ProgressBlue));
    window_.ShowRunOnTaskbar(percent);
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
    window_.imgCurrentIcon_->hide();
    runDirty_ = false;
  }
  if (currentDirty_) {
    set("lblCurrentFile", DisplayPath(currentFile_));
    set("lblCurrentSize", Display(currentSize_));
    const std::string path = ReplaceAll(currentFile_, "\r\n", "");
    // The icon asks the file system, which must not hold up the window during a run.
    if (!path.empty() && !window_.app_.Run.Lifecycle.Active()) window_.SetCurrentIcon(path);
    if (path.empty()) window_.imgCurrentIcon_->hide();  // no item, no icon
    currentDirty_ = false;
  }
}

void WindowScreen::CopyProgress(int64_t done, int64_t size) {
  const RunStatistics& r = window_.app_.Run;
  if (r.Lifecycle.Execution() && r.PendingOpsAtCount > 0 && size > 0) {
    const double ops = static_cast<double>(r.PendingOpsAtCount - r.PendingOps()) +
                       static_cast<double>(done) / static_cast<double>(size);
    int percent = ProgressPercent(ops, static_cast<double>(r.PendingOpsAtCount));
    if (OffWindowThread())
      Post([percent](LabelPost& p) { p.percent = percent; });
    else
      window_.picProgress_->PaintProgress(percent, window_.picProgress_->colour());
  }
  Yield();
}

void WindowScreen::SetStatusText(int panel, const std::string& text) {
  if (Queued([=, this] { SetStatusText(panel, text); })) return;
  (panel == 1 ? window_.statusJob_ : window_.statusRate_)->setText(panel == 1 ? DisplayPath(text) : Display(text));
  if (panel == 1) window_.ShowTitle();
}

void WindowScreen::SetPairIcon(int pair, PairIcon icon) {
  if (Queued([=, this] { SetPairIcon(pair, icon); })) return;
  QTableWidgetItem* item = window_.folderList_->item(pair, 2);
  if (item) item->setIcon(window_.pictures_.folders[static_cast<std::size_t>(icon)]);
}

void WindowScreen::SetStopButtonVisible(StopButton which, bool visible) {
  if (Queued([=, this] { SetStopButtonVisible(which, visible); })) return;
  window_.button(which == StopButton::Simulation ? kBtnStopSimulation : kBtnStopExecution)->setVisible(visible);
  window_.EnableRunButtons();
}

void WindowScreen::RefreshButtons() {
  if (Queued([=, this] { RefreshButtons(); })) return;
  window_.EnableRunButtons();
  for (PictureButton* b : window_.buttons_)
    if (b) b->update();
  // A run that has ended shows its last labels at once, not at the next flush.
  if (labelFlush_.isActive() && !window_.app_.Run.Lifecycle.Active()) ApplyLabels();
}

void WindowScreen::SetLabelTimer(bool on) {
  if (Queued([=, this] { SetLabelTimer(on); })) return;
  if (on)
    window_.timerLabels_.start();
  else
    window_.timerLabels_.stop();
}

void WindowScreen::ToDoRowsRebuilt() {
  ToDoModel* model = window_.toDoModel_;
  // The run waits while the view takes its new copy of the rows.
  if (Blocking([model] { model->Freeze(); })) return;
  model->Rebuilt();
  if (window_.app_.ToDo.ShowFullPath) window_.ApplyToDoColumnWidths();  // sized to the new rows' paths
  window_.LoadIconsOfVisibleRows();
}

void WindowScreen::ToDoRowAboutToBeRemoved(int position) {
  if (OffWindowThread()) return;  // the copy loses the row when the run says it is gone
  window_.toDoModel_->RowAboutToBeRemoved(position);
}

void WindowScreen::ToDoRowRemoved(int position) {
  ToDoModel* model = window_.toDoModel_;
  if (Queued([model, position] { model->RemoveFrozenRows(position, position); })) return;
  model->RowRemoved();
}

void WindowScreen::ToDoRowsAboutToBeRemoved(int first, int last) {
  if (OffWindowThread()) return;
  window_.toDoModel_->RowsAboutToBeRemoved(first, last);
}

void WindowScreen::ToDoRowsRemoved(int first, int last) {
  ToDoModel* model = window_.toDoModel_;
  if (Queued([model, first, last] { model->RemoveFrozenRows(first, last); })) return;
  model->RowRemoved();
}

void WindowScreen::ShowToDoRow(int position) {
  if (Queued([=, this] { ShowToDoRow(position); })) return;
  window_.toDoView_->scrollTo(window_.toDoModel_->index(position, kColF1));
}

void WindowScreen::FolderPairsChanged() {
  if (Blocking([this] { FolderPairsChanged(); })) return;
  ShowFolderPairs();
}

void WindowScreen::ShowFolderPairs() {
  // Rebuilt from the compacted pairs, the selected row kept where it was.
  FolderTable* list = window_.folderList_;
  const int selected = list->currentRow();
  const std::vector<FolderRow> rows = FolderListRows(window_.app_);
  window_.label(QStringLiteral("lblCurrentFile"))->clear();
  window_.imgCurrentIcon_->hide();
  list->clearContents();
  list->setRowCount(static_cast<int>(rows.size()));
  const auto& folderPictures = window_.pictures_.folders;
  auto pathItem = [this, &folderPictures](const std::string& path) {
    auto* item = new QTableWidgetItem(DisplayPath(path));
    item->setToolTip(DisplayPath(path));
    item->setIcon(PathExists(path) ? window_.iconProvider_.icon(QFileInfo(DisplayPath(path)))
                                   : folderPictures[static_cast<std::size_t>(PairIcon::Question)]);
    return item;
  };
  for (const FolderRow& row : rows) {
    const int r = row.key;
    list->setItem(r, 0, new QTableWidgetItem(QString::number(row.key)));
    auto* status = new QTableWidgetItem();
    status->setIcon(folderPictures[static_cast<std::size_t>(PairIcon::Dualdock)]);
    list->setItem(r, 2, status);
    if (row.hasSource) list->setItem(r, 1, pathItem(row.source));
    if (row.hasTarget) list->setItem(r, 3, pathItem(row.target));
  }
  list->clearSelection();
  window_.ShowTitle();
  if (selected >= 0 && selected < list->rowCount()) {
    list->selectRow(selected);
    list->scrollToItem(list->item(selected, 0));
    if (selected + 1 < list->rowCount()) list->scrollToItem(list->item(selected + 1, 0));
  }
}

void WindowScreen::LanguageChanged() {
  if (Blocking([this] { LanguageChanged(); })) return;
  window_.ApplyLanguage();
}

void WindowScreen::SkinChanged(int skin) {
  if (Blocking([this, skin] { SkinChanged(skin); })) return;
  window_.ApplySkin(skin);
}

void WindowScreen::BackupModeChanged() {
  if (Blocking([this] { BackupModeChanged(); })) return;
  window_.frameBackupModes_->ShowMode();
  window_.ShowTitle();
}

void WindowScreen::JobOptionsChanged() {
  if (Blocking([this] { JobOptionsChanged(); })) return;
  window_.ShowJobOptions();
}

void WindowScreen::SetScheduleTimer(bool on) {
  if (Queued([this, on] { SetScheduleTimer(on); })) return;
  window_.SwitchScheduleTimer(on);
}

void WindowScreen::ShowSchedule(const ScheduleLabels& labels) {
  if (Queued([this, labels] { ShowSchedule(labels); })) return;
  window_.frameSchedule_->Show(labels);
}

void WindowScreen::ShowMainPanel() {
  if (Queued([this] { ShowMainPanel(); })) return;
  ClosePanels(window_.panels_);
  window_.ApplyPanels();
}

}  // namespace dd::ui
