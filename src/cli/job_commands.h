// `job new` and `job show`: writing and reading job files from a script.
#pragma once

#include "cli/cli_options.h"

namespace dd::cli {

// Both return the exit status and report errors on stderr.
int RunJobNew(const Options& options);
int RunJobShow(const Options& options);

}  // namespace dd::cli
