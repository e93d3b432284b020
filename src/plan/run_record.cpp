#include "plan/run_record.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/files.h"
#include "common/text.h"

namespace dd {

namespace {

// 2026-12-07T02:50:01+01:00
std::string IsoTime(int64_t ns) {
  const std::time_t seconds = static_cast<std::time_t>(ns / 1000000000);
  struct tm local {};
  if (!::localtime_r(&seconds, &local)) return "?";
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  // Zone offsets stay within a day, so hours and minutes fit two digits each.
  const int offset = static_cast<int>(std::labs(local.tm_gmtoff / 60) % (24 * 60));
  char zone[16];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", local.tm_gmtoff < 0 ? '-' : '+', offset / 60, offset % 60);
  return std::string(text) + zone;
}

std::string Counted(int64_t count, int64_t bytes) {
  return std::to_string(count) + " (" + std::to_string(bytes) + " bytes)";
}

}  // namespace

std::string RunRecordText(const RunRecord& record, const RunStatistics& r) {
  std::string t = "Run: " + record.command + "\n";
  t += "Start: " + IsoTime(record.startNs) + "\n";
  t += "End: " + IsoTime(record.endNs) + "\n";
  t += "Job: " + record.job + "\n";
  t += "Outcome: " + record.outcome + "\n";
  t += "Deleted: " + Counted(r.DeletedCount, r.DeletedBytes) + "\n";
  t += "New: " + Counted(r.NewCount, r.NewBytes) + "\n";
  t += "Replaced: " + Counted(r.ReplacedCount, r.ReplacedBytes) + "\n";
  t += "Pending: " +
       Counted(r.PendingOps(), AddSize(AddSize(r.Pending.Bytes(OpKind::Delete), r.Pending.Bytes(OpKind::New)),
                                       r.Pending.Bytes(OpKind::Replace))) +
       "\n";
  t += "Failed: " + std::to_string(r.FailedItems.size()) + "\n";
  for (const RunStatistics::FailedItem& f : r.FailedItems)
    t += "Failed item: " + f.operation + ": " + f.path + ": " + f.reason + "\n";
  if (r.UnlistedFolders > 0) t += "Folders not read: " + std::to_string(r.UnlistedFolders) + "\n";
  for (const std::string& path : r.SkippedPaths) t += "Skipped name: " + EscapedText(path) + "\n";
  return t + "\n";
}

bool AppendRunRecord(const std::string& path, const RunRecord& record, const RunStatistics& run) {
  const std::string text = RunRecordText(record, run);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return false;
  const bool written = WriteAllToFd(fd, text.data(), text.size());
  return ::close(fd) == 0 && written;
}

}  // namespace dd
