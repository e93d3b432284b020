// The log file a job or the command line names: a plain-text record appended per run, beside "Log.txt".
#pragma once

#include <cstdint>
#include <string>

#include "common/run_statistics.h"

namespace dd {

struct RunRecord {
  std::string command;             // "simulate", "execute" or "sync"
  std::string job;                 // the job file
  int64_t startNs = 0, endNs = 0;  // wall-clock times
  std::string outcome;             // "done", "failed", "stopped", "nothing pending"
};

// The record: start and end in ISO 8601 with the local offset, the job, the counts, then one line per failed item.
std::string RunRecordText(const RunRecord& record, const RunStatistics& run);

// Appends the record to `path` in one write, so that runs that end together do not mix their lines.
// False when the file could not be opened or written.
bool AppendRunRecord(const std::string& path, const RunRecord& record, const RunStatistics& run);

}  // namespace dd
