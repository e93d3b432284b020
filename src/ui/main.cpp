// dualdock: the main window. [--home DIR] [JOB.ddk], --help, --version.
#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/version.h"
#include "job/program_folder.h"
#include "platform/desktop_trash.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/window_options.h"

namespace {

// Help, version and errors end the program; they need no display.
int Finish(dd::ui::OptionsOutcome outcome, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fputs(bytes.constData(), outcome == dd::ui::OptionsOutcome::Printed ? stdout : stderr);
  return outcome == dd::ui::OptionsOutcome::Printed ? 0 : 2;
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// xcb needs an X display and wayland a Wayland one (no name: Qt takes whichever is
// there); other platforms (offscreen, vnc, eglfs) are chosen on purpose and need none.
bool PlatformHasDisplay(const std::string& name) {
  if (name.empty()) return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
  if (name == "xcb") return IsSet("DISPLAY");
  if (name.rfind("wayland", 0) == 0) return IsSet("WAYLAND_DISPLAY");
  return true;
}

// Qt aborts when its platform finds no display.
bool HasDisplay(int argc, char** argv) {
  std::string platforms = IsSet("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) platforms = argv[i + 1];
  // A list to try in turn ("wayland;xcb"), each name with its own options after a colon.
  std::size_t start = 0;
  while (start <= platforms.size()) {
    std::size_t end = platforms.find(';', start);
    if (end == std::string::npos) end = platforms.size();
    const std::string name = platforms.substr(start, std::min(end, platforms.find(':', start)) - start);
    if (PlatformHasDisplay(name)) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  dd::ui::WindowOptions options;
  QString text;
  // Before the application exists: it would need a display.
  auto outcome = dd::ui::ParseWindowOptions(dd::ui::ArgumentBytes(argc - 1, argv + 1), true, options, text);
  if (outcome != dd::ui::OptionsOutcome::Run) return Finish(outcome, text);
  if (!HasDisplay(argc, argv)) {
    std::fputs("no display: run it on a desktop, or use dualdock-cli\n", stderr);
    return 2;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dualdock"));
  QApplication::setApplicationVersion(QStringLiteral(DUALDOCK_VERSION));
  // Qt took its own options out of argv; what is left must be ours.
  outcome = dd::ui::ParseWindowOptions(dd::ui::ArgumentBytes(argc - 1, argv + 1), false, options, text);
  if (outcome != dd::ui::OptionsOutcome::Run) return Finish(outcome, text);

  std::string error;
  const std::string folder = dd::ResolveProgramFolder(options.home, dd::ExecutableFolder(), error);
  if (folder.empty()) {
    QMessageBox::critical(nullptr, QStringLiteral("Dualdock"),
                          QStringLiteral("No program folder could be used:\n%1").arg(dd::ui::Display(error)));
    return 2;
  }
  dd::DesktopTrash trash;
  dd::ui::MainWindow window(&trash);
  dd::StartUpOptions startUp;
  startUp.checkFileTypes = true;
  window.StartUp(folder, options.jobFile, startUp);
  return QApplication::exec();
}
