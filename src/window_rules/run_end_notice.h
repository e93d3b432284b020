// Whether the end of a run is told on the desktop, and with what text: a run
// that ends while nobody looks at the window would otherwise wait unseen.
#pragma once

#include <string>

#include "common/screen.h"

namespace dd {

// A run of this many seconds or more is long enough to be told about.
inline constexpr double kLongRunSeconds = 60;

struct RunEndFacts {
  bool windowActive = false;
  bool scheduled = false;  // the scheduler fired the run
  double seconds = 0;      // since the run was handed over
};

struct DesktopNotice {
  bool send = false;
  std::string summary, body;
  bool failed = false;  // shown as critical
};

// For a box the run shows: a notice is due when the box reports how an execution
// ended, the window is not the active one, and the run was scheduled or long.
// Its texts are the box's: the lines plain, the columns one space apart, and the
// characters that notification servers read as markup escaped.
DesktopNotice NoticeOfRunEnd(const Message& box, const RunEndFacts& facts);

}  // namespace dd
