#include "apply/rates.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "apply/file_ops.h"
#include "common/clock.h"
#include "common/duration_text.h"
#include "common/files.h"
#include "common/format.h"
#include "common/text.h"
#include "common/write_report.h"

namespace dd {

namespace {

constexpr int kTestFiles = 16;
constexpr int kTestLines = 1024;
constexpr int kTestLineBlanks = 1024;
constexpr double kTestFileBytes = kTestLines * (kTestLineBlanks + 2.0);

// The shortest text that reads back to the same number; plain digits for the
// usual magnitudes so that the file stays readable.
std::string NumberText(double x) {
  char buffer[400];
  double a = std::fabs(x);
  bool plain = a == 0 || (a >= 1e-5 && a < 1e15);
  auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed)
                      : std::to_chars(buffer, buffer + sizeof buffer, x);
  return std::string(buffer, result.ptr);
}

// The test files of the disk test; removed again whatever happens in between.
class DiskTestFiles {
 public:
  explicit DiskTestFiles(const std::string& folder) {
    for (int k = 0; k < kTestFiles; ++k) names_.push_back(folder + "/TempFile.tmp " + std::to_string(k));
  }
  ~DiskTestFiles() {
    for (const std::string& name : names_) {
      DeletePath(name);
      DeletePath(CopyName(name));
    }
  }
  const std::vector<std::string>& names() const { return names_; }
  static std::string CopyName(const std::string& name) { return name + "z"; }

 private:
  std::vector<std::string> names_;
};

void RunDiskTest(RateState& rates, const std::string& folder, Messages& messages) {
  DiskTestFiles files(folder);

  std::string line(kTestLineBlanks, ' ');
  line += kCrLf;
  std::string content;
  content.reserve(static_cast<size_t>(kTestFileBytes));
  for (int i = 0; i < kTestLines; ++i) content += line;
  // Without its test files the measurement would time nothing: the rates stay as they are.
  for (const std::string& name : files.names())
    if (!WriteTextFile(content, name)) return;

  messages.Yield();
  double t1 = MonotonicSeconds();
  double copied = 0;
  for (const std::string& name : files.names()) {
    messages.Yield();
    int created = 0;
    if (CopyWithFolders(name, DiskTestFiles::CopyName(name), true, created)) copied += kTestFileBytes;
  }
  double t2 = MonotonicSeconds();
  messages.Yield();
  messages.Yield();
  double t3 = MonotonicSeconds();
  messages.Yield();
  double deleted = 0;
  for (const std::string& name : files.names()) {
    messages.Yield();
    if (DeletePath(name) == DeleteResult::Deleted) deleted += kTestFileBytes;
    messages.Yield();
    if (DeletePath(DiskTestFiles::CopyName(name)) == DeleteResult::Deleted) deleted += kTestFileBytes;
  }
  messages.Yield();
  double t4 = MonotonicSeconds();
  messages.Yield();

  // Bytes per second, like the live rates; a phase without a measurable duration keeps its rate.
  if (t4 - t3 > 0 && deleted > 0) rates.StoredDeleteRate = deleted / (t4 - t3);
  if (t2 - t1 > 0 && copied > 0) rates.StoredCopyRate = copied / (t2 - t1);
  // The current rates take the measured ones, so that the save keeps them as measured.
  rates.CurrentDeleteRate = rates.StoredDeleteRate;
  rates.CurrentCopyRate = rates.StoredCopyRate;
  rates.UpdateCount += 1;
}

}  // namespace

void LoadOrMeasureRates(RateState& rates, const ProgramFiles& programFiles, Messages& messages) {
  const std::string& path = programFiles.RatesFilePath;
  if (PathExists(path)) {
    std::vector<std::string> lines = Split(ReadTextFile(path), kCrLf);
    // A negative, infinite or unreadable number counts as no rate, so it is measured again.
    const auto rate = [](const std::string& line) {
      const double x = ParseNumber(line);
      return std::isfinite(x) && x > 0 ? x : 0.0;
    };
    if (lines.size() == 3) {
      rates.StoredDeleteRate = rates.CurrentDeleteRate = rate(lines[0]);
      rates.StoredCopyRate = rates.CurrentCopyRate = rate(lines[1]);
      rates.UpdateCount = rate(lines[2]);
    }
  }
  if (rates.StoredDeleteRate != 0 && rates.StoredCopyRate != 0 && rates.UpdateCount != 0) return;
  // Without a program folder the test files would land in the root folder.
  if (programFiles.Folder.empty()) return;
  RunDiskTest(rates, programFiles.Folder, messages);
  SaveRates(rates, programFiles, messages);
}

void SaveRates(RateState& rates, const ProgramFiles& files, Messages& messages) {
  double m = (rates.CurrentDeleteRate + rates.StoredDeleteRate) / 2;
  if (m != 0) rates.StoredDeleteRate = m;
  m = (rates.CurrentCopyRate + rates.StoredCopyRate) / 2;
  if (m != 0) rates.StoredCopyRate = m;
  rates.UpdateCount += 1;
  std::string text = NumberText(rates.StoredDeleteRate);
  text += kCrLf;
  text += NumberText(rates.StoredCopyRate);
  text += kCrLf;
  text += NumberText(rates.UpdateCount);
  if (!WriteTextFile(text, files.RatesFilePath)) ReportFileNotWritten(messages, files.RatesFilePath, false);
}

std::string EstimateRemainingTime(const RunStatistics& run, RateState& rates, Messages& messages) {
  Screen& screen = messages.screen();
  double now = MonotonicSeconds();
  bool deletesPending = run.Pending.Count(OpKind::Delete) > 0;

  if (deletesPending) {
    double live = 0;
    if (run.FirstDeleteTime == 0 || run.FirstDeleteTime == now) {
      screen.SetStatusText(2, "");
    } else {
      live = static_cast<double>(run.DeletedBytes) / (now - run.FirstDeleteTime);
      rates.LiveDeleteRate = live;
      screen.SetStatusText(2, FormatSize(live) + "/s");
    }
    if (live != 0) rates.CurrentDeleteRate = live;
  }

  if (run.Pending.Count(OpKind::Replace) + run.Pending.Count(OpKind::New) > 0) {
    double live = 0;
    if (run.FirstNewTime == 0 && run.FirstReplaceTime == 0) {
      if (!deletesPending) screen.SetStatusText(2, "");
    } else {
      double start = run.FirstNewTime == 0       ? run.FirstReplaceTime
                     : run.FirstReplaceTime == 0 ? run.FirstNewTime
                                                 : std::min(run.FirstNewTime, run.FirstReplaceTime);
      if (now != start) {
        live = static_cast<double>(run.ReplacedBytes + run.NewBytes) / (now - start);
        rates.LiveCopyRate = live;
        if (!deletesPending) screen.SetStatusText(2, FormatSize(live) + "/s");
      }
    }
    if (live != 0) rates.CurrentCopyRate = live;
  }

  auto part = [](int64_t size, double rate) { return rate != 0 && size > 0 ? static_cast<double>(size) / rate : 0.0; };
  double total = part(run.Pending.Bytes(OpKind::New), rates.CurrentCopyRate) +
                 part(run.Pending.Bytes(OpKind::Delete), rates.CurrentDeleteRate) +
                 part(run.Pending.Bytes(OpKind::Replace), rates.CurrentCopyRate);
  if (total == 0) return {};
  return ShortDurationText(messages, total);
}

}  // namespace dd
