// dualdock: the main window. The only argument is the path of a job file.
#include <QApplication>
#include <QMessageBox>
#include <string>

#include "job/program_folder.h"
#include "platform/gio_trash.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dualdock"));
  QApplication::setApplicationVersion(QStringLiteral(DUALDOCK_VERSION));

  // Qt took its own options out of argv; the rest is one path, spaces and all.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }

  std::string error;
  const std::string folder = dd::ResolveProgramFolder(std::string(), dd::ExecutableFolder(), error);
  if (folder.empty()) {
    QMessageBox::critical(nullptr, QStringLiteral("Dualdock"),
                          QStringLiteral("No program folder could be used:\n%1").arg(dd::ui::Display(error)));
    return 2;
  }
  dd::GioTrash trash;
  dd::ui::MainWindow window(&trash);
  dd::StartUpOptions options;
  options.checkFileTypes = true;
  window.StartUp(folder, commandLine, options);
  return QApplication::exec();
}
