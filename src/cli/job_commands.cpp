#include "cli/job_commands.h"

#include <stdlib.h>

#include <filesystem>
#include <iostream>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "job/job_file.h"
#include "todo/backup_mode.h"
#include "todo/filters.h"
#include "todo/name_patterns.h"

namespace fs = std::filesystem;

namespace dd::cli {

namespace {

constexpr int kOk = 0;
constexpr int kUsage = 2;

// A screen for reading and writing jobs: nothing is shown and nothing asked.
class SilentScreen : public Screen {
 public:
  Answer ShowMessage(const Message& m) override { return m.buttons == Buttons::YesNo ? Answer::No : Answer::Ok; }
};

// A private program folder for the job routines, which write the pending list
// of their program folder: the user's own list must never be touched by a job command.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / "dualdock-job-XXXXXX").string();
    if (!ec && ::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// An application with a new job in its own scratch program folder.
struct ScratchApp {
  ScratchApp() {
    if (!ok()) return;
    app.Files.SetFolder(folder.path());
    FileNew(app);
  }
  bool ok() const { return !folder.path().empty(); }

  ScratchFolder folder;
  SilentScreen screen;
  App app{screen};
};

int Fail(const std::string& text) {
  std::cerr << "dualdock-cli: " << text << "\n";
  return kUsage;
}

std::string Trim(const std::string& text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

const char* const kFieldNames[5] = {"Identical", "ExtraInF1", "ExtraInF2", "NewerInF1", "NewerInF2"};

std::string* ModeCode(BackupModeDef& m, int row) {
  std::string* fields[5] = {&m.Identical, &m.ExtraInF1, &m.ExtraInF2, &m.NewerInF1, &m.NewerInF2};
  return fields[row];
}

bool IsCode(const std::string& code) {
  for (const char* c : {kDoNothing, kCopyToTarget, kCopyToSource, kDeleteInSource, kDeleteInTarget})
    if (code == c) return true;
  return false;
}

// "incremental", "synchronize" or five codes separated by commas, each allowed for its status.
bool ParseMode(const std::string& text, const BackupModeState& modes, BackupModeDef& mode, std::string& error) {
  if (text == "incremental" || text == "synchronize") {
    mode = modes.StandardBackupModes[text == "incremental" ? 0 : 1];
    return true;
  }
  std::vector<std::string> codes = SplitKeepEmpty(text, ",");
  if (codes.size() != 5) {
    error = "--mode needs incremental, synchronize or five codes separated by commas, not \"" + text + "\"";
    return false;
  }
  for (int row = 0; row < 5; ++row) {
    const std::string code = Trim(codes[row]);
    if (!IsCode(code)) {
      error = "--mode: \"" + code + "\" for " + kFieldNames[row] +
              " is no operation code (\"= =\", \"=->\", \"<-=\", \"x =\" or \"= x\")";
      return false;
    }
    if (!IsOptionEnabled(row, OperationNumberOfCode(code))) {
      error = "--mode: \"" + code + "\" cannot be done for " + kFieldNames[row] + " (the item is on one side only)";
      return false;
    }
    *ModeCode(mode, row) = code;
  }
  return true;
}

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

// An absolute folder path for the job, or "" with `error` set.
std::string JobFolder(const std::string& path, std::string& error) {
  if (path.empty() || path.find_first_of("\t\r\n") != std::string::npos) {
    error = "folder \"" + path + "\" is empty or holds a TAB or line break, which a job cannot keep";
    return {};
  }
  std::error_code ec;
  fs::path full = fs::absolute(path, ec);
  if (ec) {
    error = "cannot make " + path + " absolute";
    return {};
  }
  return DropTrailingSeparator(full.lexically_normal().string());
}

const char* OperationText(const std::string& code) {
  if (code == kDoNothing) return "do nothing";
  if (code == kCopyToTarget) return "copy to target";
  if (code == kCopyToSource) return "copy to source";
  if (code == kDeleteInSource) return "delete in source";
  if (code == kDeleteInTarget) return "delete in target";
  return "unknown code";
}

void PrintFilter(const char* name, bool on, bool caseSensitive, const std::string& text) {
  std::vector<std::string> names = Split(text, kCrLf);
  std::cout << name << (on ? "on" : "off") << ", " << (caseSensitive ? "case-sensitive" : "case-insensitive") << ", "
            << names.size() << (names.size() == 1 ? " name\n" : " names\n");
  for (const std::string& n : names)
    std::cout << "  " << n
              << (!IsNamePattern(n)                  ? "\n"
                  : n.find('/') == std::string::npos ? "  (pattern for whole names)\n"
                                                     : "  (pattern for the path below the pair's folder)\n");
}

}  // namespace

int RunJobNew(const Options& o) {
  const NewJob& job = o.newJob;
  std::string target = o.jobFile;
  if (!EndsWith(ToLowerAscii(target), ".ddk")) target += ".ddk";
  if (IsDirectory(target)) return Fail(target + " is a folder");
  if (PathExists(target) && !job.force) return Fail(target + " exists; pass --force to replace it");

  ScratchApp scratch;
  if (!scratch.ok()) return Fail("cannot make a temporary folder");
  App& app = scratch.app;

  std::string error;
  for (const auto& [source, targetFolder] : job.pairs) {
    std::string s = JobFolder(source, error), t = JobFolder(targetFolder, error);
    if (s.empty() || t.empty()) return Fail(error);
    app.Job.SourceFolders.push_back(s);
    app.Job.TargetFolders.push_back(t);
  }
  BackupModeDef mode = app.Modes.CurrentBackupMode;
  if (!ParseMode(job.mode, app.Modes, mode, error)) return Fail(error);
  app.Modes.CurrentBackupMode = mode;
  for (const auto* names : {&job.excludes, &job.includes}) {
    for (const std::string& n : *names)
      if (n.empty() || HasLineBreak(n)) return Fail("a filter text must not be empty or hold a line break");
  }
  JobOptions& opts = app.Options;
  opts.ExclEnabled = !job.excludes.empty();
  opts.ExclCaseSensitive = job.excludeCaseSensitive;
  opts.ExcludeText = Join(job.excludes, kCrLf);
  opts.InclEnabled = !job.includes.empty();
  opts.InclCaseSensitive = job.includeCaseSensitive;
  opts.IncludeText = Join(job.includes, kCrLf);
  opts.DaylightSaving = job.daylightSaving;
  opts.DeletedToTrash = job.trash;
  opts.CompareContent = o.checksum;
  opts.VerifyCopies = o.verify;

  if (!WriteTextFile(BuildJobText(app), target)) return Fail("cannot write " + target);
  std::cout << "Job written: " << target << "\n";
  return kOk;
}

int RunJobShow(const Options& o) {
  ScratchApp scratch;
  if (!scratch.ok()) return Fail("cannot make a temporary folder");
  App& app = scratch.app;
  switch (LoadJobFile(app, o.jobFile)) {
    case JobLoadStatus::Loaded:
      break;
    case JobLoadStatus::Missing:
      return Fail("job file " + o.jobFile + " does not exist");
    case JobLoadStatus::Unreadable:
      return Fail("cannot read job file " + o.jobFile);
    case JobLoadStatus::WrongFormat:
      return Fail("job file " + o.jobFile + " has the wrong format");
  }
  const JobState& job = app.Job;
  std::cout << "Job file: " << job.CurrentJobFile << "\n";
  const std::size_t pairs = std::max(job.SourceFolders.size(), job.TargetFolders.size());
  std::cout << "Folder pairs: " << pairs << "\n";
  for (std::size_t i = 0; i < pairs; ++i) {
    auto side = [&](const std::vector<std::string>& list) {
      return i < list.size() ? list[i] : std::string("(missing)");
    };
    std::cout << "  " << i + 1 << " source: " << side(job.SourceFolders) << "\n";
    std::cout << "  " << i + 1 << " target: " << side(job.TargetFolders) << "\n";
  }
  if (job.SourceFolders.size() != job.TargetFolders.size())
    std::cerr << "dualdock-cli: the job's source and target lists differ in length; it cannot run\n";

  BackupModeDef& m = app.Modes.CurrentBackupMode;
  const int known = KnownModeOfCurrent(app.Modes);
  std::vector<std::string> codes;
  for (int row = 0; row < 5; ++row) codes.push_back(*ModeCode(m, row));
  std::cout << "Mode: "
            << (known == 0   ? "incremental"
                : known == 1 ? "synchronize"
                             : "user defined")
            << " (--mode \"" << Join(codes, ",") << "\")\n";
  for (int row = 0; row < 5; ++row)
    std::cout << "  " << kFieldNames[row] << ": \"" << codes[row] << "\" " << OperationText(codes[row]) << "\n";

  const JobOptions& opts = app.Options;
  // A box showing its placeholder holds no names.
  auto names = [](const std::string& text, const std::string& placeholder) {
    return ShowsPlaceholder(text, placeholder) ? std::string() : text;
  };
  PrintFilter("Exclude: ", opts.ExclEnabled, opts.ExclCaseSensitive, names(opts.ExcludeText, opts.ExclPlaceholder));
  PrintFilter("Include: ", opts.InclEnabled, opts.InclCaseSensitive, names(opts.IncludeText, opts.InclPlaceholder));
  std::cout << "Daylight saving: " << (opts.DaylightSaving ? "on" : "off") << "\n";
  std::cout << "Deleted and replaced files to the trash: " << (opts.DeletedToTrash ? "on" : "off") << "\n";
  std::cout << "Compare by content (--checksum): " << (opts.CompareContent ? "on" : "off") << "\n";
  std::cout << "Read copies back (--verify): " << (opts.VerifyCopies ? "on" : "off") << "\n";
  return kOk;
}

}  // namespace dd::cli
