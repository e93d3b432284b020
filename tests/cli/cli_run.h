// Running the built dualdock-cli from a test.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "common/files.h"
#include "common/text.h"
#include "support/test_support.h"

namespace dd::test {

inline const std::string kCli = std::string(DUALDOCK_BINARY_DIR) + "/dualdock-cli";

struct CliResult {
  int code = -1;
  std::string out, err;
};

inline std::string Quote(const std::string& s) {
  return "'" + ReplaceAll(s, "'", "'\\''") + "'";
}

// Runs a shell command line with no terminal and no standard input; its output goes to files in `dir`.
inline CliResult RunShell(const TempDir& dir, const std::string& command) {
  std::string cmd = "(" + command + ") >" + Quote(dir / "out.txt") + " 2>" + Quote(dir / "err.txt") + " </dev/null";
  int status = std::system(cmd.c_str());
  CliResult r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadTextFile(dir / "out.txt");
  r.err = ReadTextFile(dir / "err.txt");
  return r;
}

inline CliResult RunCli(const TempDir& dir, const std::string& args) {
  return RunShell(dir, Quote(kCli) + " " + args);
}

}  // namespace dd::test
