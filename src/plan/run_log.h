// The run log "Log.txt": newest entry first, trimmed when it grows too long.
#pragma once

#include <string>

namespace dd {

// Writes one entry; `start` and `end` are monotonic seconds. False when the log could not be written.
bool WriteRunLogEntry(const std::string& logFilePath, const std::string& operation, double start, double end,
                      const std::string& summary);

}  // namespace dd
