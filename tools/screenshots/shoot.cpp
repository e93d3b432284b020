// Drives the window through a simulated job and captures the screen (ImageMagick's
// `import -window root`) for each skin and each panel. Run it under an X server
// of its own: tools/screenshots/shoot.sh does.
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "job/program_folder.h"
#include "ui/main_window.h"
#include "window/buttons.h"
#include "window/skins.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: shoot JOB.ddk OUTPUT_FOLDER [WIDTH HEIGHT]\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[2]);
  std::string error;
  const std::string folder = dd::ResolveProgramFolder(std::string(), dd::ExecutableFolder(), error);
  dd::ui::MainWindow window;
  window.messageHook = [](const dd::Message& m) {
    return m.buttons == dd::Buttons::YesNo ? dd::Answer::Yes : dd::Answer::Ok;
  };
  window.StartUp(folder, argv[1]);
  window.resize(argc == 5 ? std::atoi(argv[3]) : 1280, argc == 5 ? std::atoi(argv[4]) : 800);
  window.move(0, 0);
  window.show();
  auto settle = [] {
    for (int i = 0; i < 20; ++i) {
      QApplication::processEvents();
      QTest::qWait(25);
    }
  };
  auto shoot = [&](const QString& name) {
    settle();
    const int rc = QProcess::execute(QStringLiteral("import"),
                                     {QStringLiteral("-window"), QStringLiteral("root"), out + "/" + name + ".png"});
    std::printf("%s %d\n", qPrintable(name), rc);
  };
  settle();
  window.ClickButton(dd::kBtnSimulate);
  for (int skin = 0; skin < dd::kSkinCount; ++skin) {
    dd::SkinAendern(window.app(), skin);
    shoot(QStringLiteral("skin-%1").arg(skin + 1));
  }
  // The panels in the first skin, or in the one SHOOT_PANEL_SKIN names (1..4).
  const int panelSkin = qEnvironmentVariableIntValue("SHOOT_PANEL_SKIN");
  dd::SkinAendern(window.app(), panelSkin > 0 ? panelSkin - 1 : 0);
  window.ClickButton(dd::kBtnBackup);
  shoot(QStringLiteral("panel-backup-mode"));
  window.ClickButton(dd::kBtnExclude);
  shoot(QStringLiteral("panel-filters"));
  double now = 0;
  window.scheduleClockHook = [&now] { return now; };
  window.ClickButton(dd::kBtnScheduleOff);
  window.ClickButton(dd::kBtnScheduleOffImFrame);
  now = 1500;
  shoot(QStringLiteral("panel-schedule"));
  window.ClickButton(dd::kBtnScheduleOnImFrame);
  return 0;
}
