// Job files open the program: the MIME type for "*.ddk", a desktop entry that
// runs this executable and the default-application entry, checked and repaired
// at every start of the window.
#pragma once

#include <string>

#include "desktop/xdg_mime_apps.h"

namespace dd {

class App;

inline constexpr const char* kJobMimeType = "application/x-dualdock-job";
inline constexpr const char* kDesktopEntryId = "dualdock.desktop";

struct FileTypeEnvironment {
  XdgDirs Dirs = XdgDirs::FromEnvironment();
  bool RefreshDatabases = true;  // run update-mime-database and update-desktop-database
};

// The Exec value of the current default application for job files ("" when none).
std::string ReadJobFileCommand(const XdgDirs& dirs);

// Writes the MIME package, the desktop entry and the default entry in the user's
// folders. False when the desktop entry or the default could not be written.
bool AssociateFileType(const FileTypeEnvironment& env, const std::string& executablePath, const std::string& iconPath);

// The check and repair of the association for `executablePath`, with the
// records in "ErrLog.txt" and, with "[FileTypes]" 1, the message when it failed.
void AssociateFileTypes(App& app, const std::string& executablePath, const FileTypeEnvironment& env);
// The same for the running executable in the user's real folders.
void AssociateFileTypes(App& app);

}  // namespace dd
