// The window's title: the job's file name, marked while the job has unsaved changes.
#pragma once

#include <string>

namespace dd {

class App;

// Whether the pairs, the backup mode or the options differ from the job as it
// was last loaded, saved or made new. A filter box showing its placeholder
// counts as empty, so a language switch or a click into the box changes nothing.
bool JobHasUnsavedChanges(App& app);

// "job.ddk - Dualdock", with a leading "*" for unsaved changes; "Dualdock"
// alone when the job has no file.
std::string WindowTitle(const std::string& jobFile, bool unsavedChanges);

}  // namespace dd
