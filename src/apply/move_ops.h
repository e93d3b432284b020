// Moving one entry within a tree: a rename where it can be, else a copy and,
// once the copy is complete and checked, the deletion of the old entry.
#pragma once

#include <sys/stat.h>

#include <atomic>
#include <string>

#include "apply/file_ops.h"

namespace dd {

enum class MoveResult {
  Renamed,        // one rename: the entry itself (and all in it) is at its new place
  Copied,         // copied to the new place, then deleted at the old one
  TargetTaken,    // something stands at the new place: nothing changed
  SourceChanged,  // the old entry changed during the copy: it stays, beside its complete copy
  Failed,         // nothing was deleted
};

// Moves the entry `fromName` of the open folder `fromDir`, whose lstat is
// `planned`, to `toName` in `toDir`, never replacing what is there. When the
// rename is not possible (another file system, a file system that cannot
// rename without replacing), the entry is copied (a folder with all in it) and
// the old one deleted only after every copy is in place, and only what is
// still as it was copied.
MoveResult MoveEntry(int fromDir, const std::string& fromName, const struct stat& planned, int toDir,
                     const std::string& toName, const std::atomic<bool>* cancel, const CopyTurn& turn = {});

// The fallback of MoveEntry on its own (for tests, which have a single file system).
MoveResult CopyThenDelete(int fromDir, const std::string& fromName, const struct stat& planned, int toDir,
                          const std::string& toName, const std::atomic<bool>* cancel, const CopyTurn& turn = {});

}  // namespace dd
