// The whole-file-system flush of an execution, with a seam for tests.
#pragma once

namespace dd {

// Puts everything written to the file system that `fd` lies on onto the disk;
// 0, or -1 with errno set, as syncfs.
using FileSystemFlush = int (*)(int fd);

// The flush the execution calls: syncfs, unless a test has put another in.
int FlushFileSystem(int fd);

// Replaces the flush (nullptr: syncfs again) and returns the one it replaced.
// Tests use it to keep the real disk out of their runs, or to watch the calls.
FileSystemFlush SetFileSystemFlushForTest(FileSystemFlush flush);

}  // namespace dd
