// The command line of dualdock-cli.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dd::cli {

struct Options {
  std::string command;  // "simulate", "execute", "sync" or "help"
  std::string home;
  std::string jobFile;
  bool yes = false;
  bool createMissing = false;
  bool saveTextFiles = false;
  bool allowMassDelete = false;
  std::optional<double> tolerance;
};

// Parses the arguments (without the program name). On error returns nullopt and sets `error`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;
extern const char* const kHelp;

}  // namespace dd::cli
