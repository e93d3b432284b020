// What the command line checks before it carries out a pending list.
#pragma once

#include <string>

namespace dd {
class App;
}

namespace dd::cli {

// "" when the loaded list may be carried out; else why not. A list with
// pending operations needs the record of the job that planned it, and with
// `jobFile` given ("execute JOB") that job must be the one.
std::string RefusalToExecute(const App& app, const std::string& jobFile);

}  // namespace dd::cli
