// The job's log file: a record of each run appended, when the job (or the command line) names one.
#pragma once

#include <string>

namespace dd {

class App;

// Appends the record of the run that just ended (`start` and `end` in monotonic seconds) to
// `app.Options.LogFile`; nothing when it is empty. A file that cannot be written is reported.
void AppendToLogFile(App& app, const char* command, double start, double end, const std::string& outcome);

}  // namespace dd
