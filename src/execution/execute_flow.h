// The commands around a run: Execute, the one-step run, Stop, the report.
#pragma once

namespace dd {

class App;

void Execute(App& app);
void ExecuteOneKlick(App& app);
void Stoppen(App& app);
// The "[Abort?]" question while a run is in progress.
void AbortQuestion(App& app);
void MeldungExecutionFertig(App& app, double start, double end, int result);
// Sorts the list and writes it to the list file.
void SortExecutionFile(App& app);

}  // namespace dd
