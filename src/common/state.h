// Plain state of the program besides the run statistics: program files,
// settings, job, backup modes, to-do list and transfer rates.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace dd {

// Files of the program folder.
struct ProgramFiles {
  std::string Folder;            // no trailing separator
  std::string ToDoFilePath;      // "To Do.txt"
  std::string RatesFilePath;     // "Rates.txt"
  std::string LogFilePath;       // "Log.txt"
  std::string ErrLogFilePath;    // "ErrLog.txt"
  std::string SettingsFilePath;  // "Settings.txt"
  std::string LanguageFilePath;  // "Sprachen.txt"
  std::string SortedDumpPath;    // "Alle Dateien Sorted.txt"
  std::string PlanFilePath;      // "To Do Plan.txt": which job planned the list
  std::string LockFilePath;      // "Dualdock.lock": one run per program folder

  // Sets every path from the folder.
  void SetFolder(const std::string& folder);
};

struct Settings {
  int SkinNumber = 0;
  int LanguageIndex = 0;
  int FileTypeMessage = 1;
  // Ask before planning a pair that would delete most of a tree.
  bool MassDeleteGuard = true;
};

// One backup mode: a name and one operation code per file status.
struct BackupModeDef {
  std::string Name;
  std::string Identical;
  std::string ExtraInF1;
  std::string ExtraInF2;
  std::string NewerInF1;
  std::string NewerInF2;
};

struct BackupModeState {
  BackupModeDef StandardBackupModes[2];
  BackupModeDef CurrentBackupMode;
  std::vector<std::string> ComboItems;  // the mode combo: two standard modes, then "[User defined]"
  int SelectedMode = 0;                 // selected combo item
  bool OptionsBeingSet = false;
};

// The filter boxes, their switches and the run options of the options panel.
struct JobOptions {
  std::string ExcludeText, IncludeText;          // box texts, lines joined by CR LF
  std::string ExclPlaceholder, InclPlaceholder;  // what an empty box shows
  bool ExclEnabled = false, ExclCaseSensitive = false;
  bool InclEnabled = false, InclCaseSensitive = false;
  bool SaveTextFiles = false;
  bool DeleteSuccessful = false;
  std::string TimeToleranceText = "5";
  double TimeTolerance = 5;
  bool DaylightSaving = true;
  // Deleted files and the old version of replaced files go to the trash.
  bool DeletedToTrash = false;
  // A plain-text record of each run is appended to this file; "" for none.
  std::string LogFile;
  // Files of equal size and time are compared by content; each copy is read back and compared with its source.
  bool CompareContent = false;
  bool VerifyCopies = false;
  std::string ScheduleTimeText = "1";
  double SchedulePeriodHours = 1;
};

struct JobState {
  std::vector<std::string> SourceFolders;
  std::vector<std::string> TargetFolders;
  std::string CurrentJobFile;
  // The job as it was last loaded, saved or made new (JobTextWithoutPlaceholders):
  // what unsaved changes are measured against.
  std::string SavedJobText;
};

// One folder pair of the job that planned the list: the roots as the job names
// them (the records' paths begin with them) and as they resolved then.
struct PlannedPair {
  std::string Source, Target;
  std::string ResolvedSource, ResolvedTarget;
};

// Which job planned the pending list, with the options that shape its execution.
struct ListPlan {
  bool Known = false;  // false: no record (none written yet, an older list, a damaged record)
  std::string JobFile;
  std::vector<PlannedPair> Pairs;
  BackupModeDef Mode;  // only the five codes are kept
  double TimeTolerance = 5;
  bool DaylightSaving = true;
  bool DeletedToTrash = false;
  bool CompareContent = false;
  bool VerifyCopies = false;
};

// What the list file was when this process last read or wrote it: another
// process that changed it since leaves a different stamp.
struct FileStamp {
  bool Exists = false;
  uint64_t Device = 0, Inode = 0;
  int64_t Size = 0, ModifiedNs = 0, ChangedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

// The to-do list and the rows that show it (record index per row,
// in record order unless a view sorted them). The execution removes rows near
// the front one by one, which a deque does in constant time.
struct ToDoState {
  std::vector<std::string> ToDoList;
  std::deque<int64_t> Rows;
  // Wall-clock time (CLOCK_REALTIME, nanoseconds since the epoch) at which the
  // simulation that planned the list began scanning; 0 when unknown (a list from an
  // older program run). An item whose change time is later changed after planning.
  int64_t PlannedAtNs = 0;
  // The job that planned the list ("To Do Plan.txt").
  ListPlan Plan;
  FileStamp ListFile;
  // View options of the list (the menu items "Size of files" and "Full path of files"); off in a new job.
  bool ShowSize = false;
  bool ShowFullPath = false;
};

// Transfer rates in bytes per second.
struct RateState {
  double StoredDeleteRate = 0, StoredCopyRate = 0, UpdateCount = 0;
  double CurrentDeleteRate = 0, CurrentCopyRate = 0;
  double LiveDeleteRate = 0, LiveCopyRate = 0;
};

}  // namespace dd
