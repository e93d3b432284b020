// The window's runs on the run thread: handing them over, stopping them, and
// what reaches the window from them.
#include <QCoreApplication>
#include <QThread>
#include <future>

#include "flows/execute_flow.h"
#include "common/clock.h"
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

bool MainWindow::OffWindowThread() const {
  return QThread::currentThread() != thread();
}

bool MainWindow::Queued(std::function<void()> call) {
  if (!OffWindowThread()) return false;
  bool wake = false;
  {
    const std::lock_guard<std::mutex> lock(callsMutex_);
    calls_.push_back(std::move(call));
    wake = !wakePosted_;
    wakePosted_ = true;
  }
  // One wake-up for the calls gathered meanwhile; the calls keep their order.
  if (wake) QMetaObject::invokeMethod(this, "RunQueuedCalls", Qt::QueuedConnection);
  return true;
}

void MainWindow::RunQueuedCalls() {
  std::vector<std::function<void()>> calls;
  {
    const std::lock_guard<std::mutex> lock(callsMutex_);
    calls.swap(calls_);
    wakePosted_ = false;
  }
  for (const auto& call : calls) call();
}

bool MainWindow::Blocking(const std::function<void()>& call) {
  if (!OffWindowThread()) return false;
  std::promise<void> done;
  Queued([&] {
    call();
    done.set_value();
  });
  done.get_future().wait();
  return true;
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
  stopNoted_ = false;
  labelTickDue_ = false;
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
  RefreshButtons();
  if (!closePending_) return;
  const bool hidden = isHidden();
  close();
  // A window hidden while the run would not end leaves no window to close: end here.
  if (hidden) QCoreApplication::quit();
}

void MainWindow::StopRun() {
  RequestRunStop(app_);
}

bool MainWindow::PassStopToRun() {
  // The run's texts and labels belong to the run: it notes the stop at its next turn.
  if (OffWindowThread() || !RunOnWorker()) return false;
  stopNoted_ = true;
  return true;
}

void MainWindow::Yield() {
  // Nothing waits for the window's event loop: a run on the window thread (the
  // core called directly) goes straight through, a run on the worker only picks
  // up what the window asked of it meanwhile.
  if (!OffWindowThread()) return;
  if (stopNoted_.exchange(false)) RequestRunStop(app_);
  if (labelTickDue_.exchange(false)) LabelTimerTick(app_);
}

void MainWindow::Post(const std::function<void(LabelPost&)>& fill) {
  std::lock_guard<std::mutex> lock(postMutex_);
  fill(post_);
  if (post_.posted) return;
  post_.posted = true;
  Queued([this] { TakePost(); });
}

void MainWindow::TakePost() {
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
    picProgress_->PaintProgress(*taken.percent, picProgress_->colour());
    ShowRunOnTaskbar(*taken.percent);
  }
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
