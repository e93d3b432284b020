// The execution engine: a fuzzed list over a small pair of trees never changes
// anything outside the pair. The list names its paths as "$S..." and "$T...",
// which stand for the two roots; ".." is not allowed in it, so the only ways out
// of the pair are links (the target holds links to a folder and a file outside)
// and the engine's own handling of the paths.
#include <filesystem>
#include <map>

#include "apply/execute_sub.h"
#include "common/app.h"
#include "common/text.h"
#include "flows/todo_files.h"
#include "fuzz_support.h"

namespace fs = std::filesystem;

namespace {

struct Entry {
  fs::file_type type;
  std::string content;  // file contents or link target
  auto operator<=>(const Entry&) const = default;
};

// Everything below `root` except the subtree `skip`, links not followed.
std::map<std::string, Entry> Snapshot(const fs::path& root, const fs::path& skip) {
  std::map<std::string, Entry> entries;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::path& p = it->path();
    if (p == skip) {
      it.disable_recursion_pending();
      continue;
    }
    Entry e{it->symlink_status(ec).type(), {}};
    if (e.type == fs::file_type::regular) e.content = dd::ReadTextFile(p.string());
    if (e.type == fs::file_type::symlink) e.content = fs::read_symlink(p, ec).string();
    entries[p.string()] = e;
  }
  return entries;
}

void MakeTrees(const fs::path& base) {
  fs::remove_all(base);
  auto file = [&](const std::string& relative, const std::string& text) {
    fs::create_directories((base / relative).parent_path());
    (void)dd::WriteTextFile(text, (base / relative).string());
  };
  file("outside/o.txt", "outside");
  file("outside/od/deep.txt", "deep outside");
  file("pair/s/a.txt", "new a");
  file("pair/s/d/b.txt", "b");
  file("pair/s/x/f.txt", "through the link");
  fs::create_directories(base / "pair/s/e");
  file("pair/t/a.txt", "old a");
  file("pair/t/d/old.txt", "old");
  fs::create_directory_symlink("../../outside", base / "pair/t/x");
  fs::create_symlink("../../outside/o.txt", base / "pair/t/l.txt");
  fs::create_directory_symlink("../../outside/od", base / "pair/s/sl");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  std::string list = fuzz::Bytes(data, size);
  if (list.find("..") != std::string::npos) return 0;
  const fs::path base = fs::path(fuzz::ProgramFolder()) / "exec";
  const std::string s = (base / "pair/s").string(), t = (base / "pair/t").string();
  list = ReplaceAll(ReplaceAll(list, "$S", s), "$T", t);
  // Every path must start at one of the roots: the list itself names no other place.
  for (const std::string& record : Split(list, kCrLf)) {
    std::vector<std::string> f = SplitKeepEmpty(record, "\t");
    if (f.size() != 7) continue;
    for (int k : {3, 4})
      if (!StartsWith(f[k], s) && !StartsWith(f[k], t)) return 0;
  }

  MakeTrees(base);
  const auto before = Snapshot(base, base / "pair");
  fuzz::SilentScreen screen;
  App app(screen);
  app.Files.SetFolder(fuzz::ProgramFolder());
  (void)WriteTextFile(list, app.Files.ToDoFilePath);
  LoadToDoListFile(app);
  // The execution acts only inside the pairs of a job.
  app.Job.SourceFolders = {s};
  app.Job.TargetFolders = {t};
  ExecutionContext context{app.ToDo, app.Run, app.Rates, app.Job, app.Options, app.Files, app.trash, app.messages};
  ExecuteSub(context);
  const auto after = Snapshot(base, base / "pair");
  if (before != after) {
    std::fprintf(stderr, "something outside the pair changed; list:\n%s\n", list.c_str());
    for (const auto& [path, e] : before)
      if (!after.count(path) || after.at(path) != e) std::fprintf(stderr, "  changed or gone: %s\n", path.c_str());
    for (const auto& [path, e] : after)
      if (!before.count(path)) std::fprintf(stderr, "  new: %s\n", path.c_str());
    std::abort();
  }
  return 0;
}
