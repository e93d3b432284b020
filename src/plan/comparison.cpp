#include "plan/comparison.h"

#include <optional>
#include <string>

#include "common/messages.h"
#include "common/run_statistics.h"
#include "common/state.h"
#include "plan/content_check.h"
#include "plan/move_plan.h"
#include "plan/pair_scan.h"
#include "plan/scanner.h"
#include "plan/sorted_entries.h"
#include "plan/unlisted_areas.h"
#include "todo/backup_mode.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

// Shows one step of the comparison on the run labels.
void Step(const ComparisonContext& c, const std::string& key) {
  c.run.ActionText = c.messages.Text(key);
  c.messages.screen().ShowRunLabels(c.run);
  c.messages.Yield();
}

// The steps between the scans and the walk; false when a stop was asked for.
bool AnalysisSteps(const ComparisonContext& c) {
  Step(c, "[Analyzing source files..]");
  Step(c, "[Analyzing target files..]");
  Step(c, "[Analyzing source folders..]");
  Step(c, "[Analyzing target folders..]");
  c.messages.Yield();
  if (c.run.Lifecycle.StopRequested()) return false;
  Step(c, "[Analyzing ..]");
  c.messages.Yield();
  return !c.run.Lifecycle.StopRequested();
}

// Turns the items the classification plans into records: counts the deletions,
// notes the one-sided items for the moves, and looks at the content when the job asks.
class RecordPlanner : public ClassificationObserver {
 public:
  RecordPlanner(const ComparisonContext& c, const SortedEntries& lines, const std::string& rootF1,
                const std::string& rootF2, PairPlan& plan)
      : c_(c), lines_(lines), r1_(rootF1), r2_(rootF2), plan_(plan), moves_(c.mode) {
    if (c.options.CompareContent)
      content_.emplace(r1_, r2_, c.run.Compared, [this] {
        c_.messages.Yield();
        return !c_.run.Lifecycle.StopRequested();
      });
  }

  bool Continue() override {
    c_.messages.Yield();
    return !c_.run.Lifecycle.StopRequested();
  }

  std::string_view StatusOfIdentical(std::size_t k) override {
    if (!content_) return kStatusIdentical;
    lines_.KeyInto(k, key_);
    return StatusAfterContent(content_->Compare(key_, lines_.Size(k)), lines_.Modified(k), lines_.Modified(k + 1));
  }

  void Planned(const ClassifiedItem& item) override {
    const std::size_t k = item.Line;
    const bool folder = lines_.IsFolder(k);
    lines_.KeyInto(k, key_);
    CountDeletion(item.Code, !folder);
    const int64_t sizeF1 = item.BothSides ? lines_.Size(k) : item.Side == 0 ? lines_.Size(k) : 0;
    const int64_t sizeF2 = item.BothSides ? lines_.Size(k + 1) : item.Side == 1 ? lines_.Size(k) : 0;
    AppendToDoRecord(c_.toDo, item.Status, item.Code, r1_, r2_, key_, sizeF1, sizeF2);
    if (!item.BothSides)
      moves_.Noted(item.Side, item.Code, key_, folder, lines_.Size(k), lines_.Modified(k), c_.toDo.size() - 1);
  }

  // Puts the moves in the place of their copies and deletions.
  void PlanMoves() { moves_.Apply(c_.toDo, r1_, r2_, plan_, MoveFileCheck(r1_, r2_)); }

 private:
  void CountDeletion(const std::string& code, bool file) {
    if (code == kDeleteInSource) {
      ++plan_.DeletedItemsF1;
      plan_.DeletedFilesF1 += file;
    } else if (code == kDeleteInTarget) {
      ++plan_.DeletedItemsF2;
      plan_.DeletedFilesF2 += file;
    }
  }

  const ComparisonContext& c_;
  const SortedEntries& lines_;
  const std::string& r1_;
  const std::string& r2_;
  PairPlan& plan_;
  // Which moves the mode allows is fixed at the start of the walk: a move needs both of its halves planned alike.
  MovePlanner moves_;
  std::optional<ContentCheck> content_;
  std::string key_;  // one buffer for the keys of all items
};

// A tree the sort cannot hold: the pair fails with its root named.
std::optional<PairFailure> TooManyEntries(const ScanResult& f1, const ScanResult& f2, std::size_t limit) {
  for (const ScanResult* side : {&f1, &f2})
    if (!FitsInSortedEntries(*side, limit))
      return PairFailure{side->Root, "more than " + std::to_string(limit) + " files or folders in the tree"};
  return std::nullopt;
}

}  // namespace

PairPlan ComparePair(const ComparisonContext& c, const std::string& rootF1, const std::string& rootF2, int pair,
                     int lastPair) {
  PairPlan plan;
  RunStatistics& r = c.run;
  const int total = 2 * (lastPair + 1);

  c.messages.screen().ShowRunLabels(r);
  r.ScanningF1 = true;
  c.messages.Yield();
  r.ActionText = ScanningText(c.messages, 2 * pair + 1, total);

  ScanResult f1, f2;
  plan.Failure = ScanBothSides(r, c.messages, rootF1, rootF2, pair, total, f1, f2);
  NoteScans(r, f1, f2, plan);

  r.ScanningF2 = false;
  r.CurrentFile.clear();
  c.messages.screen().ShowRunLabels(r);
  c.messages.Yield();
  if (plan.Failure || r.Lifecycle.StopRequested()) return plan;
  if (!AnalysisSteps(c)) return plan;

  PlanScannedSides(c, f1, f2, plan);
  return plan;
}

void NoteScans(RunStatistics& r, ScanResult& f1, ScanResult& f2, PairPlan& plan) {
  r.SkippedNames += f1.Skipped + f2.Skipped;
  for (const ScanResult* side : {&f1, &f2})
    for (const std::string& path : side->SkippedPaths)
      if (r.SkippedPaths.size() < kSkippedPathsKept) r.SkippedPaths.push_back(path);
  r.OwnEntriesLeftOut += f1.OwnEntries + f2.OwnEntries;
  r.UnlistedFolders += static_cast<int64_t>(f1.Unlisted.size() + f2.Unlisted.size());
  plan.FilesF1 = static_cast<int64_t>(f1.Files.size());
  plan.FilesF2 = static_cast<int64_t>(f2.Files.size());
  plan.TemporaryCopiesF1 = std::move(f1.TemporaryCopies);
  plan.TemporaryCopiesF2 = std::move(f2.TemporaryCopies);
}

void PlanScannedSides(const ComparisonContext& c, const ScanResult& f1, const ScanResult& f2, PairPlan& plan) {
  RunStatistics& r = c.run;
  plan.Failure = TooManyEntries(f1, f2, c.entryLimit);
  if (plan.Failure) return;

  Step(c, "[Sorting ..]");
  const SortedEntries lines(f1, f2);
  if (c.options.SaveTextFiles) {
    Step(c, "[Saving ..]");
    lines.WriteDump(c.files.SortedDumpPath);
  }

  Step(c, "[Generating operation list ..]");
  if (r.Lifecycle.StopRequested()) return;

  // The scans dropped one trailing separator of each root already.
  RecordPlanner planner(c, lines, f1.Root, f2.Root, plan);
  if (!ClassifyEntries(lines, UnlistedAreas(f1, f2), c.mode, c.options, planner)) return;

  planner.PlanMoves();
  r.ActionText = "..";
  c.messages.screen().ShowRunLabels(r);
  plan.Complete = true;
}

}  // namespace dd
