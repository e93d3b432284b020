// Transfer rates ("Rates.txt") and time estimates.
#pragma once

#include <string>

namespace dd {

class App;

// Loads the rates, or measures them with a short disk test.
void RatenHolenOderBestimmen(App& app);
// Moves the stored rates halfway towards the current ones and writes the file.
void RatenSpeichern(App& app);
// Updates the live rates and returns the estimate text ("" when nothing to estimate).
std::string ZeitAbschaetzen(App& app);

}  // namespace dd
