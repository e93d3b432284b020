#include "desktop/file_types.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"
#include "common/write_report.h"
#include "desktop/desktop_exec.h"

namespace fs = std::filesystem;

namespace dd {

namespace {

constexpr const char* kMimePackageName = "dualdock.xml";

std::string MimePackageText() {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
             "  <mime-type type=\"") +
         kJobMimeType +
         "\">\n"
         "    <comment>Dualdock job</comment>\n"
         "    <sub-class-of type=\"text/plain\"/>\n"
         "    <glob pattern=\"*.ddk\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string DesktopEntryText(const std::string& executablePath, const std::string& iconPath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Dualdock\n"
         "Comment=Keeps pairs of folders in step\n"
         "Exec=" +
         ExecForExecutable(executablePath) + "\nIcon=" + EscapeStringValue(iconPath) + "\nMimeType=" + kJobMimeType +
         ";\n"
         "Categories=Utility;\n"
         "Terminal=false\n";
}

// A link (as dotfile managers keep it) is followed so the real file is updated.
std::string RealPath(const std::string& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  fs::path real = fs::weakly_canonical(path, ec);
  return ec ? path : real.string();
}

bool WriteDefault(const std::string& listPath) {
  const std::string path = RealPath(listPath);
  return WriteTextFile(WithDefaultApplication(ReadTextFile(path), kJobMimeType, kDesktopEntryId), path);
}

// Starts a tool and does not wait for it: the grandchild belongs to init, so no
// zombie is left and a hanging tool cannot hold up the start.
void StartDetached(const std::string& tool, const std::string& argument) {
  const std::string program = FindInPath(tool);
  if (program.empty()) return;
  const char* argv[] = {program.c_str(), argument.c_str(), nullptr};
  pid_t child = ::fork();
  if (child < 0) return;
  if (child == 0) {
    if (::fork() == 0) {
      int null = ::open("/dev/null", O_RDWR);
      if (null >= 0) ::dup2(null, 0), ::dup2(null, 1), ::dup2(null, 2);
      ::execv(program.c_str(), const_cast<char* const*>(argv));
    }
    ::_exit(0);
  }
  ::waitpid(child, nullptr, 0);
}

bool IsRight(const std::string& command, const std::string& executablePath) {
  return command == ExecForExecutable(executablePath) || ExecRunsExecutable(command, executablePath);
}

// A record of the error log: two empty lines, the date line (with the hyphens
// unless the repair failed) and the three values.
std::string Record(bool repaired, const std::string& entryPath, const std::string& expected, const std::string& read) {
  std::string r = "\r\n\r\n";
  r += (repaired ? std::string(23, '-') : std::string()) + CurrentDateText() + "\r\n";
  r += "Registry path:\t" + entryPath + "\r\n";
  r += "Value expected:\t" + expected + "\r\n";
  r += "Value read:\t" + read + "\r\n";
  return r;
}

std::string RunningExecutable() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

}  // namespace

std::string ReadJobFileCommand(const XdgDirs& dirs) {
  const std::string entry = DefaultApplicationEntry(dirs, kJobMimeType);
  return entry.empty() ? std::string() : KeyFileValue(ReadTextFile(entry), "Desktop Entry", "Exec");
}

bool AssociateFileType(const FileTypeEnvironment& env, const std::string& executablePath, const std::string& iconPath) {
  const XdgDirs& d = env.Dirs;
  // Without a home folder nothing is written: the paths would start at the root.
  if (d.DataHome.empty()) return false;
  const std::string mimeFolder = d.DataHome + "/mime";
  const std::string applications = d.DataHome + "/applications";
  bool mimeWritten = MakePath(mimeFolder + "/packages") &&
                     WriteTextFile(MimePackageText(), mimeFolder + "/packages/" + kMimePackageName);
  bool entryWritten = MakePath(applications) &&
                      WriteTextFile(DesktopEntryText(executablePath, iconPath), applications + "/" + kDesktopEntryId);
  // The default must never name an entry that is not there.
  bool defaultWritten = entryWritten && MakePath(d.ConfigHome) && WriteDefault(d.ConfigHome + "/mimeapps.list");
  // A desktop's own list comes first in the lookup: a default for the type in it is updated too.
  for (const std::string& desktop : d.Desktops) {
    const std::string list = d.ConfigHome + "/" + desktop + "-mimeapps.list";
    if (defaultWritten && !KeyFileValue(ReadTextFile(list), "Default Applications", kJobMimeType).empty())
      defaultWritten = WriteDefault(list);
  }
  if (env.RefreshDatabases) {
    if (mimeWritten) StartDetached("update-mime-database", mimeFolder);
    if (entryWritten) StartDetached("update-desktop-database", applications);
  }
  return entryWritten && defaultWritten;
}

void AssociateFileTypes(App& app, const std::string& executablePath, const FileTypeEnvironment& env) {
  if (executablePath.empty()) return;
  const std::string read = ReadJobFileCommand(env.Dirs);
  if (IsRight(read, executablePath)) return;

  const std::string expected = ExecForExecutable(executablePath);
  const std::string entryPath = env.Dirs.DataHome + "/applications/" + kDesktopEntryId;
  std::string record = Record(true, entryPath, expected, read);
  AssociateFileType(env, executablePath, app.Files.Folder + "/Icons/DDKIcon.ico");
  // Any command other than this program's after the repair is a failure, not
  // only an empty one: the user would otherwise never learn why job files do not open.
  const std::string after = ReadJobFileCommand(env.Dirs);
  if (!IsRight(after, executablePath)) {
    record = Record(false, entryPath, expected, after);
    if (app.settings.FileTypeMessage == 1) app.Show("[File types not be associated]", "[Installation]");
  }
  if (!WriteTextFile(ReadTextFile(app.Files.ErrLogFilePath) + record, app.Files.ErrLogFilePath))
    ReportFileNotWritten(app.messages, app.Files.ErrLogFilePath, false);
}

void AssociateFileTypes(App& app) {
  AssociateFileTypes(app, RunningExecutable(), FileTypeEnvironment{});
}

}  // namespace dd
