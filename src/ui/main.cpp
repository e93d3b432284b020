// dualdock: the main window. [--home DIR] [JOB.ddk], --help, --version.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
  dd::ui::WindowOptions options;
  QString text;
  // Before the application exists: it would need a display.
  auto outcome = dd::ui::ParseWindowOptions(dd::ui::ArgumentBytes(argc - 1, argv + 1), true, options, text);
  if (outcome != dd::ui::OptionsOutcome::Run) return Finish(outcome, text);

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
