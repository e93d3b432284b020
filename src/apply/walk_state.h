// What one execution walk holds while it works through the to-do list, and the
// small tools its delete, move, copy and batch steps share.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "apply/execution_context.h"
#include "apply/execution_scope.h"
#include "apply/file_ops.h"
#include "apply/record_paths.h"
#include "apply/row_pruner.h"
#include "apply/safety_steps.h"
#include "apply/tree_handles.h"
#include "common/content_hash.h"
#include "todo/backup_mode.h"
#include "todo/op_record.h"
#include "todo/record_texts.h"

namespace dd {

// One side of a record on disk: its open folder and what is there now.
struct Entry {
  int folder = -1;
  std::string name;
  bool exists = false;
  bool reachable = false;  // false: a link, a file or an error stands in the way
  struct stat st {};
};

// One record of the walk. The fields are views into the walk's own copy of the records.
struct Item {
  int64_t index;
  OpRecordView rec;
  RecordPaths paths;
  bool valid;        // the paths lie below a pair's roots
  MovePaths move{};  // a move's two paths, which differ below the roots
};

// A source file held open from its check to its copy.
struct OpenFile {
  int fd = -1;
  OpenFile() = default;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() { Close(); }
  void Close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

// A copy of a target folder's handle, shared by the waiting copies into it
// (the walk's own handles may be closed before the flush).
struct LentFolder {
  int fd;
  explicit LentFolder(int f) : fd(f) {}
  LentFolder(const LentFolder&) = delete;
  LentFolder& operator=(const LentFolder&) = delete;
  ~LentFolder() {
    if (fd >= 0) ::close(fd);
  }
};

// What a copy does, as it is counted once done.
struct CopyJob {
  const Item* item;
  bool toF2, isNew, isFolder;
  int64_t size, sizeBefore;
  std::string_view targetPath;
};

// A written copy waiting for the flush, with its file system.
struct WaitingCopy {
  CopyJob copy;
  PreparedCopy prepared;
  dev_t dev;
  std::shared_ptr<LentFolder> folder;
  std::optional<ContentDigest> sourceDigest;  // set when the copy is read back
};

class WalkState {
 public:
  explicit WalkState(ExecutionContext& context);
  WalkState(const WalkState&) = delete;
  WalkState& operator=(const WalkState&) = delete;

  // Where the item's side is on disk now. `look`: false when the entry's own state is left to the
  // operation to find out. Folders made on the way (`create`) copy those of the other side.
  Entry Find(const Item& item, bool inF1, bool create = false, int* created = nullptr, bool look = true);
  Entry FindAt(std::string_view root, std::string_view rel, bool create = false, int* created = nullptr,
               bool look = true, std::string_view modelRoot = {});
  // The source of a copy that the simulation found as a file with content, opened at once.
  Entry OpenPlannedFile(const Item& item, bool inF1, OpenFile& in);

  // The item's record is carried out: emptied, and its row leaves the view.
  void Done(const Item& item);
  // A failed item with the system's reason (`error`, an errno; 0 when none was given).
  void Fail(const Item& item, std::string_view path, int error);
  void Fail(const Item& item, std::string_view path, std::string reason);
  // Left alone because it is not what the simulation planned for (or a link now stands in its path).
  void Changed(const Item& item, std::string_view path);
  // Names a failed item in the report with the reason it failed for.
  void Named(const char* reasonKey, std::string_view path);
  // A failure of a step that may have asked for the trash.
  void FailAfterTrash(const Item& item, std::string_view path, int error);
  // The text of one of the program's own reasons; from its key when no language file gives one.
  std::string ReasonText(const char* key) const;

  // The item being worked on, on the screen.
  void Show(std::string_view path, int64_t size, bool isFolder);
  // A done operation, on the screen.
  void Report(OpKind kind, bool inF1, std::string_view rel, bool isFolder);
  // The pending statistics, at most a few times a second unless `now`.
  void ShowStatistics(bool now);

  // Sends the entry to the trash, from its folder's handle: whatever its path
  // leads to by now, only this very entry can go.
  bool ToTrash(int folder, const std::string& name, std::string_view path);
  // Remembers a file system that got new names, to flush it at the end.
  void Touched(int folder, dev_t dev = 0);
  // Flushes every file system that got new names and lets go of them.
  void FlushTouchedFileSystems();

  // A file or link that is still what the simulation saw (see the definition).
  bool AsPlanned(const struct stat& st, int64_t size) const;
  // A file with further names had one removed by this run.
  void Unlinked(const struct stat& st);

  // A handle of the item's target folder for the copies waiting in the batch (null: none).
  std::shared_ptr<LentFolder> Lend(const Item& item, bool toF2, int folder);
  ContentReader& Reader();

  // What the walk works with.
  ExecutionContext& context;
  RunStatistics& run;
  Screen& screen;
  const ExecutionScope scope;
  const SafetySteps& steps;
  RowPruner pruner;
  TreeHandles handles;
  const CopyTurn turn;
  std::string records;  // the walk's copy of the records, which the items view

  // What it has found and done so far.
  int failures = 0;
  bool noTrash = false;                            // the last ToTrash found no trash to move to
  std::set<std::pair<dev_t, ino_t>> linksRemoved;  // files this run took one of several names from
  std::map<dev_t, int> fileSystems;                // a folder on each file system that got new names
  double labelsShown = 0;                          // when the statistics were last shown

  // The copies written but not yet named, and the folder handle lent to the last of them.
  std::vector<WaitingCopy> batch;
  int64_t batchBytes = 0;
  const std::size_t batchFiles;
  std::shared_ptr<LentFolder> lent;
  std::string lentRoot, lentParent;
  std::unique_ptr<ContentReader> reader;  // its buffers only when copies are read back
};

}  // namespace dd
