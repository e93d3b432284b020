// The core's screen on the main window: it paints through the window's widgets.
#pragma once

#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/screen.h"
#include "window_rules/run_labels.h"

namespace dd::ui {

class MainWindow;

// A call from the run thread reaches the window as a queued call, or a blocking
// one when it asks something or the run must not go on before it is shown.
class WindowScreen : public Screen {
 public:
  explicit WindowScreen(MainWindow& window);

  void Yield() override;
  bool PassStopToRun() override;
  // The bar moves within the file, the window takes a turn.
  void CopyProgress(int64_t done, int64_t size) override;
  Answer ShowMessage(const Message& message) override;
  std::string FileDialog(FileDialogMode mode, const std::string& title, const std::string& initialPath,
                         const std::string& filter) override;
  void ShowRunLabels(const RunStatistics& run) override;
  void ShowPendingLabels(const RunStatistics& run, const PendingLabels& labels) override;
  void ShowCurrentItem(const std::string& file, const std::string& sizeText) override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetPairIcon(int pair, PairIcon icon) override;
  void SetStopButtonVisible(StopButton button, bool visible) override;
  void RefreshButtons() override;
  void SetLabelTimer(bool on) override;
  void ToDoRowsRebuilt() override;
  void ToDoRowAboutToBeRemoved(int position) override;
  void ToDoRowRemoved(int position) override;
  void ToDoRowsAboutToBeRemoved(int first, int last) override;
  void ToDoRowsRemoved(int first, int last) override;
  void ShowToDoRow(int position) override;
  void FolderPairsChanged() override;
  void JobOptionsChanged() override;
  void LanguageChanged() override;
  void SkinChanged(int skin) override;
  void BackupModeChanged() override;
  void SetScheduleTimer(bool on) override;
  void ShowSchedule(const ScheduleLabels& labels) override;
  void ShowMainPanel() override;

  // A run is handed to the worker: nothing the last one was asked is left over.
  void RunHandedOver();
  // The label timer ticked during a run on the worker: the run refreshes its labels at its next turn.
  void AskForLabelTick() { labelTickDue_ = true; }
  bool OffWindowThread() const;

 private:
  // From the run thread: `call` is queued to the window and true is returned; on the window thread false.
  bool Queued(std::function<void()> call);
  // From the run thread: `call` runs on the window thread while the run waits; true when it did.
  bool Blocking(const std::function<void()>& call);
  void RunQueuedCalls();
  Answer AskWithBox(const Message& m);
  std::string AskForFile(FileDialogMode mode, const std::string& title, const std::string& initialPath,
                         const std::string& filter);
  void ShowFolderPairs();
  // The run labels are shown at most every few hundredths of a second during a
  // run (the core reports every row); the last values always reach the screen.
  void LabelsChanged();
  void ApplyLabels();
  void SetRunTexts(const RunLabelTexts& texts);
  void SetPendingTexts(const PendingLabelTexts& texts, const PendingLabels& labels);
  void SetCurrentItem(const std::string& file, const std::string& sizeText);
  // The labels a run sends: only the latest of each kind waits to be shown, so a
  // run that reports every row never floods the window.
  struct LabelPost {
    std::optional<RunLabelTexts> run;
    std::optional<std::pair<PendingLabelTexts, PendingLabels>> pending;
    std::optional<std::pair<std::string, std::string>> current;
    std::optional<int> percent;
    bool posted = false;
  };
  void Post(const std::function<void(LabelPost&)>& fill);
  void TakePost();

  MainWindow& window_;
  QTimer labelFlush_;
  RunLabelTexts runTexts_;
  PendingLabelTexts pendingTexts_;
  PendingLabels pendingExtra_;
  std::string currentFile_, currentSize_;
  bool runDirty_ = false, pendingDirty_ = false, currentDirty_ = false;
  double lastLabels_ = 0;
  // The calls queued by the run, in order, and whether the window has been woken for them.
  std::mutex callsMutex_;
  std::vector<std::function<void()>> calls_;
  bool wakePosted_ = false;
  std::atomic<bool> labelTickDue_{false}, stopNoted_{false};
  std::mutex postMutex_;
  LabelPost post_;
};

}  // namespace dd::ui
