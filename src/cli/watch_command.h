// `watch`: syncs the pairs of a job whenever their folders change, until a signal ends it.
#pragma once

#include <csignal>

#include "cli/cli_options.h"

namespace dd {
class App;
}

namespace dd::cli {

class CliScreen;

// With the job loaded and the program folder held. `signalled` is set by the signal handler, which also
// closes the run lifecycle. Returns 0 when it ended between runs, 3 when a signal stopped a run, 1 when
// the system gives no change events, 2 when no terminal and no --yes can answer the runs' question.
int RunWatch(const Options& options, App& app, CliScreen& screen, const volatile std::sig_atomic_t& signalled);

}  // namespace dd::cli
