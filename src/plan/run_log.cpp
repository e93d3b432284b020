#include "plan/run_log.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "common/clock.h"
#include "common/files.h"
#include "common/format.h"
#include "common/language.h"
#include "common/text.h"

namespace dd {

namespace {

constexpr std::size_t kTrimAtIndex = 5001;   // entries in the old log that start a trim
constexpr std::size_t kKeptElements = 2501;  // element 0 and the 2500 newest entries

// The "[Nr]" of the newest entry plus one; a missing or odd number counts as 0.
int64_t NextNumber(const std::string& newestEntry) {
  double number = LeadingNumber(GetInfoFromString("[Nr]", newestEntry));
  if (!std::isfinite(number) || std::fabs(number) > 1e15) number = 0;
  return static_cast<int64_t>(number) + 1;
}

}  // namespace

bool WriteRunLogEntry(const std::string& logFilePath, const std::string& operation, double start, double end,
                      const std::string& summary) {
  const std::string separator(50, '-');
  std::vector<std::string> elements = Split(ReadTextFile(logFilePath), separator);
  if (!elements.empty() && elements.size() - 1 >= kTrimAtIndex) elements.resize(kKeptElements);
  if (elements.empty()) elements.emplace_back();

  const int64_t number = elements.size() > 1 ? NextNumber(elements[1]) : 0;
  const std::string crlf(kCrLf);
  std::string entry = separator + crlf;
  entry += "[Nr]\t\t" + std::to_string(number) + crlf;
  entry += "[Operation]\t" + operation + crlf + crlf;
  entry += "[Time]\t\t" + FormatDuration(end - start) + crlf;
  entry += "[Date]\t\t" + CurrentDateText() + "\t" + CurrentTimeText() + crlf;
  entry += summary + crlf + crlf;

  elements[0] = std::move(entry);
  return WriteListFile(elements, logFilePath, separator);
}

}  // namespace dd
