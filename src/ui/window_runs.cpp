// The window's runs on the run thread: handing them over, stopping them, and
// what reaches the window from them.
#include <QCoreApplication>

#include "common/clock.h"
#include "flows/execute_flow.h"
#include "ui/desktop_notice.h"
#include "ui/main_window.h"
#include "ui/progress_picture.h"
#include "ui/run_thread.h"
#include "ui/todo_model.h"

namespace dd::ui {

bool MainWindow::RunOnWorker() const {
  return runs_ && runs_->Busy();
}

void MainWindow::WaitForRun() {
  if (runs_) runs_->WaitWhileAnswering();
}

void MainWindow::StartRun(std::function<void()> work) {
  if (runs_->Busy()) {
    // The lifecycle would refuse it; the question is asked here, where the run is not touched.
    const char* title = app_.Run.Lifecycle.Execution() ? "[Execution]" : "[Simulation]";
    if (app_.Show("[Abort?]", title, Buttons::YesNo, Icon::Question, MessageKind::AbortRun) == Answer::Yes) StopRun();
    return;
  }
  // The view shows a copy while the run changes the rows and records.
  toDoModel_->Freeze();
  screen_.RunHandedOver();
  runHandedOverAt_ = MonotonicSeconds();
  runs_->Start(std::move(work));
}

void MainWindow::RunEnded() {
  scheduledRun_ = false;
  if (taskbarPercent_ >= 0) {
    ShowTaskbarProgress(QDBusConnection::sessionBus(), 0, false);
    taskbarPercent_ = -1;
  }
  toDoModel_->Thaw();
  LoadIconsOfVisibleRows();
  screen_.RefreshButtons();
  if (!closePending_) return;
  const bool hidden = isHidden();
  close();
  // A window hidden while the run would not end leaves no window to close: end here.
  if (hidden) QCoreApplication::quit();
}

void MainWindow::StopRun() {
  RequestRunStop(app_);
}

void MainWindow::TellDesktopOfRunEnd(const Message& box) {
  if (!RunOnWorker()) return;  // only a run on the worker reports its end
  const RunEndFacts facts{isActiveWindow(), scheduledRun_, MonotonicSeconds() - runHandedOverAt_};
  const DesktopNotice notice = NoticeOfRunEnd(box, facts);
  if (!notice.send) return;
  if (noticeHook) {
    noticeHook(notice);
    return;
  }
  const QDBusConnection bus = QDBusConnection::sessionBus();
  SendDesktopNotice(bus, notice);
  ShowTaskbarProgress(bus, 1.0, true, true);
}

void MainWindow::ShowRunOnTaskbar(int percent) {
  if (!RunOnWorker() || percent == taskbarPercent_) return;
  taskbarPercent_ = percent;
  ShowTaskbarProgress(QDBusConnection::sessionBus(), percent / 100.0, true);
}

}  // namespace dd::ui
