// The thread the window's runs go on: a worker object in its own QThread. The
// window thread hands it a run and hears by a queued signal when it has ended,
// so that painting and answering never wait for the file system.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <mutex>

namespace dd::ui {

// Qt's queued calls synchronise inside Qt, where a race checker built into this
// program cannot see it; both sides of a hand-over that carries nothing mark it
// here as well, so that the checker sees what Qt guarantees.
void MarkHandOff();

class RunWorker : public QObject {
  Q_OBJECT
 public:
  // `owner` hears of each run's end through its RunFinished.
  explicit RunWorker(QObject* owner) : owner_(owner) {}
  void SetWork(std::function<void()> work);
  // On the worker thread: carries out the run set last, then says so.
  Q_INVOKABLE void RunPending();

 private:
  QObject* owner_;
  std::mutex mutex_;
  std::function<void()> work_;
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

 public:
  Q_INVOKABLE void RunFinished();

 private:
  QThread thread_;
  RunWorker* worker_ = nullptr;
  bool busy_ = false;
};

}  // namespace dd::ui
