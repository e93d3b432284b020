// The freedesktop.org folders of the user and the system, and the default
// application for a MIME type as the mime-apps rules find it.
#pragma once

#include <string>
#include <vector>

namespace dd {

struct XdgDirs {
  std::string DataHome;                 // DataHomeFolder(): "" without an absolute home
  std::string ConfigHome;               // $XDG_CONFIG_HOME, else ~/.config
  std::vector<std::string> DataDirs;    // $XDG_DATA_DIRS, else /usr/local/share, /usr/share
  std::vector<std::string> ConfigDirs;  // $XDG_CONFIG_DIRS, else /etc/xdg
  std::vector<std::string> Desktops;    // $XDG_CURRENT_DESKTOP, lower case

  static XdgDirs FromEnvironment();
};

// The value of `key` in group `group` of a desktop or list file ("" when missing).
std::string KeyFileValue(const std::string& text, const std::string& group, const std::string& key);

// The path of an installed desktop entry by its id, searched in the data folders ("" when none).
std::string FindDesktopEntry(const XdgDirs& dirs, const std::string& id);

// The application that opens the MIME type, as a desktop entry path: the first
// installed entry named under [Default Applications] in the lists (searched in
// the standard order), else under [Added Associations], else the first entry
// whose MimeType holds the type. "" when there is none.
std::string DefaultApplicationEntry(const XdgDirs& dirs, const std::string& mimeType);

// `text` (a mimeapps.list) with the default for the MIME type set to `desktopId`;
// every other line is kept.
std::string WithDefaultApplication(const std::string& text, const std::string& mimeType, const std::string& desktopId);

}  // namespace dd
