// Transfer rates ("Rates.txt") and time estimates.
#pragma once

#include <string>

#include "common/messages.h"
#include "common/run_statistics.h"
#include "common/state.h"

namespace dd {

// Loads the rates, or measures them with a short disk test in the program folder.
void LoadOrMeasureRates(RateState& rates, const ProgramFiles& files, Messages& messages);
// Moves the stored rates halfway towards the current ones and writes the file.
void SaveRates(RateState& rates, const ProgramFiles& files, Messages& messages);
// Updates the live rates and returns the estimate text ("" when nothing to estimate).
std::string EstimateRemainingTime(const RunStatistics& run, RateState& rates, Messages& messages);

}  // namespace dd
