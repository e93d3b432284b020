#include "desktop/xdg_mime_apps.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/data_home.h"
#include "common/files.h"
#include "common/text.h"

namespace dd {

namespace {

constexpr const char* kDefaultGroup = "Default Applications";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// An absolute folder from the environment, or the fallback. Relative values are invalid by the base-directory rules.
std::string HomeFolder(const char* name, const std::string& fallback) {
  std::string value = Env(name);
  return StartsWith(value, "/") ? DropTrailingSeparator(value) : fallback;
}

std::vector<std::string> FolderList(const char* name, std::vector<std::string> fallback) {
  std::vector<std::string> folders;
  for (const std::string& f : Split(Env(name), ":"))
    if (StartsWith(f, "/")) folders.push_back(DropTrailingSeparator(f));
  return folders.empty() ? fallback : folders;
}

std::string Trim(std::string_view text) {
  std::size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  std::size_t end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

bool IsGroupLine(const std::string& trimmed) {
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

// The key of a "key=value" line, blanks around it removed; "" for other lines.
std::string LineKey(const std::string& trimmed) {
  if (trimmed.empty() || trimmed[0] == '#') return {};
  std::size_t eq = trimmed.find('=');
  return eq == std::string::npos ? std::string() : Trim(std::string_view(trimmed).substr(0, eq));
}

// The data folders, the user's first; without a home there is no user's one.
std::vector<std::string> DataFolders(const XdgDirs& dirs) {
  std::vector<std::string> folders;
  if (!dirs.DataHome.empty()) folders.push_back(dirs.DataHome);
  folders.insert(folders.end(), dirs.DataDirs.begin(), dirs.DataDirs.end());
  return folders;
}

// The list files in the order of the mime-apps rules.
std::vector<std::string> ListFiles(const XdgDirs& dirs) {
  std::vector<std::string> folders{dirs.ConfigHome};
  folders.insert(folders.end(), dirs.ConfigDirs.begin(), dirs.ConfigDirs.end());
  for (const std::string& d : DataFolders(dirs)) folders.push_back(d + "/applications");
  std::vector<std::string> files;
  for (const std::string& folder : folders) {
    for (const std::string& desktop : dirs.Desktops) files.push_back(folder + "/" + desktop + "-mimeapps.list");
    files.push_back(folder + "/mimeapps.list");
  }
  return files;
}

}  // namespace

XdgDirs XdgDirs::FromEnvironment() {
  XdgDirs d;
  const std::string home = Env("HOME");
  d.DataHome = DataHomeFolder();
  d.ConfigHome = HomeFolder("XDG_CONFIG_HOME", home + "/.config");
  d.DataDirs = FolderList("XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
  d.ConfigDirs = FolderList("XDG_CONFIG_DIRS", {"/etc/xdg"});
  for (const std::string& desktop : Split(Env("XDG_CURRENT_DESKTOP"), ":"))
    if (!desktop.empty()) d.Desktops.push_back(ToLowerAscii(desktop));
  return d;
}

std::string KeyFileValue(const std::string& text, const std::string& group, const std::string& key) {
  bool inGroup = false;
  for (const std::string& line : Split(text, "\n")) {
    std::string trimmed = Trim(line);
    if (IsGroupLine(trimmed)) {
      inGroup = trimmed == "[" + group + "]";
    } else if (inGroup && LineKey(trimmed) == key) {
      return Trim(std::string_view(trimmed).substr(trimmed.find('=') + 1));
    }
  }
  return {};
}

std::string FindDesktopEntry(const XdgDirs& dirs, const std::string& id) {
  if (id.empty() || id.find('/') != std::string::npos) return {};
  for (const std::string& folder : DataFolders(dirs)) {
    std::string path = folder + "/applications/" + id;
    if (PathExists(path)) return path;
  }
  return {};
}

std::string DefaultApplicationEntry(const XdgDirs& dirs, const std::string& mimeType) {
  // An explicit default first, then an added association, then any entry that
  // declares the type: a desktop opens the file with the first of these.
  for (const char* group : {kDefaultGroup, "Added Associations"}) {
    for (const std::string& list : ListFiles(dirs)) {
      std::string value = KeyFileValue(ReadTextFile(list), group, mimeType);
      for (const std::string& id : Split(value, ";")) {
        std::string entry = FindDesktopEntry(dirs, Trim(id));
        if (!entry.empty()) return entry;
      }
    }
  }
  for (const std::string& folder : DataFolders(dirs)) {
    std::error_code ec;
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(folder + "/applications", ec))
      if (EndsWith(e.path().filename().string(), ".desktop")) entries.push_back(e.path().string());
    std::sort(entries.begin(), entries.end());
    for (const std::string& entry : entries) {
      const std::string types = KeyFileValue(ReadTextFile(entry), "Desktop Entry", "MimeType");
      for (const std::string& type : Split(types, ";"))
        if (Trim(type) == mimeType) return entry;
    }
  }
  return {};
}

std::string WithDefaultApplication(const std::string& text, const std::string& mimeType, const std::string& desktopId) {
  const std::string line = mimeType + "=" + desktopId + ";";
  std::vector<std::string> lines = Split(text, "\n");
  if (EndsWith(text, "\n")) lines.pop_back();
  bool inGroup = false, done = false;
  std::size_t insertAt = std::string::npos;  // after the group's last key line
  for (std::size_t i = 0; i < lines.size() && !done; ++i) {
    std::string trimmed = Trim(lines[i]);
    if (IsGroupLine(trimmed)) {
      inGroup = trimmed == std::string("[") + kDefaultGroup + "]";
      if (inGroup) insertAt = i + 1;
    } else if (inGroup && LineKey(trimmed) == mimeType) {
      lines[i] = line;
      done = true;
    } else if (inGroup && !trimmed.empty()) {
      insertAt = i + 1;
    }
  }
  if (!done && insertAt != std::string::npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
  } else if (!done) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
    lines.push_back(std::string("[") + kDefaultGroup + "]");
    lines.push_back(line);
  }
  return Join(lines, "\n") + "\n";
}

}  // namespace dd
