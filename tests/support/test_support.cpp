#include "support/test_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "common/files.h"

namespace fs = std::filesystem;

namespace dd::test {

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "dualdock-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only folders left by a test must not stop the clean-up.
  for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

void MakeDirs(const std::string& path) {
  fs::create_directories(path);
}

void WriteFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  // Plain writes, no sync: tests make many files and need no crash safety.
  int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || !WriteAllToFd(fd, content.data(), content.size()) || ::close(fd) != 0)
    throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string& path, const std::string& content, int64_t mtime) {
  WriteFile(path, content);
  SetMTime(path, mtime);
}

void SetMTime(const std::string& path, int64_t mtime) {
  struct timeval times[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
  if (::lutimes(path.c_str(), times) != 0) throw std::runtime_error("cannot set time of " + path);
}

int64_t GetMTime(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return -1;
  return st.st_mtime;
}

Answer ScriptedScreen::ShowMessage(const Message& message) {
  messages.push_back(message);
  if (!answers.empty()) {
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  return message.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

std::string ScriptedScreen::FileDialog(FileDialogMode, const std::string&, const std::string& initialPath,
                                       const std::string&) {
  dialogInitialPaths.push_back(initialPath);
  if (dialogPaths.empty()) return {};
  std::string p = dialogPaths.front();
  dialogPaths.pop_front();
  return p;
}

std::vector<std::string> ScriptedScreen::keys() const {
  std::vector<std::string> k;
  for (const auto& m : messages) k.push_back(m.key);
  return k;
}

const Message* ScriptedScreen::find(const std::string& key) const {
  for (const auto& m : messages)
    if (m.key == key) return &m;
  return nullptr;
}

std::string CopyLanguageFile(const std::string& folder) {
  std::string target = folder + "/Sprachen.txt";
  fs::copy_file(std::string(DUALDOCK_SOURCE_DIR) + "/resources/Sprachen.txt", target,
                fs::copy_options::overwrite_existing);
  return target;
}

}  // namespace dd::test
