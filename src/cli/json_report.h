// The JSON object that --json prints for monitoring scripts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/run_statistics.h"

namespace dd::cli {

// A JSON string of bytes: valid UTF-8 passes through; every byte that is not
// part of valid UTF-8 becomes \udc80..\udcff (the surrogate-escape convention),
// so no byte is lost and Python's os.fsencode gives the original bytes back.
std::string JsonString(std::string_view bytes);

struct RunReport {
  std::string command;  // "simulate", "execute" or "sync"
  std::string jobFile;
  int exitStatus = 0;
  double seconds = 0;
  int failures = 0;      // operations that failed
  bool stopped = false;  // by a signal
  std::vector<std::string> errors;
};

std::string RunReportJson(const RunReport& report, const RunStatistics& run);

}  // namespace dd::cli
