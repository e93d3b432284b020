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
  std::string command;  // "simulate", "execute", "sync", "watch", "job new", "job show" or "help"
  std::string home;
  std::string jobFile;
  bool yes = false;
  bool createMissing = false;
  bool saveTextFiles = false;
  bool json = false;
  bool quiet = false;
  bool allowMassDelete = false;
  std::optional<double> tolerance;
  std::optional<double> settle;  // watch: seconds without a new change before a run
  NewJob newJob;
};

// Parses the arguments (without the program name). On error returns nullopt and sets `error`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;
extern const char* const kHelp;

}  // namespace dd::cli
