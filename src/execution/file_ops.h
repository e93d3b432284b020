// Copying and deleting entries on disk.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace dd {

// Copies a file or link (or creates a folder, for a folder source), creating
// missing parent folders. Nonzero on success; `created` counts the folders made.
// A file is written to a temporary file beside the target and renamed over it
// when complete; time and permission bits are kept. A set `cancel` flag aborts
// a long copy between chunks and rolls it back (result 0, old target intact).
int CopyWithFolders(const std::string& source, const std::string& target, bool overwrite, int& created,
                    const std::atomic<bool>* cancel = nullptr);

// Called between the chunks of a file copy with the bytes done and the file's
// size, so that a window can hand its event loop a turn during a long copy
// (a stop then acts at the next chunk) and show how far the copy is.
using CopyHeartbeat = std::function<void(int64_t done, int64_t size)>;
void SetCopyHeartbeat(CopyHeartbeat heartbeat);

// 1 deleted, -1 nothing was there, 0 still there.
int DeletePath(const std::string& path);
// Delete one file (read-only too) or one folder with everything in it, never
// following links. Errors are swallowed.
void DeleteFileForced(const std::string& path);
void DeleteFolderForced(const std::string& path);

}  // namespace dd
