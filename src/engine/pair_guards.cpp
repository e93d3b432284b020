#include "engine/pair_guards.h"

#include <climits>
#include <cstdlib>
#include <memory>

#include "common/app.h"

namespace dd {

namespace {

constexpr int64_t kMassDeletionMinimum = 10;

std::string ResolvedPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

// True when `inner` is `outer` or lies below it (both resolved, absolute).
bool Contains(const std::string& outer, const std::string& inner) {
  if (outer == "/") return true;
  return inner == outer ||
         (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/');
}

bool DeletesMost(int64_t deleted, int64_t files) {
  return deleted > kMassDeletionMinimum && deleted * 2 > files;
}

}  // namespace

bool RootsOverlap(const std::string& rootF1, const std::string& rootF2) {
  const std::string a = ResolvedPath(rootF1), b = ResolvedPath(rootF2);
  if (a.empty() || b.empty()) return false;
  return Contains(a, b) || Contains(b, a);
}

bool IsMassDeletion(const PairPlan& plan) {
  if (plan.EmptyF1 && !plan.EmptyF2 && plan.DeletedItems > 0) return true;
  return DeletesMost(plan.DeletedFilesF1, plan.FilesF1) || DeletesMost(plan.DeletedFilesF2, plan.FilesF2);
}

bool ConfirmMassDeletion(App& app, const std::string& rootF1, const std::string& rootF2, const PairPlan& plan) {
  auto side = [](const char* name, const std::string& root, int64_t deleted, int64_t files) {
    return std::string(name) + "\t" + root + "\t" + std::to_string(deleted) + " / " + std::to_string(files);
  };
  Message m;
  m.kind = MessageKind::MassDeletion;
  m.key = "[Mass deletion]";
  m.prompt = app.Text("[Mass deletion]") + "\r\n" + side("F1", rootF1, plan.DeletedFilesF1, plan.FilesF1) + "\r\n" +
             side("F2", rootF2, plan.DeletedFilesF2, plan.FilesF2);
  m.title = app.Text("[Simulation]");
  m.buttons = Buttons::YesNo;
  m.icon = Icon::Exclamation;
  m.defaultIsNo = true;
  return app.screen.ShowMessage(m) == Answer::Yes;
}

}  // namespace dd
