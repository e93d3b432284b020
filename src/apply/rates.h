// Transfer rates ("Rates.txt") and time estimates.
#pragma once

#include <string>

namespace dd {

class App;

// Loads the rates, or measures them with a short disk test.
void LoadOrMeasureRates(App& app);
// Moves the stored rates halfway towards the current ones and writes the file.
void SaveRates(App& app);
// Updates the live rates and returns the estimate text ("" when nothing to estimate).
std::string EstimateRemainingTime(App& app);

}  // namespace dd
