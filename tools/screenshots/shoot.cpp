// Drives the window through a small job and captures the screen (ImageMagick's
// `import -window root`): for each skin the main panel after a simulation, each
// option panel, a run in progress and a question box. Run it under an X server of
// its own: tools/screenshots/shoot.sh does, once per language.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

#include "common/trash.h"
#include "job/program_folder.h"
#include "ui/main_window.h"
#include "window_rules/buttons.h"
#include "window_rules/skins.h"

namespace {

// Deletions go to this trash, which holds the run in its `hangAt`-th deletion
// until it is let go: the run is caught in progress, with its labels and buttons.
class HoldingTrash : public dd::Trash {
 public:
  dd::TrashOutcome MoveToTrash(int folder, const std::string& name, const std::string&) override {
    // A slow file system: the run's labels are refreshed on the way.
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::unique_lock<std::mutex> lock(mutex_);
    if (++calls_ == hangAt) {
      held_ = true;
      changed_.wait(lock, [this] { return released_; });
    }
    return ::unlinkat(folder, name.c_str(), 0) == 0 ? dd::TrashOutcome::Moved : dd::TrashOutcome::Failed;
  }
  // Arms the trash for the next run.
  void Arm(int deletion) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_ = 0, hangAt = deletion, held_ = false, released_ = false;
  }
  bool Held() {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int calls_ = 0, hangAt = 0;
  bool held_ = false, released_ = false;
};

void Settle() {
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QTest::qWait(25);
  }
}

// The pictures of one language: named by skin, view and language, taken of the whole screen.
struct Shots {
  QString out, language, skinName;
  int failures = 0;
  bool shootQuestion = false;  // the next question is shot before it is answered No or Cancel

  void Shoot(const QString& view) {
    Settle();
    const QString name = QStringLiteral("%1-%2-%3.png").arg(skinName, view, language);
    const int rc = QProcess::execute(QStringLiteral("import"),
                                     {QStringLiteral("-window"), QStringLiteral("root"), out + "/" + name});
    if (rc != 0) ++failures;
    std::printf("%s %d\n", qPrintable(name), rc);
  }
};

// Every box is a real one, answered here: Yes or OK, or No or Cancel for the
// question that is to be shot (after it is shot).
void AnswerBoxes(QTimer& answer, Shots& shots) {
  answer.setInterval(30);
  QObject::connect(&answer, &QTimer::timeout, [&answer, &shots] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    answer.stop();
    if (qEnvironmentVariableIsSet("SHOOT_VERBOSE")) std::fprintf(stderr, "box: %s\n", qPrintable(box->text()));
    QAbstractButton* yes = box->button(QMessageBox::Yes);
    QAbstractButton* no = yes ? box->button(QMessageBox::No) : box->button(QMessageBox::Cancel);
    if (shots.shootQuestion && no) {
      shots.shootQuestion = false;
      shots.Shoot(QStringLiteral("question"));
      no->click();
    } else if (yes) {
      yes->click();
    } else if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      ok->click();
    } else {
      box->reject();
    }
    answer.start();
  });
  answer.start();
}

// The views of one skin: main, the three panels, the question and a run held in its fortieth deletion.
void ShootSkin(dd::ui::MainWindow& window, HoldingTrash& trash, Shots& shots, double& now) {
  window.ClickButton(dd::kBtnSimulate);
  window.WaitForRun();
  shots.Shoot(QStringLiteral("main"));
  window.ClickButton(dd::kBtnBackup);
  shots.Shoot(QStringLiteral("backup-modes"));
  window.ClickButton(dd::kBtnExclude);
  shots.Shoot(QStringLiteral("filters"));
  now = 0;
  window.ClickButton(dd::kBtnScheduleOff);
  window.ClickButton(dd::kBtnScheduleOffInPanel);
  // Two fifths of the period passed: the run it fires is still to come.
  const double period = window.app().Options.SchedulePeriodHours * 3600;
  now = period > 0 ? period * 0.4 : 1;
  shots.Shoot(QStringLiteral("schedule"));
  window.ClickButton(dd::kBtnScheduleOnInPanel);
  window.ClickButton(dd::kBtnHideSchedule);
  // The question before carrying out the list, answered Cancel.
  shots.shootQuestion = true;
  window.ClickButton(dd::kBtnExecute);
  window.WaitForRun();
  // A run caught in its fortieth deletion, then stopped.
  trash.Arm(40);
  window.ClickButton(dd::kBtnExecute);
  for (int waited = 0; !trash.Held() && waited < 30000; waited += 20) QTest::qWait(20);
  if (trash.Held()) {
    shots.Shoot(QStringLiteral("run"));
  } else {
    std::fprintf(stderr, "%s: the run did not reach its fortieth deletion\n", qPrintable(shots.skinName));
    ++shots.failures;
  }
  window.StopRun();
  trash.Release();
  window.WaitForRun();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: shoot JOB.ddk OUTPUT_FOLDER LANGUAGE_TAG [WIDTH HEIGHT]\n");
    return 2;
  }
  Shots shots;
  shots.out = QString::fromLocal8Bit(argv[2]);
  shots.language = QString::fromLocal8Bit(argv[3]);
  std::string error;
  const std::string folder = dd::ResolveProgramFolder(std::string(), dd::ExecutableFolder(), error);
  HoldingTrash trash;
  dd::ui::MainWindow window(&trash);
  QTimer answer;
  AnswerBoxes(answer, shots);

  window.StartUp(folder, argv[1]);
  window.resize(argc == 6 ? std::atoi(argv[4]) : 1280, argc == 6 ? std::atoi(argv[5]) : 800);
  window.move(0, 0);
  window.show();
  window.app().Options.DeletedToTrash = true;
  double now = 0;
  window.scheduleClockHook = [&now] { return now; };
  Settle();
  for (int skin = 0; skin < dd::kSkinCount; ++skin) {
    shots.skinName = QStringLiteral("skin%1").arg(skin + 1);
    dd::ChangeSkin(window.app(), skin);
    ShootSkin(window, trash, shots, now);
  }
  answer.stop();
  return shots.failures == 0 ? 0 : 1;
}
