#include "apply/row_pruner.h"

#include <algorithm>
#include <utility>

#include "common/clock.h"

namespace dd {

namespace {

// Huge lists stay fast: a view reacts to a removal in a pass over its rows.
constexpr double kPruneInterval = 0.05;

}  // namespace

RowPruner::RowPruner(ToDoState& toDo, Screen& screen)
    : toDo_(toDo), screen_(screen), inOrder_(std::is_sorted(toDo.Rows.begin(), toDo.Rows.end())) {}

void RowPruner::Tick(int64_t current) {
  const double now = MonotonicSeconds();
  if (now - last_ < kPruneInterval) return;
  last_ = now;
  Flush(current);
}

void RowPruner::Flush(int64_t current) {
  if (!inOrder_) return;
  auto& rows = toDo_.Rows;
  std::sort(done_.begin(), done_.end());
  // Runs of neighbouring rows go as one removal.
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  for (int64_t record : done_) {
    const auto it = std::lower_bound(rows.begin(), rows.end(), record);
    if (it == rows.end() || *it != record) continue;
    const auto position = static_cast<std::size_t>(it - rows.begin());
    if (!ranges.empty() && ranges.back().second + 1 == position)
      ranges.back().second = position;
    else if (ranges.empty() || ranges.back().second != position)
      ranges.emplace_back(position, position);
  }
  done_.clear();
  // From the back, so that the positions still to come stay where they are.
  for (auto r = ranges.rbegin(); r != ranges.rend(); ++r) {
    const int first = static_cast<int>(r->first), last = static_cast<int>(r->second);
    screen_.ToDoRowsAboutToBeRemoved(first, last);
    rows.erase(rows.begin() + first, rows.begin() + last + 1);
    screen_.ToDoRowsRemoved(first, last);
  }
  const auto shown = std::lower_bound(rows.begin(), rows.end(), current);
  if (current >= 0 && shown != rows.end()) screen_.ShowToDoRow(static_cast<int>(shown - rows.begin()));
}

}  // namespace dd
