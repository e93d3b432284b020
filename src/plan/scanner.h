// Lists everything below one root folder. Links are never followed: a link is
// listed as a file with its own size and time, so a scan cannot run in circles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plan/chunked_vector.h"
#include "plan/name_arena.h"
#include "plan/scan_observer.h"

namespace dd {

class Screen;
struct RunStatistics;

// One file found. Its folder and name are held once in the scan result.
struct ScannedFile {
  int64_t Size;
  int64_t Modified;     // local date-time in whole seconds since 1970-01-01 (local calendar)
  uint64_t NameOffset;  // in ScanResult::Names
  uint32_t Folder;      // index in ScanResult::Folders
  uint16_t NameLength;
};

struct ScanResult {
  // The root as given with one trailing separator dropped ("" for the file-system root).
  std::string Root;
  // Every folder as its path below the root: element 0 is the root itself (""),
  // then "/sub", "/sub/deeper" in the order found.
  std::vector<std::string> Folders{std::string()};
  ChunkedVector<ScannedFile> Files;
  NameArena Names;
  // Items left out because their name holds a TAB, CR, LF or NUL (a folder counts once, nothing below it is listed),
  // and the absolute paths of the first kSkippedPathsKept of them.
  int64_t Skipped = 0;
  std::vector<std::string> SkippedPaths;
  // Entries of our own left out: temporary copies, and the trash folders at the root.
  int64_t OwnEntries = 0;
  // The temporary copies among them that are regular files, as paths below the root ("sub/.dualdock-copy-1-2").
  std::vector<std::string> TemporaryCopies;
  // Folders (indices in Folders) that could not be listed, or not completely.
  std::vector<uint32_t> Unlisted;

  std::string_view Name(const ScannedFile& file) const { return Names.Get(file.NameOffset, file.NameLength); }
  // Absolute path of a folder, without trailing separator.
  std::string FolderPath(std::size_t folder) const { return Root + Folders[folder]; }
};

// True when the name can be written into the TAB- and line-separated record formats.
bool IsRecordableName(std::string_view name);

// Scans below `root` (one trailing separator ignored). A root that is missing or
// cannot be listed gives an empty result. Stops early when the observer asks to.
ScanResult ScanFolder(const std::string& root, ScanObserver& observer);

// The walker behind ScanFolder: lists folder `folder` of `result` (absolute path
// `path`, no trailing separator), then descends into its subfolders.
void ScanDir(const std::string& path, uint32_t folder, ScanResult& result, ScanObserver& observer, int64_t utcOffset);

// Lists the entries of folder `folder` of `result` alone: its files, and its subfolders
// appended to result.Folders, their indices to `subfolders`. False when the observer asked to stop.
bool ListDir(const std::string& path, uint32_t folder, ScanResult& result, ScanObserver& observer, int64_t utcOffset,
             std::vector<uint32_t>& subfolders);

// ScanFolder on the main thread with the statistics kept in `run`.
ScanResult ScanFolder(RunStatistics& run, Screen& screen, const std::string& root);

}  // namespace dd
