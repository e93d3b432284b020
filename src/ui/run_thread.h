// The thread the window's runs go on: a worker object in its own QThread. The
// window thread hands it a run and hears by a queued signal when it has ended,
// so that painting and answering never wait for the file system.
#pragma once

#include <QObject>
#include <QThread>
#include <functional>

namespace dd::ui {

class RunWorker : public QObject {
  Q_OBJECT
 public:
  // On the worker thread: carries out the run, then says so.
  void Run(const std::function<void()>& work);
 signals:
  void Finished();
};

class RunThread : public QObject {
  Q_OBJECT
 public:
  explicit RunThread(QObject* parent = nullptr);
  // Waits for a run still going; the window asks it to stop first.
  ~RunThread() override;

  // Starts `work` on the worker; false while a run is still on it.
  bool Start(std::function<void()> work);
  // Whether a run handed over has not yet ended (window thread).
  bool Busy() const { return busy_; }
  // Whether the caller is the worker thread.
  bool OnWorker() const { return QThread::currentThread() == &thread_; }
  // Lets the window's event loop run until the worker is free again.
  void WaitWhileAnswering();

 signals:
  // On the window thread, after the run has unwound.
  void Ended();

 private:
  QThread thread_;
  RunWorker* worker_ = nullptr;
  bool busy_ = false;
};

}  // namespace dd::ui
