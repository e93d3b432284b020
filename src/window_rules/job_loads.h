// Loading a job, by the Open command, a drop or the command line: nothing the
// user has not saved or carried out is lost without a question.
#pragma once

#include <string>
#include <vector>

namespace dd {

class App;

// Unsaved means what the title's "*" shows (JobHasUnsavedChanges): a job never
// saved with pairs, or a change to the pairs, the mode or the options since the
// job was loaded, saved or made new.

// The list holds an operation that has not been carried out.
bool HasPendingList(const App& app);
// Loading the job `path` keeps the pending list: the list was planned by that job.
bool LoadKeepsList(const App& app, const std::string& path);

// Asks (Yes/No, No the default) when loading `path` would discard unsaved changes
// or the pending list; true when nothing is lost or the user said Yes.
bool MayLoadJob(App& app, const std::string& path);

// Loads the job file after the question. A missing file or one that is no job
// file (see ReadJobFileAside) is refused with a message and nothing changes.
// True when the job was loaded.
bool LoadJobAsked(App& app, const std::string& path);

// File > New, which empties the pairs and the pending list: refused during a
// run (with the abort question), asked like a load, then done. True when done.
bool NewJobAsked(App& app);

// The Open command: the abort question during a run, the dialog, then LoadJobAsked.
void OpenJobAsked(App& app);

// Items dropped on the folder list at `x`: one existing non-folder is loaded as
// a job (asked), anything else adds its folders to the side left or right of `boundary`.
bool DropOnFolderListAsked(App& app, const std::vector<std::string>& items, int x, int boundary);
// Items dropped elsewhere on the window: the first one is loaded as a job unless it is a folder.
bool DropOnWindowAsked(App& app, const std::vector<std::string>& items);

// After a start with a pending list that another job planned: that job is
// loaded, keeping the list, when nothing is unsaved and its file reads as a job;
// otherwise a message says which job and which pairs the list belongs to.
// True when the job was loaded.
bool ShowPlanningJob(App& app);

}  // namespace dd
