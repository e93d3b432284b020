#include "ui/run_thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>

namespace dd::ui {

namespace {
constexpr int kRunNice = 5;
}  // namespace

void MarkHandOff() {
  static std::atomic<unsigned> order{0};
  order.fetch_add(1, std::memory_order_acq_rel);
}

void RunWorker::SetWork(std::function<void()> work) {
  const std::lock_guard<std::mutex> lock(mutex_);
  work_ = std::move(work);
}

void RunWorker::RunPending() {
  std::function<void()> work;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    work.swap(work_);
  }
  if (work) work();
  MarkHandOff();
  QMetaObject::invokeMethod(owner_, "RunFinished", Qt::QueuedConnection);
  MarkHandOff();
}

RunThread::RunThread(QObject* parent) : QObject(parent), worker_(new RunWorker(this)) {
  thread_.setObjectName(QStringLiteral("run"));
  // The run (and the scanning threads it starts, which inherit it) yields the cores to the window
  // thread: on a machine with fewer cores than busy threads the window would otherwise wait its turn.
  connect(
      &thread_, &QThread::started, worker_, [] { ::setpriority(PRIO_PROCESS, ::gettid(), kRunNice); },
      Qt::DirectConnection);
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  thread_.start();
}

void RunThread::RunFinished() {
  MarkHandOff();
  busy_ = false;
  emit Ended();
}

RunThread::~RunThread() {
  // A run blocked on a question needs the window thread to answer it.
  WaitWhileAnswering();
  thread_.quit();
  thread_.wait();
  MarkHandOff();
}

bool RunThread::Start(std::function<void()> work) {
  if (busy_) return false;
  busy_ = true;
  worker_->SetWork(std::move(work));
  QMetaObject::invokeMethod(worker_, "RunPending", Qt::QueuedConnection);
  return true;
}

void RunThread::WaitWhileAnswering() {
  while (busy_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

}  // namespace dd::ui
