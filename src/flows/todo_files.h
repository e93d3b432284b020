// Loading and checking the list file, and the save-list and open-list commands.
#pragma once

#include <string>

#include "common/files.h"

namespace dd {

class App;

// Normalises the list file, fills the list; false when a line lacks seven fields.
bool CheckIfValidToDoList(App& app);
// Checks and loads the list file and its plan record, recounts and refreshes.
// Does nothing while another run holds the program folder.
void LoadToDoListFile(App& app);
// Loads the list again when another process changed its file since this one
// last read or wrote it. True when it did.
bool ReloadListIfChanged(App& app);
// The save-list command with the path the dialog returned ("" = cancelled).
// False only when the list could not be written, so the front end can say so;
// a cancelled dialog or a declined replace gives true.
bool SaveListCommand(App& app, std::string path);
// The open-list command with the path the dialog returned.
void OpenListCommand(App& app, const std::string& path);
// The dialog filter of the two commands.
std::string ListFileFilter(const App& app);

// What the save-list dialog offers: beside the job, its name without ".ddk" and " list.txt".
std::string SuggestedListPath(const std::string& jobFile);

// The menu commands: show the file dialog, then run the command with its path.
bool SaveListWithDialog(App& app);
void OpenListWithDialog(App& app);

}  // namespace dd
