// Responsiveness and scale of the window, on the offscreen platform: start-up
// times, a list of a million records (memory, sorting, icons), the longest gap
// between ticks of a 10 ms timer on the window thread while a simulation, an
// execution and the copy of one big file run on the run thread, and how long a
// Stop takes to end a simulation and a copy. Prints the figures; sizes come from the environment:
//   DD_BENCH_FILES (files per side, default 200000), DD_BENCH_RECORDS (1000000),
//   DD_BENCH_SMALL (10000), DD_BENCH_BIG_MB (1024).
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/clock.h"
#include "common/files.h"
#include "flows/execute_flow.h"
#include "flows/simulate.h"
#include "ui/list_views.h"
#include "ui/main_window.h"
#include "ui/progress_picture.h"
#include "ui/todo_model.h"
#include "window_rules/buttons.h"

namespace fs = std::filesystem;
using dd::MonotonicSeconds;

namespace {

long EnvNumber(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atol(v) : fallback;
}

long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

// A program folder with the shipped language file and stored rates.
std::string MakeHome(const std::string& root, const std::string& name) {
  const std::string home = root + "/" + name;
  fs::create_directories(home);
  fs::copy_file(std::string(DUALDOCK_SOURCE_DIR) + "/resources/Sprachen.txt", home + "/Sprachen.txt",
                fs::copy_options::overwrite_existing);
  // Known rates, so that start-up runs no disk test inside the timings.
  if (!dd::WriteTextFile("50000000\r\n200000000\r\n1", home + "/Rates.txt")) {
    std::fprintf(stderr, "cannot write %s/Rates.txt\n", home.c_str());
    std::exit(2);
  }
  return home;
}

std::unique_ptr<dd::ui::MainWindow> NewWindow() {
  auto w = std::make_unique<dd::ui::MainWindow>();
  w->messageHook = [](const dd::Message& m) {
    return m.buttons == dd::Buttons::YesNo ? dd::Answer::Yes : dd::Answer::Ok;
  };
  return w;
}

// Longest gap between the ticks of a 10 ms timer while `work` runs.
struct GapMeter {
  QTimer timer;
  double last = 0, longest = 0;
  int ticks = 0;
  QLabel* activity = nullptr;
  std::string during;  // the activity shown when the longest gap ended
  GapMeter() {
    timer.setInterval(10);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const double now = MonotonicSeconds();
      if (last > 0 && now - last > longest) {
        longest = now - last;
        if (activity) during = activity->text().toStdString();
      }
      last = now;
      ++ticks;
    });
  }
  double Measure(const std::function<void()>& work) {
    last = longest = 0;
    ticks = 0;
    timer.start();
    QApplication::processEvents();
    last = MonotonicSeconds();
    work();
    longest = std::max(longest, MonotonicSeconds() - last);
    timer.stop();
    return longest * 1000;
  }
};

void WriteFiles(const std::string& folder, long count, long bytes) {
  const std::string data(static_cast<std::size_t>(bytes), 'x');
  for (long i = 0; i < count; ++i) {
    const std::string sub = folder + "/d" + std::to_string(i / 1000);
    if (i % 1000 == 0) fs::create_directories(sub);
    std::ofstream(sub + "/f" + std::to_string(i) + ".txt") << data;
  }
}

// A run started as the user starts it; the window keeps answering until it has ended.
void RunAndWait(dd::ui::MainWindow& w, int button) {
  w.ClickButton(button);
  w.WaitForRun();
}

// Starts a run, presses Stop after `afterMs`, returns how long the run took to end after that (ms; -1: it
// ended before).
double StopLatency(dd::ui::MainWindow& w, int button, int afterMs) {
  double stopAt = 0;
  // A timer of this call: one that outlived a short run would fire on a window already gone.
  QTimer stop;
  stop.setSingleShot(true);
  QObject::connect(&stop, &QTimer::timeout, [&] {
    if (!w.RunOnWorker()) return;
    stopAt = MonotonicSeconds();
    w.StopRun();
  });
  stop.start(afterMs);
  RunAndWait(w, button);
  const double endedAt = MonotonicSeconds();
  return stopAt > 0 ? (endedAt - stopAt) * 1000 : -1;
}

void AddPair(dd::App& app, const std::string& source, const std::string& target) {
  app.Job.SourceFolders = {source};
  app.Job.TargetFolders = {target};
  app.screen.FolderPairsChanged();
}

// Start-up to a shown window with an empty list.
void BenchStartUp(const std::string& root, const dd::StartUpOptions& noDiskTest) {
  const std::string home = MakeHome(root, "empty");
  const double t0 = MonotonicSeconds();
  auto w = NewWindow();
  w->StartUp(home, {}, noDiskTest);
  QApplication::processEvents();
  std::printf("start-up, empty list: %.0f ms (target 300)\n", (MonotonicSeconds() - t0) * 1000);
}

// A list of a million records: start-up, memory, sorting and the icon window.
void BenchLongList(const std::string& root, const dd::StartUpOptions& noDiskTest, long records) {
  const std::string home = MakeHome(root, "million");
  {
    std::ofstream list(home + "/To Do.txt", std::ios::binary);
    for (long i = 0; i < records; ++i) {
      if (i) list << "\r\n";
      list << "Replace/ Copy -> F2\t=->\tExtra in F1\t/data/source/folder" << i % 977 << "/file" << i
           << ".dat\t/data/target/folder" << i % 977 << "/file" << i << ".dat\t" << (i * 7919) % 100000000 << "\t0";
    }
  }
  const long rss0 = RssKb();
  const double t0 = MonotonicSeconds();
  auto w = NewWindow();
  w->StartUp(home, {}, noDiskTest);
  QApplication::processEvents();
  w->toDoView()->scrollToBottom();
  QApplication::processEvents();
  const double startMs = (MonotonicSeconds() - t0) * 1000;
  std::size_t listBytes = w->app().ToDo.ToDoList.capacity() * sizeof(std::string);
  for (const std::string& r : w->app().ToDo.ToDoList) listBytes += r.capacity() + 1;
  const double perRow = (static_cast<double>(RssKb() - rss0) * 1024 - static_cast<double>(listBytes)) /
                        static_cast<double>(w->toDoModel()->rowCount());
  std::printf("start-up, %ld records: %.0f ms to a filled, scrolled list (target 1500); %d rows\n", records, startMs,
              w->toDoModel()->rowCount());
  std::printf("memory beyond the list itself: %.0f bytes per row (target 150)\n", perRow);
  double worst = 0;
  for (int column : {dd::kColF1, dd::kColSize1, dd::kColOperation, dd::kColPath2, dd::kColNumber}) {
    const double s0 = MonotonicSeconds();
    w->SortByHeader(column);
    QApplication::processEvents();
    worst = std::max(worst, MonotonicSeconds() - s0);
  }
  std::printf("sort by a column: longest %.0f ms (target 1000)\n", worst * 1000);
  w->toDoModel()->ResetIconWindow();
  w->toDoView()->scrollTo(w->toDoModel()->index(records / 2, dd::kColF1));
  const int icons = w->toDoModel()->LoadVisibleIcons(w->toDoView()->FirstVisibleRow());
  std::printf("icons requested for one window: %d, for rows %lld..%lld\n", icons,
              static_cast<long long>(w->toDoModel()->iconWindow().first),
              static_cast<long long>(w->toDoModel()->iconWindow().last));
}

// Simulation of two trees: the window's turns and the stop.
void BenchSimulation(const std::string& root, const dd::StartUpOptions& noDiskTest, long files, GapMeter& meter) {
  const std::string home = MakeHome(root, "simulate");
  const std::string a = root + "/simA", b = root + "/simB";
  WriteFiles(a, files, 1);
  WriteFiles(b, files, 1);
  auto w = NewWindow();
  w->StartUp(home, {}, noDiskTest);
  AddPair(w->app(), a, b);
  const double t0 = MonotonicSeconds();
  meter.activity = w->label(QStringLiteral("lblProgress"));
  const double gap = meter.Measure([&] { RunAndWait(*w, dd::kBtnSimulate); });
  meter.activity = nullptr;  // the window goes at the end of this function
  std::printf("  longest gap ended during \"%s\"\n", meter.during.c_str());
  std::printf("simulation of 2 x %ld files: %.1f s, longest timer gap %.0f ms (target 16), %d ticks, %lld files seen\n",
              files, MonotonicSeconds() - t0, gap, meter.ticks,
              static_cast<long long>(w->app().Run.TreeFilesF1 + w->app().Run.TreeFilesF2));
  const double stopMs = StopLatency(*w, dd::kBtnSimulate, 300);
  if (stopMs >= 0)
    std::printf("stop during the simulation took effect after %.0f ms (target 100)\n", stopMs);
  else
    std::printf("stop during the simulation: the simulation ended first\n");
  fs::remove_all(a);
  fs::remove_all(b);
}

// Execution of many small files.
void BenchSmallFiles(const std::string& root, const dd::StartUpOptions& noDiskTest, long small, GapMeter& meter) {
  const std::string home = MakeHome(root, "execute");
  const std::string a = root + "/exA", b = root + "/exB";
  WriteFiles(a, small, 100);
  fs::create_directories(b);
  auto w = NewWindow();
  w->StartUp(home, {}, noDiskTest);
  AddPair(w->app(), a, b);
  RunAndWait(*w, dd::kBtnSimulate);
  const double t0 = MonotonicSeconds();
  const double gap = meter.Measure([&] { RunAndWait(*w, dd::kBtnExecute); });
  std::printf("execution of %ld small files: %.1f s, longest timer gap %.0f ms (target 16)\n", small,
              MonotonicSeconds() - t0, gap);
}

// One big file: does the window get turns, and does Stop act in time?
void BenchBigFile(const std::string& root, const dd::StartUpOptions& noDiskTest, long bigMb, GapMeter& meter) {
  const std::string home = MakeHome(root, "big");
  const std::string a = root + "/bigA", b = root + "/bigB";
  fs::create_directories(a);
  fs::create_directories(b);
  {
    std::ofstream big(a + "/big.bin", std::ios::binary);
    const std::string mb(1 << 20, 'y');
    for (long i = 0; i < bigMb; ++i) big << mb;
  }
  auto w = NewWindow();
  w->StartUp(home, {}, noDiskTest);
  AddPair(w->app(), a, b);
  RunAndWait(*w, dd::kBtnSimulate);
  int barValues = 0, lastBar = -1;
  QTimer watch;
  watch.setInterval(10);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (w->app().Run.Lifecycle.Execution() && w->progress()->percent() != lastBar)
      ++barValues, lastBar = w->progress()->percent();
  });
  watch.start();
  const double t0 = MonotonicSeconds();
  const double gap = meter.Measure([&] { RunAndWait(*w, dd::kBtnExecute); });
  watch.stop();
  std::printf("copy of one %ld MB file: %.1f s, longest timer gap %.0f ms (target 16), the bar showed %d values\n",
              bigMb, MonotonicSeconds() - t0, gap, barValues);
  // Stop: requested 200 ms into a second copy; how long until the run has ended?
  fs::remove(b + "/big.bin");
  RunAndWait(*w, dd::kBtnSimulate);
  const double stopMs = StopLatency(*w, dd::kBtnExecute, 200);
  if (stopMs >= 0)
    std::printf("stop during the big copy took effect after %.0f ms (target 100)\n", stopMs);
  else
    std::printf("stop during the big copy: the copy ended first\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const long files = EnvNumber("DD_BENCH_FILES", 200000);
  const long records = EnvNumber("DD_BENCH_RECORDS", 1000000);
  const long small = EnvNumber("DD_BENCH_SMALL", 10000);
  const long bigMb = EnvNumber("DD_BENCH_BIG_MB", 1024);
  char pattern[] = "/tmp/dd-window-bench-XXXXXX";
  const std::string root = ::mkdtemp(pattern);
  dd::StartUpOptions noDiskTest{false};

  BenchStartUp(root, noDiskTest);
  BenchLongList(root, noDiskTest, records);
  GapMeter meter;
  BenchSimulation(root, noDiskTest, files, meter);
  BenchSmallFiles(root, noDiskTest, small, meter);
  BenchBigFile(root, noDiskTest, bigMb, meter);
  fs::remove_all(root);
  return 0;
}
