#include "flows/log_file.h"

#include "common/app.h"
#include "common/clock.h"
#include "common/write_report.h"
#include "plan/run_record.h"

namespace dd {

void AppendToLogFile(App& app, const char* command, double start, double end, const std::string& outcome) {
  const std::string& path = app.Options.LogFile;
  if (path.empty()) return;
  RunRecord record;
  record.command = command;
  // An execution names the job that planned its list; the loaded one may be another.
  record.job = app.ToDo.Plan.Known ? app.ToDo.Plan.JobFile : app.Job.CurrentJobFile;
  // The wall clock at the end; the start from the run's length on the monotonic clock.
  record.endNs = WallClockNs();
  record.startNs = record.endNs - static_cast<int64_t>((end - start) * 1e9);
  record.outcome = outcome;
  if (!AppendRunRecord(path, record, app.Run)) ReportFileNotWritten(app.messages, path, false);
}

}  // namespace dd
