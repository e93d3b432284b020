// File and path helpers. Errors are swallowed: callers judge by the result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/paths.h"

namespace dd {

inline constexpr char kPathSeparator = '/';

// Writes all of the data to a file descriptor, retrying short writes.
[[nodiscard]] bool WriteAllToFd(int fd, const char* data, std::size_t size);

// Size limits of the files the program reads whole: beyond them a file is damaged.
inline constexpr std::size_t kProgramFileLimit = std::size_t{16} << 20;  // settings, language, log, rates, jobs
inline constexpr std::size_t kListFileLimit = std::size_t{512} << 20;    // "To Do.txt" and saved lists

enum class FileReadStatus {
  Read,        // the whole file is in the text
  Unreadable,  // missing, or could not be opened or read
  Damaged,     // not a regular file (a pipe, a device, a folder, a link), or larger than the limit
};

struct FileRead {
  std::string text;  // "" unless Read
  FileReadStatus status = FileReadStatus::Unreadable;
};

// Reads a file whole. It is opened without blocking (a pipe in its place cannot
// hang the program) and read only when it is a regular file of at most `limit`
// bytes. Links are followed only when `followLinks` is set.
FileRead ReadWholeFile(const std::string& path, std::size_t limit, bool followLinks);

// A program file whole, byte for byte: "" unless it reads completely (see ReadWholeFile,
// the program-file limit, links not followed).
std::string ReadTextFile(const std::string& path);

// Replaces the file with exactly `text` (no line break added). The text goes to
// a temporary file in the same folder first and is renamed over the old file,
// so a crash never leaves half a file. Returns false when nothing was written.
[[nodiscard]] bool WriteTextFile(std::string_view text, const std::string& path);

// The texts with `separator` between two of them and none after the last.
[[nodiscard]] bool WriteListFile(const std::vector<std::string>& list, const std::string& path,
                                 std::string_view separator);

// True when anything (file, folder, link, even a dangling one) is at the path.
bool PathExists(const std::string& path);

// True when the path is a real folder; a link to a folder is not one.
bool IsDirectory(const std::string& path);

// Creates the folder with every missing parent. True when the folder exists
// afterwards; an empty path gives false.
bool MakePath(const std::string& path);

// What became of an entry that was to be deleted.
enum class DeleteResult { Deleted, NothingThere, StillThere };

// Deletes the file, a read-only one too, or the link itself (never what it points to). A folder stays.
DeleteResult DeleteFile(const std::string& path);

// Drops one trailing separator (but never turns "/" into "").
std::string DropTrailingSeparator(std::string path);

// The absolute path with every link, "." and ".." resolved; "" when it does not resolve.
std::string ResolvedPath(const std::string& path);

}  // namespace dd
