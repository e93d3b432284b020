#include "apply/disk_flush.h"

#include <unistd.h>

namespace dd {

namespace {

FileSystemFlush& CurrentFlush() {
  static FileSystemFlush flush = nullptr;
  return flush;
}

}  // namespace

int FlushFileSystem(int fd) {
  const FileSystemFlush flush = CurrentFlush();
  return flush ? flush(fd) : ::syncfs(fd);
}

FileSystemFlush SetFileSystemFlushForTest(FileSystemFlush flush) {
  const FileSystemFlush previous = CurrentFlush();
  CurrentFlush() = flush;
  return previous;
}

}  // namespace dd
