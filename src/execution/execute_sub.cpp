#include "execution/execute_sub.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "engine/simulation.h"
#include "execution/file_ops.h"
#include "execution/rates.h"
#include "oplist/record_texts.h"
#include "oplist/todo_list.h"

namespace dd {

namespace {

int64_t SizeField(const std::string& text) {
  return static_cast<int64_t>(LeadingNumber(text));
}

// The walk over the rows, with the row index and the pass of the original
// two-pass design: files are deleted going forwards, folders going backwards
// from the end of the deletions, copies going forwards.
class Walk {
 public:
  explicit Walk(App& app) : app_(app), run_(app.Run) {}

  int Run() {
    auto& rows = app_.ToDo.Rows;
    while (i_ < static_cast<int64_t>(rows.size())) {
      app_.Yield();
      ++i_;
      if (run_.StopRequested) break;
      HandleRow();
      LabelsMitSimuDatenAuffuellen(app_);
      if (pass_ == 1 && i_ == static_cast<int64_t>(rows.size()) && i_ > 0) {
        pass_ = 2;
        --i_;
      }
    }
    return failures_;
  }

 private:
  void HandleRow() {
    const int64_t index = app_.ToDo.Rows[i_ - 1];
    auto& list = app_.ToDo.ToDoList;
    if (index < 0 || index >= static_cast<int64_t>(list.size())) return;
    std::vector<std::string> f = SplitKeepEmpty(list[index], "\t");
    if (f.size() != 7) return;
    const bool exists = (!f[3].empty() && PathExists(f[3])) || (!f[4].empty() && PathExists(f[4]));
    if (!exists) {
      RemoveCurrentRow(index);
      --i_;
      return;
    }
    if (f[0] == kOpDeleteInF1 || f[0] == kOpDeleteInF2)
      HandleDeletion(index, f, f[0] == kOpDeleteInF1);
    else if (f[0] == kOpCopyToF1 || f[0] == kOpCopyToF2)
      HandleCopy(index, f);
  }

  void RemoveCurrentRow(int64_t index) {
    app_.ToDo.ToDoList[index].clear();
    RemoveToDoRow(app_, static_cast<std::size_t>(i_ - 1));
  }

  // Shows the entry about to be handled; returns whether it is a folder.
  bool ShowCurrent(const std::string& path, int64_t size) {
    run_.CurrentFile = path;
    run_.CurrentSizeText = FormatSize(static_cast<double>(size));
    const bool isFolder = IsDirectory(path);
    LabelsCurrentAusgeben(app_, isFolder);
    app_.Yield();
    return isFolder;
  }

  void HandleDeletion(int64_t index, const std::vector<std::string>& f, bool inF1) {
    if (run_.FirstDeleteTime == 0) run_.FirstDeleteTime = MonotonicSeconds();
    const std::string& path = inF1 ? f[3] : f[4];
    const int64_t size = SizeField(inF1 ? f[5] : f[6]);
    const bool isFolder = ShowCurrent(path, size);
    if ((pass_ == 1) == isFolder) return;  // files in pass 1, folders in pass 2

    const int r = DeletePath(path);
    if (r == 0) {
      ++failures_;
      return;
    }
    RemoveCurrentRow(index);
    if (pass_ == 1) {
      --i_;
    } else {
      i_ = std::max<int64_t>(i_ - 2, 0);
    }
    (inF1 ? run_.PendingDeleteF1 : run_.PendingDeleteF2) -= 1;
    (inF1 ? run_.PendingDeleteSizeF1 : run_.PendingDeleteSizeF2) -= size;
    run_.PendingDeleteSize -= size;
    run_.DeletedBytes += size;
    run_.LastOperationKind = "Delete";
    run_.PendingDeleteTotal -= 1;
    run_.DeletedCount += 1;
    if (run_.TreeStatisticsValid) {
      if (isFolder) {
        (inF1 ? run_.TreeFoldersF1 : run_.TreeFoldersF2) -= 1;
      } else {
        (inF1 ? run_.TreeFilesF1 : run_.TreeFilesF2) -= 1;
        (inF1 ? run_.TreeSizeF1 : run_.TreeSizeF2) -= size;
      }
    }
  }

  void HandleCopy(int64_t index, const std::vector<std::string>& f) {
    if (pass_ == 1) {
      pass_ = 2;
      i_ -= 2;
      if (i_ == -1) i_ = 0;
      return;
    }
    const double now = MonotonicSeconds();
    if (run_.FirstNewTime == 0) run_.FirstNewTime = now;
    if (run_.FirstReplaceTime == 0) run_.FirstReplaceTime = now;

    bool toF2;
    if (f[1] == "=->")
      toF2 = true;
    else if (f[1] == "<-=")
      toF2 = false;
    else
      return;
    const std::string& source = toF2 ? f[3] : f[4];
    const std::string& target = toF2 ? f[4] : f[3];
    const int64_t size = SizeField(toF2 ? f[5] : f[6]);
    const int64_t sizeBefore = SizeField(toF2 ? f[6] : f[5]);
    const std::string_view newStatus = toF2 ? kStatusExtraInF1 : kStatusExtraInF2;

    const bool isFolder = ShowCurrent(source, size);
    int created = 0;
    const int ok = CopyWithFolders(source, target, true, created, &run_.StopRequested);
    if (run_.TreeStatisticsValid) (toF2 ? run_.TreeFoldersF2 : run_.TreeFoldersF1) += created;
    if (!ok) {
      ++failures_;
      return;
    }
    if (f[2] == newStatus) {
      (toF2 ? run_.PendingNewF2 : run_.PendingNewF1) -= 1;
      (toF2 ? run_.PendingNewSizeF2 : run_.PendingNewSizeF1) -= size;
      run_.PendingNewTotal -= 1;
      run_.PendingNewSize -= size;
      run_.NewCount += 1;
      run_.NewBytes += size;
      run_.LastOperationKind = "New";
      if (run_.TreeStatisticsValid && !isFolder) {
        (toF2 ? run_.TreeFilesF2 : run_.TreeFilesF1) += 1;
        (toF2 ? run_.TreeSizeF2 : run_.TreeSizeF1) += size;
      }
    } else {
      (toF2 ? run_.PendingReplaceF2 : run_.PendingReplaceF1) -= 1;
      (toF2 ? run_.PendingReplaceSizeF2 : run_.PendingReplaceSizeF1) -= size;
      run_.PendingReplaceTotal -= 1;
      run_.PendingReplaceSize -= size;
      run_.ReplacedCount += 1;
      run_.ReplacedBytes += size;
      run_.LastOperationKind = "Replace";
      if (run_.TreeStatisticsValid && !isFolder) (toF2 ? run_.TreeSizeF2 : run_.TreeSizeF1) += size - sizeBefore;
    }
    RemoveCurrentRow(index);
    --i_;
  }

  App& app_;
  RunStatistics& run_;
  int64_t i_ = 0;
  int pass_ = 1;
  int failures_ = 0;
};

}  // namespace

int ExecuteSub(App& app) {
  RunStatistics& r = app.Run;
  if (r.StopRequested) return kExecutionStopped;
  if (r.PendingOpsAtCount == 0) return kNothingPending;

  SetAllPairIcons(app, PairIcon::Operation);
  std::sort(app.ToDo.Rows.begin(), app.ToDo.Rows.end());
  app.screen.ToDoRowsRebuilt();
  app.screen.SetStopButtonVisible(StopButton::Execution, true);
  r.ExecutionRunning = true;
  r.ExecutionStartTime = MonotonicSeconds();
  SimuDatenLoeschen(app);
  CountOperations(app);
  LabelsMitSimuDatenAuffuellen(app);
  app.screen.SetLabelTimer(true);

  const int failures = Walk(app).Run();

  RatenSpeichern(app);
  app.screen.SetLabelTimer(false);
  SaveToDoList(app);  // also rebuilds the rows from the remaining records
  CountOperations(app);
  LabelsMitSimuDatenAuffuellen(app);
  app.screen.SetStatusText(2, "");
  SetAllPairIcons(app, PairIcon::Dualdock);
  app.screen.SetStopButtonVisible(StopButton::Execution, false);
  r.ExecutionRunning = false;
  r.CurrentFile.clear();
  app.screen.ShowCurrentItem(r.CurrentFile, std::string());
  return r.StopRequested ? kExecutionStopped : failures;
}

}  // namespace dd
