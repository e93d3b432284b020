#include "ui/run_thread.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace dd::ui {

void RunWorker::Run(const std::function<void()>& work) {
  work();
  emit Finished();
}

RunThread::RunThread(QObject* parent) : QObject(parent), worker_(new RunWorker) {
  thread_.setObjectName(QStringLiteral("run"));
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  connect(
      worker_, &RunWorker::Finished, this,
      [this] {
        busy_ = false;
        emit Ended();
      },
      Qt::QueuedConnection);
  thread_.start();
}

RunThread::~RunThread() {
  // A run blocked on a question needs the window thread to answer it.
  WaitWhileAnswering();
  thread_.quit();
  thread_.wait();
}

bool RunThread::Start(std::function<void()> work) {
  if (busy_) return false;
  busy_ = true;
  QMetaObject::invokeMethod(
      worker_, [this, work = std::move(work)] { worker_->Run(work); }, Qt::QueuedConnection);
  return true;
}

void RunThread::WaitWhileAnswering() {
  while (busy_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

}  // namespace dd::ui
