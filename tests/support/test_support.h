// Shared test helpers: temporary folder trees and a scripted screen.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "common/screen.h"

namespace dd::test {

// A fresh temporary folder, removed with everything in it at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes a file (creating parent folders) and optionally sets its modification time (seconds since the epoch, UTC).
void WriteFile(const std::string& path, const std::string& content);
void WriteFile(const std::string& path, const std::string& content, int64_t mtime);
void MakeDirs(const std::string& path);
void SetMTime(const std::string& path, int64_t mtime);
int64_t GetMTime(const std::string& path);

// A screen that records every message and answers from a script.
class ScriptedScreen : public Screen {
 public:
  Answer ShowMessage(const Message& message) override;
  std::string FileDialog(FileDialogMode mode, const std::string& title, const std::string& initialPath,
                         const std::string& filter) override;
  void Yield() override { ++yields; }

  std::vector<Message> messages;        // every box shown, in order
  std::deque<Answer> answers;           // answers to give; when empty: Yes for Yes/No, Ok otherwise
  std::deque<std::string> dialogPaths;  // paths the file dialog returns; when empty: ""
  // What each file dialog was opened with.
  std::vector<std::string> dialogInitialPaths;
  int64_t yields = 0;

  // The keys of the boxes shown.
  std::vector<std::string> keys() const;
  // The first box shown with this key, or null.
  const Message* find(const std::string& key) const;
};

// The program folder of a test: a temporary folder with the shipped language file.
std::string CopyLanguageFile(const std::string& folder);

}  // namespace dd::test
