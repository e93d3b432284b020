// Start-up: settings, language, a new job that keeps the pending list of the
// previous run, the list loaded, the rates, and a job named on the command line.
#pragma once

#include <string>

namespace dd {

class App;

// Applies the current language: checks the language file and takes the new
// placeholders (a box that shows the old placeholder gets the new one).
void ApplyLanguage(App& app);
// Makes language n current and applies it.
void SelectLanguage(App& app, int language);

struct StartUpOptions {
  bool measureRates = true;  // run the disk test when no valid rates are stored
  // check that job files open this program (the window does; the command line does not)
  bool checkFileTypes = false;
};

// Runs the start-up in its fixed order for the program folder `folder`.
// `commandLine`, when not empty, is a job file to load at the end; returns the
// load result text ("" when nothing was loaded).
std::string StartUp(App& app, const std::string& folder, const std::string& commandLine,
                    const StartUpOptions& options = {});

}  // namespace dd
