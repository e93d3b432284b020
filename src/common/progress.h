// How far a piece of work is, as the progress bars show it.
#pragma once

namespace dd {

// `done` of `total` in whole percent, rounded to the nearest and kept within 0 to 100 (an item that grew while it
// was worked on never shows more than full); 0 while there is nothing to do.
int ProgressPercent(double done, double total);

}  // namespace dd
