// The command line of dualdock-cli.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dd::cli {

// What `job new` writes.
struct NewJob {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::string mode = "incremental";  // "incremental", "synchronize" or five codes
  std::vector<std::string> excludes, includes;
  bool excludeCaseSensitive = false, includeCaseSensitive = false;
  bool daylightSaving = true;
  bool trash = false;
  bool force = false;
};

struct Options {
  // "simulate", "execute", "sync", "watch", "job new", "job show", "help" or "version".
  // `sync --dry-run` is "simulate", with `dryRun` set.
  std::string command;
  std::string home;
  std::string jobFile;
  std::string logFile;  // --log-file: a record of the run is appended to it
  bool yes = false;
  bool createMissing = false;
  bool saveTextFiles = false;
  bool json = false;
  bool quiet = false;
  bool verbose = false;
  bool dryRun = false;
  bool allowMassDelete = false;
  // Content comparison and read-back of copies: for a run, or stored by `job new`.
  bool checksum = false;
  bool verify = false;
  std::optional<double> tolerance;
  std::optional<double> settle;  // watch: seconds without a new change before a run
  NewJob newJob;
};

// Parses the arguments (without the program name). On error returns nullopt and sets `error`.
// Long options take their value as `--name VALUE` or `--name=VALUE`; short flags combine (`-qy`);
// `--` ends the options.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The message for a path the shell would have expanded had it not been quoted ("~/a"), or "".
std::string UnexpandedHomeError(const std::string& path);

extern const char* const kUsage;
extern const char* const kHelp;

}  // namespace dd::cli
