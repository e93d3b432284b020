// Times the comparison of one folder pair (scan of both trees, sort, walk) on
// two generated trees in which every file status occurs.
//   DUALDOCK_BENCH_FILES  files per tree (default 30000)
//   DUALDOCK_BENCH_DIR    where the trees are made (default $TMPDIR or /tmp)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "common/app.h"
#include "plan/comparison.h"

namespace {

class QuietScreen : public dd::Screen {
 public:
  dd::Answer ShowMessage(const dd::Message&) override { return dd::Answer::Ok; }
};

void MakeFile(const std::string& path, off_t size, time_t mtime) {
  int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + path);
  if (size > 0 && ::ftruncate(fd, size) != 0) throw std::runtime_error("cannot size " + path);
  struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
  ::futimens(fd, times);
  ::close(fd);
}

// Two trees of `files` files each, 100 to a folder. Of every 20 files 16 are
// identical, one is newer in F1, one newer in F2, and two have different names
// on the two sides (extra in F1 and extra in F2); every 50th folder exists on one side only.
class Trees {
 public:
  explicit Trees(long files) {
    const char* base = std::getenv("DUALDOCK_BENCH_DIR");
    if (!base) base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/dualdock-compare-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    f1 = root + "/F1";
    f2 = root + "/F2";
    ::mkdir(f1.c_str(), 0755);
    ::mkdir(f2.c_str(), 0755);
    const time_t t0 = 1600000000;
    for (long i = 0; i < files; ++i) {
      const long folder = i / 100;
      std::string d1 = f1 + "/dir" + std::to_string(folder);
      std::string d2 = f2 + "/dir" + std::to_string(folder);
      if (folder % 50 == 49) d2 = f2 + "/other" + std::to_string(folder);
      if (i % 100 == 0) {
        ::mkdir(d1.c_str(), 0755);
        ::mkdir(d2.c_str(), 0755);
      }
      const std::string name = "/file_" + std::to_string(i) + ".dat";
      const off_t size = (i * 7919) % 65536;
      switch (i % 20) {
        case 16:
          MakeFile(d1 + name, size, t0 + 100);
          MakeFile(d2 + name, size, t0);
          break;
        case 17:
          MakeFile(d1 + name, size, t0);
          MakeFile(d2 + name, size, t0 + 100);
          break;
        case 18:
        case 19:
          MakeFile(d1 + name, size, t0);
          MakeFile(d2 + "/only_" + std::to_string(i) + ".dat", size, t0);
          break;
        default:
          MakeFile(d1 + name, size, t0);
          MakeFile(d2 + name, size, t0);
      }
    }
  }
  ~Trees() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  std::string root, f1, f2;
};

long FilesPerTree() {
  const char* text = std::getenv("DUALDOCK_BENCH_FILES");
  long n = text ? std::atol(text) : 0;
  return n > 0 ? n : 30000;
}

void BM_ComparePair(benchmark::State& state) {
  const long files = FilesPerTree();
  static Trees trees(files);  // made once for every run, removed at exit
  QuietScreen screen;
  dd::App app(screen);
  app.Files.SetFolder(trees.root);
  // A mirror: copy what is new or newer to F2, delete what F2 has alone.
  app.Modes.CurrentBackupMode = {"bench", "= =", "=->", "= x", "=->", "=->"};
  std::size_t records = 0;
  for (auto _ : state) {
    app.ToDo.ToDoList.assign(1, std::string());
    dd::ComparePair({app.Options, app.Modes.CurrentBackupMode, app.Files, app.ToDo.ToDoList, app.Run, app.messages},
                    trees.f1, trees.f2, 0, 0);
    records = app.ToDo.ToDoList.size() - 1;
  }
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["files"] = static_cast<double>(2 * files);
  state.counters["records"] = static_cast<double>(records);
  state.counters["files_per_s"] =
      benchmark::Counter(static_cast<double>(2 * files), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ComparePair)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
