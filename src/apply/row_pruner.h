// Takes the rows of done records out of the view while an execution runs, and
// keeps the row being worked on in sight.
#pragma once

#include <cstdint>
#include <vector>

#include "common/screen.h"
#include "common/state.h"

namespace dd {

class RowPruner {
 public:
  // The rows must be in record order, as the execution sorts them; otherwise
  // the pruner leaves them alone.
  RowPruner(ToDoState& toDo, Screen& screen);

  // The record of this row is done (emptied).
  void Done(int64_t record) { done_.push_back(record); }
  // At most every 50 ms: the done rows leave the view, and the row of `current`
  // (or the one after it, when it is done) is shown.
  void Tick(int64_t current);
  // The same now; a negative `current` shows no row.
  void Flush(int64_t current);

 private:
  ToDoState& toDo_;
  Screen& screen_;
  bool inOrder_;
  std::vector<int64_t> done_;
  double last_ = 0;
};

}  // namespace dd
