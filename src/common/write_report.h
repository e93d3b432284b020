// The box that says a program file could not be written.
#pragma once

#include <string>

namespace dd {

class Messages;

// Names the file in a critical box ("[Could not write the file]"). `failsCommand`: the
// command did not do what it was for (the list or its record); else it did, but the
// user should know (the log, the rates, the settings).
void ReportFileNotWritten(Messages& messages, const std::string& path, bool failsCommand = true);

}  // namespace dd
