#include "plan/pair_guards.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

#include "common/files.h"
#include "common/messages.h"
#include "plan/root_check.h"
#include "todo/backup_mode.h"

namespace dd {

namespace {

constexpr int64_t kMassDeletionMinimum = 10;

// True when `inner` is `outer` or lies below it (both resolved, absolute).
bool Contains(const std::string& outer, const std::string& inner) {
  if (outer == "/") return true;
  return inner == outer ||
         (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/');
}

bool DeletesMost(int64_t deleted, int64_t files) {
  return deleted > kMassDeletionMinimum && deleted * 2 > files;
}

bool WritesSource(const BackupModeDef& mode) {
  for (const std::string* code : {&mode.Identical, &mode.ExtraInF1, &mode.ExtraInF2, &mode.NewerInF1, &mode.NewerInF2})
    if (*code == kCopyToSource || *code == kDeleteInSource) return true;
  return false;
}

bool Overlap(const std::string& a, const std::string& b) {
  return !a.empty() && !b.empty() && (Contains(a, b) || Contains(b, a));
}

}  // namespace

bool RootsOverlap(const std::string& rootF1, const std::string& rootF2) {
  const std::string a = ResolvedPath(rootF1), b = ResolvedPath(rootF2);
  if (a.empty() || b.empty()) return false;
  return Contains(a, b) || Contains(b, a);
}

std::string PairsOverlappingEachOther(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                                      const BackupModeDef& mode) {
  const std::size_t n = std::min(sources.size(), targets.size());
  const bool writesSource = WritesSource(mode);
  // Pairs that will not be compared write nothing: their roots stay empty here and meet nothing.
  std::vector<std::string> source(n), target(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (!UnlistableRoots(sources[i], targets[i]).empty() || RootsOverlap(sources[i], targets[i])) continue;
    source[i] = ResolvedPath(sources[i]), target[i] = ResolvedPath(targets[i]);
  }
  // Pair i harms pair j when a folder i writes meets either root of j.
  auto harms = [&](std::size_t i, std::size_t j) {
    for (const std::string* root : {&source[j], &target[j]})
      if (Overlap(target[i], *root) || (writesSource && Overlap(source[i], *root))) return true;
    return false;
  };
  std::string lines;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j)
      if (i != j && (harms(i, j) || harms(j, i))) {
        lines += sources[i] + "\t" + targets[i] + "\r\n";
        break;
      }
  return lines.empty() ? lines : lines.substr(0, lines.size() - 2);
}

bool IsMassDeletion(const PairPlan& plan) {
  if ((plan.FilesF1 == 0 && plan.DeletedItemsF2 > 0) || (plan.FilesF2 == 0 && plan.DeletedItemsF1 > 0)) return true;
  return DeletesMost(plan.DeletedFilesF1, plan.FilesF1) || DeletesMost(plan.DeletedFilesF2, plan.FilesF2);
}

bool ConfirmMassDeletion(Messages& messages, const std::string& rootF1, const std::string& rootF2,
                         const PairPlan& plan) {
  auto side = [](const char* name, const std::string& root, int64_t deleted, int64_t files) {
    return std::string(name) + "\t" + root + "\t" + std::to_string(deleted) + " / " + std::to_string(files);
  };
  Message m;
  m.kind = MessageKind::MassDeletion;
  m.key = "[Mass deletion]";
  m.prompt = messages.Text("[Mass deletion]") + "\r\n" + side("F1", rootF1, plan.DeletedFilesF1, plan.FilesF1) +
             "\r\n" + side("F2", rootF2, plan.DeletedFilesF2, plan.FilesF2);
  m.title = messages.Text("[Simulation]");
  m.buttons = Buttons::YesNo;
  m.icon = Icon::Exclamation;
  m.defaultIsNo = true;
  return messages.screen().ShowMessage(m) == Answer::Yes;
}

}  // namespace dd
