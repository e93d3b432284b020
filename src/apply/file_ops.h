// Copying and deleting entries on disk.
#pragma once

#include <sys/stat.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "common/files.h"

namespace dd {

// Copies a file or link (or creates a folder, for a folder source), creating
// missing parent folders. True on success; `created` counts the folders made.
// A file is written to a temporary file beside the target and renamed over it
// when complete; time and permission bits are kept. A set `cancel` flag aborts
// a long copy between chunks and rolls it back (false, old target intact).
bool CopyWithFolders(const std::string& source, const std::string& target, bool overwrite, int& created,
                     const std::atomic<bool>* cancel = nullptr);

// Called when a complete copy is ready to replace an existing target; false
// keeps the old target and fails the copy.
using BeforeReplace = std::function<bool()>;

// Called between the chunks of a long copy with the bytes done and the file's
// size: the screen shows how far the copy is and takes a turn (a stop then acts
// at the next chunk).
using CopyTurn = std::function<void(int64_t done, int64_t size)>;

// Copies the file or link `fromName` of the open folder `fromDir`, whose lstat
// is `source`, to `toName` in `toDir`. `target` is the lstat of what is there
// now (nullptr: nothing, and nothing that appears meanwhile is replaced). A
// folder or read-only file is never replaced. The data is on the disk before
// the copy gets its name. True when the copy is in place.
bool CopyEntryAt(int fromDir, const std::string& fromName, const struct stat& source, int toDir,
                 const std::string& toName, const struct stat* target, const std::atomic<bool>* cancel,
                 const BeforeReplace& beforeReplace, const CopyTurn& turn = {});

// A file copy in two steps, so that many copies can be put on the disk at once
// before any of them gets its name: the complete copy, still without its name.
struct PreparedCopy {
  int out = -1;      // the written file
  int folder = -1;   // the target's folder
  std::string name;  // the target's name
  std::string temp;  // the temporary name; "" for an unnamed file
  bool replaces = false;
  struct stat target {};  // what was checked at the target, when it replaces
  // The caller keeps `folder` open until the copy is released (else it is a copy of the handle).
  bool folderLent = false;
  bool nameTaken = false;  // set by CommitCopy when a new copy found its name taken
  // Set when the source changed while it was read, on a second try too: no copy was made.
  bool sourceChanged = false;
};

// Writes the copy of the regular file `fromName` (see CopyEntryAt); false, with
// nothing left behind, when that failed. A source that changed while it was
// read (size, modification or change time) is copied once more from its start.
bool PrepareCopyAt(int fromDir, const std::string& fromName, int toDir, const std::string& toName,
                   const struct stat* target, const std::atomic<bool>* cancel, PreparedCopy& copy,
                   const CopyTurn& turn = {});
// The same from a source the caller opened already (OpenSource), with its fstat;
// `in` stays open and the caller's.
bool PrepareCopyFrom(int in, const struct stat& source, int toDir, const std::string& toName, const struct stat* target,
                     const std::atomic<bool>* cancel, PreparedCopy& copy, const CopyTurn& turn = {});
// Opens a file to be copied: never through a link, never waiting (should it be a pipe now).
int OpenSource(int fromDir, const char* fromName);
// Gives the copy its name, once its data is on the disk. A replaced target must
// still be the one checked before. Releases the copy either way.
bool CommitCopy(PreparedCopy& copy, const BeforeReplace& beforeReplace);
void DiscardCopy(PreparedCopy& copy);

DeleteResult DeletePath(const std::string& path);
// Delete one folder with everything in it, never following links. Errors are swallowed.
void DeleteFolderForced(const std::string& path);

}  // namespace dd
