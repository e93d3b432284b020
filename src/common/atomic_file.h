// A program file replaced whole. The text goes to a temporary file in the same folder, which reaches the disk and
// is then renamed over the old file, so a crash never leaves half a file. A replaced file keeps its mode, a new
// one gets the usual 0644.
#pragma once

#include <string>
#include <string_view>

namespace dd {

class AtomicFile {
 public:
  explicit AtomicFile(const std::string& path);
  ~AtomicFile();  // an uncommitted temporary file is removed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Adds text; small pieces are gathered, so a file written line by line costs few writes.
  void Append(std::string_view text);
  // Puts the file in place. False when anything failed: the old file is then as it was.
  [[nodiscard]] bool Commit();

 private:
  void Write(std::string_view text);
  void Flush();

  std::string path_, temp_, buffer_;
  int fd_ = -1;
  bool ok_ = false;
};

}  // namespace dd
