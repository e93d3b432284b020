#include "job/job_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "apply/statistics_labels.h"
#include "common/app.h"
#include "common/files.h"
#include "common/language.h"
#include "common/text.h"
#include "common/write_report.h"
#include "todo/backup_mode.h"
#include "todo/filters.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

constexpr std::string_view kHeader = "Dualdock V2.1";
constexpr std::string_view kBlockSeparator = "\r\n\r\n\r\n";
constexpr std::string_view kDirectoriesKey = "Directories:";
constexpr std::string_view kOperationKey = "Operation Mode:";
constexpr std::string_view kExcludeKey = "Exclude Files/Folders Name:";
constexpr std::string_view kIncludeKey = "Include Files/Folders Name:";
constexpr std::string_view kDaylightKey = "Daylight Savings:";
// Written after the last section only when on, so older readers, which look
// for their sections by key, read such a file as before.
constexpr std::string_view kTrashKey = "Deleted Files To Trash:";
// The same for the log file, written only when the job names one.
constexpr std::string_view kLogFileKey = "Log File:";
// The same for content comparison: its switch, then that of reading copies back.
constexpr std::string_view kContentKey = "Content Comparison:";

// What a reader gives back: the result text and whether the pairs were read.
struct ReadOutcome {
  std::string text;
  bool ok = false;
  // The old layout's reading ended at a line without a pair (the result text is then "-1").
  bool endedAtLineWithoutPair = false;
};

std::string FormatError(const App& app, const std::string& reasonKey) {
  return app.Text("[Wrong file format.]") + std::string(kCrLf) + app.Text(reasonKey);
}

// The absolute, lexically normalised form of a path; "" stays "".
std::string GetFullPath(const std::string& path) {
  if (path.empty()) return {};
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  if (ec) return path;
  return DropTrailingSeparator(full.lexically_normal().string());
}

// The blocks of a section, or none when its key is missing or repeated.
std::vector<std::string> SectionBlocks(const std::string& text, std::string_view key) {
  std::string marker(key);
  marker += kCrLf;
  std::vector<std::string> parts = SplitKeepEmpty(text, marker);
  if (parts.size() != 2) return {};
  return SplitKeepEmpty(parts[1], kBlockSeparator);
}

// A check box value read from a block: the leading number, rounded half to even; only 1 is checked.
bool CheckedValue(const std::string& block) {
  return std::nearbyint(LeadingNumber(block)) == 1.0;
}

std::string* ModeField(BackupModeDef& mode, const std::string& name) {
  if (name == "Identical") return &mode.Identical;
  if (name == "ExtraInF1") return &mode.ExtraInF1;
  if (name == "ExtraInF2") return &mode.ExtraInF2;
  if (name == "NewerInF1") return &mode.NewerInF1;
  if (name == "NewerInF2") return &mode.NewerInF2;
  return nullptr;
}

void NormaliseFilterBoxes(App& app) {
  app.Options.ExcludeText = NormaliseList(app.Options.ExcludeText);
  app.Options.IncludeText = NormaliseList(app.Options.IncludeText);
}

// A box left empty shows its placeholder, as it does when the user leaves it empty.
void ShowPlaceholdersOfEmptyBoxes(JobOptions& o) {
  if (o.ExcludeText.empty()) o.ExcludeText = NormaliseList(o.ExclPlaceholder);
  if (o.IncludeText.empty()) o.IncludeText = NormaliseList(o.InclPlaceholder);
}

void ShowCurrentJobFile(App& app) {
  app.screen.SetStatusText(1, app.Job.CurrentJobFile);
}

// The placeholders of earlier versions. A job stores a box's text as it stood, so a box that showed its
// placeholder stored that text; taken as names it would filter by sentences.
constexpr const char* kEarlierPlaceholders[] = {
    "Drop files here, or type parts of names[ENTER]or extensions such as .txt or .exe, one per line.[ENTER]"
    "All files whose path and name contain[ENTER]one of these texts are excluded[ENTER]and disregarded.",
    "Dateien hierher ziehen oder Namensteile[ENTER]oder Endungen wie .txt oder .exe eingeben, eine pro Zeile.[ENTER]"
    "Alle Dateien, deren Pfad und Name einen[ENTER]dieser Texte enthalten, werden ausgeschlossen[ENTER]"
    "und nicht beachtet.",
    "Drop files here, or type parts of names[ENTER]or extensions such as .doc or .jpg, one per line.[ENTER]"
    "Only files whose path and name contain[ENTER]one of these texts are included;[ENTER]"
    "all others are disregarded.",
    "Dateien hierher ziehen oder Namensteile[ENTER]oder Endungen wie .doc oder .jpg eingeben, eine pro Zeile.[ENTER]"
    "Nur Dateien, deren Pfad und Name einen[ENTER]dieser Texte enthalten, werden einbezogen;[ENTER]"
    "alle anderen werden nicht beachtet.",
};

// Whether a loaded box text is a placeholder: of this version in either language, or of an earlier one.
bool IsSomePlaceholder(const App& app, const std::string& text, const char* key) {
  const std::string t = NormaliseList(text);
  if (t.empty()) return false;
  for (int language : {0, 1})
    if (NormaliseList(LoadLanguageText(app.Files.LanguageFilePath, key, language)) == t) return true;
  for (const char* earlier : kEarlierPlaceholders)
    if (NormaliseList(ReplaceAll(earlier, "[ENTER]", kCrLf)) == t) return true;
  return false;
}

// A box that showed a placeholder when its job was saved shows today's placeholder.
void PlaceholdersAsToday(App& app) {
  JobOptions& o = app.Options;
  if (IsSomePlaceholder(app, o.ExcludeText, "txtExclude")) o.ExcludeText = o.ExclPlaceholder;
  if (IsSomePlaceholder(app, o.IncludeText, "txtInclude")) o.IncludeText = o.InclPlaceholder;
}

ReadOutcome ReadV2_1(App& app, const std::string& text) {
  JobOptions& o = app.Options;
  std::vector<std::string> blocks = SectionBlocks(text, kExcludeKey);
  if (blocks.size() >= 3) {
    o.ExclEnabled = CheckedValue(blocks[0]);
    o.ExclCaseSensitive = CheckedValue(blocks[1]);
    o.ExcludeText = blocks[2];
  }
  blocks = SectionBlocks(text, kIncludeKey);
  if (blocks.size() >= 3) {
    o.InclEnabled = CheckedValue(blocks[0]);
    o.InclCaseSensitive = CheckedValue(blocks[1]);
    o.IncludeText = blocks[2];
  }
  PlaceholdersAsToday(app);
  blocks = SectionBlocks(text, kDaylightKey);
  if (!blocks.empty()) o.DaylightSaving = LeadingNumber(blocks[0]) == 1.0;
  blocks = SectionBlocks(text, kTrashKey);
  o.DeletedToTrash = !blocks.empty() && CheckedValue(blocks[0]);
  blocks = SectionBlocks(text, kLogFileKey);
  o.LogFile = blocks.empty() ? std::string() : blocks[0];
  blocks = SectionBlocks(text, kContentKey);
  o.CompareContent = !blocks.empty() && CheckedValue(blocks[0]);
  o.VerifyCopies = blocks.size() >= 2 && CheckedValue(blocks[1]);

  blocks = SectionBlocks(text, kOperationKey);
  if (!blocks.empty()) {
    std::vector<std::string> lines = SplitKeepEmpty(blocks[0], kCrLf);
    if (lines.size() != 5) return {FormatError(app, "[Wrong number of operation]"), false};
    for (const std::string& line : lines) {
      std::vector<std::string> fields = SplitKeepEmpty(line, "\t");
      if (fields.size() != 2 || fields[0].empty() || fields[0].back() != ':') continue;
      std::string* field = ModeField(app.Modes.CurrentBackupMode, fields[0].substr(0, fields[0].size() - 1));
      if (field) *field = fields[1];
    }
  }

  blocks = SectionBlocks(text, kDirectoriesKey);
  std::vector<std::string> halves;
  if (!blocks.empty()) halves = SplitKeepEmpty(blocks[0], "\r\n\r\n");
  if (halves.size() != 2) return {FormatError(app, "[Directories do not exist.]"), false};
  app.Job.SourceFolders = Split(halves[0], kCrLf);
  app.Job.TargetFolders = Split(halves[1], kCrLf);
  app.screen.FolderPairsChanged();
  return {app.Text("[File loaded: ]"), true};
}

ReadOutcome ReadV2_0(App& app, const std::string& text) {
  // An empty file holds no pair at all: that is no job file.
  if (text.empty()) return {FormatError(app, "[Directories do not exist.]"), false};
  ReadOutcome outcome{app.Text("[File loaded: ]"), true};
  for (const std::string& line : Split(ReplaceAllRepeated(text, "\t\t", "\t"), kCrLf)) {
    std::vector<std::string> fields = SplitKeepEmpty(line, "\t");
    if (fields.size() < 2) {
      outcome.text = "-1";
      outcome.endedAtLineWithoutPair = true;
      break;
    }
    app.Job.SourceFolders.push_back(fields[0]);
    app.Job.TargetFolders.push_back(fields[1]);
    for (std::size_t i = 2; i < fields.size(); ++i) {
      std::vector<std::string> keyValue = SplitKeepEmpty(fields[i], "\"");
      if (keyValue.size() < 2) {
        // A code field without its double quote: the file is not of this layout.
        app.Job.SourceFolders.clear();
        app.Job.TargetFolders.clear();
        app.screen.FolderPairsChanged();
        return {FormatError(app, "[Directories do not exist.]"), false};
      }
      if (std::string* field = ModeField(app.Modes.CurrentBackupMode, keyValue[0])) *field = keyValue[1];
      if (keyValue[0] == "NewerInF2") ShowCurrentBackupMode(app.Modes, app.Run.Lifecycle, app.messages);
    }
  }
  // A file that stops at a line without pairs ("-1") loaded only when it gave at least one pair.
  outcome.ok = !app.Job.SourceFolders.empty();
  app.screen.FolderPairsChanged();
  return outcome;
}

// A job edited on another system may end its lines in LF alone; read as CR LF,
// such a line break never ends up inside a folder name.
std::string WithCrLfLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// Reads either layout. A folder path that holds a NUL byte, a TAB or a line
// break is refused with all pairs: the system calls would name another folder.
ReadOutcome ReadJobText(App& app, const std::string& text) {
  const std::string firstLine = text.substr(0, text.find(kCrLf));
  ReadOutcome outcome = firstLine == kHeader ? ReadV2_1(app, text) : ReadV2_0(app, text);
  for (const auto* list : {&app.Job.SourceFolders, &app.Job.TargetFolders})
    for (const std::string& folder : *list)
      if (!IsRecordableText(folder)) {
        app.Job.SourceFolders.clear();
        app.Job.TargetFolders.clear();
        app.screen.FolderPairsChanged();
        return {FormatError(app, "[Directories do not exist.]"), false};
      }
  return outcome;
}

ReadOutcome LoadText(App& app, const std::string& quotedPath, bool keepList = false) {
  if (keepList)
    FileNewKeepingList(app);
  else
    FileNew(app);
  const std::string path = StripAffixOnce(quotedPath, "\"");
  const std::string text = WithCrLfLineEnds(ReadWholeFile(path, kProgramFileLimit, true).text);
  ReadOutcome outcome = ReadJobText(app, text);

  app.Job.CurrentJobFile = outcome.endedAtLineWithoutPair ? std::string() : path;
  ShowCurrentJobFile(app);
  NormaliseFilterBoxes(app);
  ShowPlaceholdersOfEmptyBoxes(app.Options);
  BackupModeState& m = app.Modes;
  m.SelectedMode = KnownModeOfCurrent(m);
  if (m.SelectedMode == 0 || m.SelectedMode == 1) m.CurrentBackupMode.Name = m.StandardBackupModes[m.SelectedMode].Name;
  ShowCurrentBackupMode(app.Modes, app.Run.Lifecycle, app.messages);
  app.Job.SavedJobText = JobTextWithoutPlaceholders(app);
  app.screen.JobOptionsChanged();
  return outcome;
}

// True when the path names a regular file that can be opened for reading.
bool IsReadableFile(const std::string& path) {
  // Non-blocking, so a named pipe cannot hang the check.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  return regular;
}

// A screen for reading a job aside, without showing anything.
class SilentScreen : public Screen {
 public:
  Answer ShowMessage(const Message&) override { return Answer::Ok; }
};

// True when reading the job's text gives the job again. Every field of the copy
// starts different from the job, so a section that the reader drops shows.
bool ReadsBackIdentical(App& app) {
  SilentScreen silent;
  App copy(silent);
  copy.Files = app.Files;
  copy.settings = app.settings;
  const JobOptions& o = app.Options;
  JobOptions& c = copy.Options;
  c = o;
  c.ExclEnabled = !o.ExclEnabled, c.ExclCaseSensitive = !o.ExclCaseSensitive;
  c.InclEnabled = !o.InclEnabled, c.InclCaseSensitive = !o.InclCaseSensitive;
  c.DaylightSaving = !o.DaylightSaving;
  c.CompareContent = !o.CompareContent, c.VerifyCopies = !o.VerifyCopies;
  c.ExcludeText += '\x01', c.IncludeText += '\x01';
  c.LogFile += '\x01';
  // A line break would read back as a shorter name.
  if (o.LogFile.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return false;
  const BackupModeDef& m = app.Modes.CurrentBackupMode;
  copy.Modes.CurrentBackupMode = {
      "", m.Identical + '\x01', m.ExtraInF1 + '\x01', m.ExtraInF2 + '\x01', m.NewerInF1 + '\x01', m.NewerInF2 + '\x01'};

  ReadJobText(copy, WithCrLfLineEnds(BuildJobText(app)));
  NormaliseFilterBoxes(copy);
  const BackupModeDef& r = copy.Modes.CurrentBackupMode;
  if (r.Identical != m.Identical || r.ExtraInF1 != m.ExtraInF1 || r.ExtraInF2 != m.ExtraInF2 ||
      r.NewerInF1 != m.NewerInF1 || r.NewerInF2 != m.NewerInF2)
    return false;
  if (c.ExclEnabled != o.ExclEnabled || c.ExclCaseSensitive != o.ExclCaseSensitive || c.InclEnabled != o.InclEnabled ||
      c.InclCaseSensitive != o.InclCaseSensitive || c.DaylightSaving != o.DaylightSaving ||
      c.CompareContent != o.CompareContent || c.VerifyCopies != o.VerifyCopies ||
      c.ExcludeText != NormaliseList(o.ExcludeText) || c.IncludeText != NormaliseList(o.IncludeText) ||
      c.LogFile != o.LogFile)
    return false;
  // Without targets the layout cannot hold the pairs at all; such a job is written as it is.
  if (app.Job.TargetFolders.empty()) return true;
  return copy.Job.SourceFolders == app.Job.SourceFolders && copy.Job.TargetFolders == app.Job.TargetFolders;
}

// The first folder or filter line that the layout cannot hold: a NUL byte or a
// line break in it, a section key at its end, or an empty folder. "" when none is.
std::string UnsavableValue(const App& app) {
  auto bad = [](const std::string& value, bool folder) {
    if (folder && (value.empty() || !IsRecordableText(value))) return true;
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return true;
    for (std::string_view key :
         {kDirectoriesKey, kOperationKey, kExcludeKey, kIncludeKey, kDaylightKey, kTrashKey, kLogFileKey, kContentKey})
      if (EndsWith(value, key)) return true;
    return false;
  };
  for (const auto* list : {&app.Job.SourceFolders, &app.Job.TargetFolders})
    for (const std::string& folder : *list)
      if (bad(folder, true)) return folder;
  for (const std::string* text : {&app.Options.ExcludeText, &app.Options.IncludeText})
    for (const std::string& line : Split(*text, kCrLf))
      if (bad(line, false)) return line;
  if (bad(app.Options.LogFile, false)) return app.Options.LogFile;
  return {};
}

// Control characters made visible for the message.
std::string Visible(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\0')
      out += "\\0";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else
      out += c;
  }
  return out;
}

}  // namespace

std::string BuiltInExcludePlaceholder() {
  return "Drop files here, or type parts of names\r\n"
         "or extensions such as .txt or .exe, one per line.\r\n"
         "All files whose path and name contain\r\n"
         "one of these texts are excluded\r\n"
         "and disregarded.";
}

namespace {

void NewJob(App& app, bool emptyList) {
  JobOptions& o = app.Options;
  // Until a language gave a placeholder the boxes show their built-in texts.
  o.ExcludeText = o.ExclPlaceholder.empty() ? BuiltInExcludePlaceholder() : o.ExclPlaceholder;
  o.ExcludeText = NormaliseList(o.ExcludeText);
  o.ExclPlaceholder = o.ExcludeText;
  o.ExclCaseSensitive = false;
  o.ExclEnabled = false;
  o.IncludeText = NormaliseList(o.InclPlaceholder);
  o.InclPlaceholder = o.IncludeText;
  o.InclCaseSensitive = false;
  o.InclEnabled = false;

  o.TimeToleranceText.assign(1, '5');  // not = "5": GCC 12 warns falsely (-Wrestrict)
  o.TimeTolerance = LeadingNumber(o.TimeToleranceText);
  o.SaveTextFiles = false;
  o.DeleteSuccessful = false;
  o.DaylightSaving = true;
  o.DeletedToTrash = false;
  o.LogFile.clear();
  o.CompareContent = o.VerifyCopies = false;
  o.SchedulePeriodHours = ParseNumber(o.ScheduleTimeText);

  app.Job.CurrentJobFile = GetFullPath(app.Files.Folder) + "/Temp.ddk";
  ShowCurrentJobFile(app);
  app.screen.SetStatusText(2, "");

  ClearRunStatistics(app.Run, app.screen);
  ShowPendingStatistics(app.Run, app.Rates, app.messages);
  app.ToDo.ShowSize = app.ToDo.ShowFullPath = false;
  if (emptyList) {
    app.ToDo.ToDoList.assign(1, std::string());
    // Writes the empty list and rebuilds the rows.
    if (!SaveToDoList(app.ToDo, app.Files, app.screen)) ReportFileNotWritten(app.messages, app.Files.ToDoFilePath);
  }

  // One empty pair compacts to no pair at all.
  app.Job.SourceFolders.clear();
  app.Job.TargetFolders.clear();
  app.screen.FolderPairsChanged();

  DefineStandardBackupModes(app.Modes, app.Run.Lifecycle, app.messages);
  app.Job.SavedJobText = JobTextWithoutPlaceholders(app);
  app.screen.JobOptionsChanged();
}

}  // namespace

void FileNew(App& app) {
  NewJob(app, true);
}

void FileNewKeepingList(App& app) {
  NewJob(app, false);
}

std::string ReadJobFile(App& app, const std::string& path) {
  return LoadText(app, path).text;
}

std::string OpenV2_1(App& app, const std::string& text) {
  return ReadV2_1(app, text).text;
}

JobLoadStatus LoadJobFile(App& app, const std::string& path, std::string* resultText, bool keepList) {
  const std::string plain = StripAffixOnce(path, "\"");
  if (!PathExists(plain)) return JobLoadStatus::Missing;
  if (!IsReadableFile(plain)) return JobLoadStatus::Unreadable;
  ReadOutcome outcome = LoadText(app, path, keepList);
  if (resultText) *resultText = outcome.text;
  return outcome.ok ? JobLoadStatus::Loaded : JobLoadStatus::WrongFormat;
}

bool ReadJobFileAside(const App& app, const std::string& path, std::vector<std::string>* sources,
                      std::vector<std::string>* targets) {
  const std::string plain = StripAffixOnce(path, "\"");
  if (!IsReadableFile(plain)) return false;
  SilentScreen silent;
  App copy(silent);
  copy.Files = app.Files;
  copy.settings = app.settings;
  const std::string text = WithCrLfLineEnds(ReadWholeFile(plain, kProgramFileLimit, true).text);
  // A job saved without pairs has the header and loads its options: still a job.
  const bool header = text.substr(0, text.find(kCrLf)) == kHeader;
  if (!ReadJobText(copy, text).ok && !header) return false;
  if (sources) *sources = copy.Job.SourceFolders;
  if (targets) *targets = copy.Job.TargetFolders;
  return true;
}

std::string BuildJobText(App& app) {
  const std::string crlf(kCrLf);
  const std::string block(kBlockSeparator);
  const JobOptions& o = app.Options;
  const BackupModeDef& m = app.Modes.CurrentBackupMode;
  auto flag = [](bool on) { return std::string(on ? "1" : "0"); };

  std::string t;
  t += std::string(kHeader) + crlf + crlf;
  t += std::string(kDirectoriesKey) + crlf;
  t += Join(app.Job.SourceFolders, kCrLf) + crlf + crlf;
  t += Join(app.Job.TargetFolders, kCrLf) + block;
  t += std::string(kOperationKey) + crlf;
  t += "Identical:\t" + m.Identical + crlf;
  t += "ExtraInF1:\t" + m.ExtraInF1 + crlf;
  t += "ExtraInF2:\t" + m.ExtraInF2 + crlf;
  t += "NewerInF1:\t" + m.NewerInF1 + crlf;
  t += "NewerInF2:\t" + m.NewerInF2 + block;
  t += std::string(kExcludeKey) + crlf;
  t += flag(o.ExclEnabled) + block + flag(o.ExclCaseSensitive) + block;
  t += NormaliseList(o.ExcludeText) + block;
  t += std::string(kIncludeKey) + crlf;
  t += flag(o.InclEnabled) + block + flag(o.InclCaseSensitive) + block;
  t += NormaliseList(o.IncludeText) + block;
  t += std::string(kDaylightKey) + crlf;
  t += flag(o.DaylightSaving) + block;
  if (o.DeletedToTrash) t += std::string(kTrashKey) + crlf + flag(true) + block;
  if (!o.LogFile.empty()) t += std::string(kLogFileKey) + crlf + o.LogFile + block;
  if (o.CompareContent || o.VerifyCopies)
    t += std::string(kContentKey) + crlf + flag(o.CompareContent) + block + flag(o.VerifyCopies) + block;
  return t;
}

std::string JobTextWithoutPlaceholders(App& app) {
  JobOptions& o = app.Options;
  const std::string exclude = o.ExcludeText, include = o.IncludeText;
  if (ShowsPlaceholder(exclude, o.ExclPlaceholder)) o.ExcludeText.clear();
  if (ShowsPlaceholder(include, o.InclPlaceholder)) o.IncludeText.clear();
  std::string text = BuildJobText(app);
  o.ExcludeText = exclude;
  o.IncludeText = include;
  return text;
}

bool SaveJob(App& app, SaveMode mode) {
  NormaliseFilterBoxes(app);
  app.screen.JobOptionsChanged();
  // The layout has no escape: a value that would read back as something else
  // (another section, another mode, a cut folder) is refused, not written.
  if (!ReadsBackIdentical(app)) {
    app.Show("[Job value cannot be saved]",
             app.Text("[Job value cannot be saved]") + std::string(kCrLf) + Visible(UnsavableValue(app)),
             app.Text("[Error]"), Buttons::Ok, Icon::Critical);
    return false;
  }
  std::string target = app.Job.CurrentJobFile;
  const bool saveAs = mode == SaveMode::SaveAs;
  if (saveAs) {
    target =
        app.screen.FileDialog(FileDialogMode::Save, app.Text("[Save]"), app.Job.CurrentJobFile, JobFileFilter(app));
    if (target.empty()) return true;
  }
  const std::size_t tail = target.size() < 4 ? target.size() : 4;
  if (ToLowerAscii(std::string_view(target).substr(target.size() - tail)) != ".ddk") target += ".ddk";
  if (saveAs && PathExists(target) &&
      app.Show("[File exists, replace?]", "", Buttons::OkCancel, Icon::None, MessageKind::ReplaceFile) ==
          Answer::Cancel)
    return true;
  // Without a job path there is nothing to write to.
  if (target == ".ddk") return true;
  if (WriteTextFile(BuildJobText(app), target)) {
    app.Job.SavedJobText = JobTextWithoutPlaceholders(app);
    return true;
  }
  app.Show("[Could not write the job file]", app.Text("[Could not write the job file]") + std::string(kCrLf) + target,
           app.Text("[Error]"), Buttons::Ok, Icon::Critical);
  return false;
}

std::string JobFileFilter(const App& app) {
  return app.Text("[Dualdock Files]") + " (*.ddk) | " + app.Text("[Text Files]") + " (*.txt) | " +
         app.Text("[All Files]") + " (*.*)";
}

}  // namespace dd
