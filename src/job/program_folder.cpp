#include "job/program_folder.h"

#include <unistd.h>
#include <cstdlib>
#include <filesystem>

#include "common/data_home.h"
#include "common/files.h"

namespace fs = std::filesystem;

namespace dd {

namespace {

constexpr const char* kLanguageFile = "Sprachen.txt";

bool HoldsResources(const std::string& folder) {
  return PathExists(folder + "/" + kLanguageFile);
}

// Copies the shipped resources that the folder lacks; never replaces a file.
void Seed(const std::string& folder, const std::string& executableFolder, bool pictures) {
  for (const std::string& source :
       {executableFolder, executableFolder + "/../share/dualdock", std::string("/usr/share/dualdock")}) {
    std::error_code ec;
    if (source.empty() || !HoldsResources(source) || fs::equivalent(source, folder, ec)) continue;
    fs::copy(source + "/" + kLanguageFile, folder + "/" + kLanguageFile, fs::copy_options::skip_existing, ec);
    if (pictures && IsDirectory(source + "/Icons"))
      fs::copy(source + "/Icons", folder + "/Icons", fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    return;
  }
}

std::string Prepare(const std::string& folder, const std::string& executableFolder, std::string& error, bool pictures) {
  std::error_code ec;
  std::string absolute = DropTrailingSeparator(fs::absolute(folder, ec).lexically_normal().string());
  if (ec || !MakePath(absolute)) {
    error = "cannot use the program folder " + folder;
    return {};
  }
  Seed(absolute, executableFolder, pictures);
  return absolute;
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

std::string ResolveProgramFolder(const std::string& homeOption, const std::string& executableFolder, std::string& error,
                                 bool pictures) {
  std::string home = homeOption;
  if (home.empty()) {
    const char* env = std::getenv("DUALDOCK_HOME");
    if (env) home = env;
  }
  if (!home.empty()) return Prepare(home, executableFolder, error, pictures);
  if (!executableFolder.empty() && HoldsResources(executableFolder) && ::access(executableFolder.c_str(), W_OK) == 0)
    return executableFolder;
  const std::string data = DataHomeFolder();
  if (data.empty()) {
    error = "no program folder: set --home or DUALDOCK_HOME";
    return {};
  }
  return Prepare(data + "/dualdock", executableFolder, error, pictures);
}

}  // namespace dd
