// Everything the core needs from a screen. The Qt window, the command-line
// front end and the tests each implement it.
#pragma once

#include <string>
#include <string_view>

#include "common/run_statistics.h"

namespace dd {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

// What a box asks or tells, for the boxes a front end must answer or treat
// apart; every other box is Plain.
enum class MessageKind {
  Plain,
  ConfirmExecute,          // execute the pending operations? (Ok/Cancel)
  ConfirmOneClick,         // simulate and execute at once? (Yes/No)
  MassDeletion,            // plan a pair that deletes most of a side? (Yes/No)
  CreateMissingFolders,    // create the folders that do not exist? (Yes/No)
  AbortedByUser,           // the run ended because a question was declined
  FoldersInsideEachOther,  // pairs left out: one root inside the other
  AbortRun,                // stop the run in progress? (Yes/No)
  ReplaceFile,             // replace an existing file? (Ok/Cancel)
  OverwriteList,           // replace the pending list by a list file? (Yes/No)
  ChangeMode,              // change the backup mode? (Yes/No)
  ProgramFolderInUse,      // another run holds the program folder: the command did nothing
  FileNotWritten,          // a program file could not be written: the command did not succeed
  DiscardForLoad,          // load a job or start a new one although unsaved changes or the pending list go? (Yes/No)
  RunReport,               // how an execution ended: its counts and failures (Ok)
};

// A message box: its kind lets front ends recognise it; the language key says
// which text it shows.
struct Message {
  MessageKind kind = MessageKind::Plain;
  std::string key;
  std::string prompt;
  std::string title;
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::None;
  // A Yes/No question whose safe answer is No: No is the default button.
  bool defaultIsNo = false;
};

// Status images of the folder-pair rows.
enum class PairIcon { Dualdock = 0, Done = 1, Question = 2, Search = 3, Operation = 4 };

// What the pending-statistics labels show besides the counts in RunStatistics.
struct PendingLabels {
  std::string EstimateText;  // the time estimate
  int ProgressPercent = 0;   // 0..100
  int ProgressRed = 0, ProgressGreen = 0, ProgressBlue = 0;
};

enum class StopButton { Simulation, Execution };

enum class FileDialogMode { Open, Save };

// What the schedule panel shows.
struct ScheduleLabels {
  bool On = false;          // the "on" button, label 42 and the bar; else the "off" button and label 41
  std::string Countdown;    // label 44
  int ProgressPercent = 0;  // the bar, 0..100
};

class Screen {
 public:
  virtual ~Screen() = default;

  // A turn for the event loop. Called very often (before every compared line);
  // the front end decides how often it really hands control over.
  virtual void Yield() {}
  // Between the chunks of a long file copy: how far it is, and a turn.
  virtual void CopyProgress(int64_t done, int64_t size) {
    (void)done, (void)size;
    Yield();
  }

  // An operation of the execution carried out: its kind, the side it changed and the item's path below the
  // pair's root (a folder with "/" at its end). Called on the run's thread.
  virtual void OperationDone(OpKind kind, Side side, std::string_view path) { (void)kind, (void)side, (void)path; }

  // A stop asked for outside the run's own thread: true when the front end hands
  // the run's part of it (its texts and labels) to the run, which notes it at its next Yield.
  virtual bool PassStopToRun() { return false; }

  // A modal message box; returns the button pressed.
  virtual Answer ShowMessage(const Message& message) = 0;

  // A file dialog; returns the chosen path or "" on cancel.
  virtual std::string FileDialog(FileDialogMode mode, const std::string& title, const std::string& initialPath,
                                 const std::string& filter) {
    (void)mode, (void)title, (void)initialPath, (void)filter;
    return {};
  }

  // Run labels: tree statistics, action text, current item.
  virtual void ShowRunLabels(const RunStatistics&) {}
  // Pending counts and sizes (in RunStatistics), estimate and progress bar.
  virtual void ShowPendingLabels(const RunStatistics&, const PendingLabels&) {}
  // The current item with its size text.
  virtual void ShowCurrentItem(const std::string& file, const std::string& sizeText) { (void)file, (void)sizeText; }
  // A status-bar panel (1 = job file, 2 = throughput).
  virtual void SetStatusText(int panel, const std::string& text) { (void)panel, (void)text; }

  virtual void SetPairIcon(int pair, PairIcon icon) { (void)pair, (void)icon; }
  virtual void SetStopButtonVisible(StopButton button, bool visible) { (void)button, (void)visible; }
  virtual void RefreshButtons() {}
  virtual void SetLabelTimer(bool on) { (void)on; }
  // The 100 ms tick of the scheduler.
  virtual void SetScheduleTimer(bool on) { (void)on; }
  virtual void ShowSchedule(const ScheduleLabels&) {}
  // All option panels closed, no button pressed, the main panel shown.
  virtual void ShowMainPanel() {}

  // The operation rows were rebuilt from the list, or one row was removed.
  virtual void ToDoRowsRebuilt() {}
  // A view that mirrors the rows hears of a removal before and after it.
  virtual void ToDoRowAboutToBeRemoved(int position) { (void)position; }
  virtual void ToDoRowRemoved(int position) { (void)position; }
  // The same for the rows first..last, which an execution has done.
  virtual void ToDoRowsAboutToBeRemoved(int first, int last) { (void)first, (void)last; }
  virtual void ToDoRowsRemoved(int first, int last) { (void)first, (void)last; }
  // The row an execution works on: the view scrolls it into sight.
  virtual void ShowToDoRow(int position) { (void)position; }
  // The folder pairs changed.
  virtual void FolderPairsChanged() {}
  // The backup-mode editors must show the current mode.
  virtual void BackupModeChanged() {}
  // The filter boxes and option controls must show the current job options.
  virtual void JobOptionsChanged() {}
  // The control texts must follow the current language.
  virtual void LanguageChanged() {}
  // The pictures must come from skin n.
  virtual void SkinChanged(int skin) { (void)skin; }
};

}  // namespace dd
