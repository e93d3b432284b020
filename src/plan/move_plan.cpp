#include "plan/move_plan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "common/content_hash.h"
#include "common/state.h"
#include "todo/backup_mode.h"
#include "todo/op_record.h"
#include "todo/record_texts.h"
#include "todo/todo_list.h"

namespace dd {

MovePlanner::MovePlanner(const BackupModeDef& mode) {
  if (mode.ExtraInF1 == kCopyToTarget && mode.ExtraInF2 == kDeleteInTarget) {
    copyCode_ = kCopyToTarget, deleteCode_ = kDeleteInTarget, inF2_ = true;
  } else if (mode.ExtraInF1 == kDeleteInSource && mode.ExtraInF2 == kCopyToSource) {
    copyCode_ = kCopyToSource, deleteCode_ = kDeleteInSource, inF2_ = false;
  }
}

void MovePlanner::Noted(int side, std::string_view code, std::string_view key, bool folder, int64_t size,
                        int64_t modified, std::size_t index) {
  if (!Active()) return;
  // The side that moves is the one whose extra items the mode deletes.
  const bool moving = (side == 1) == inF2_;
  if (code != (moving ? deleteCode_ : copyCode_)) return;
  candidates_[side].push_back({std::string(key), folder, size, modified});
  indices_[side].push_back(index);
}

void MovePlanner::Apply(std::vector<std::string>& toDo, std::string_view rootF1, std::string_view rootF2,
                        PairPlan& plan, const SameFile& sameFile) const {
  if (candidates_[0].empty() || candidates_[1].empty()) return;
  const MovePairing pairing = PairMoves(candidates_[0], candidates_[1], sameFile);
  if (pairing.pairs.empty()) return;
  const int moving = inF2_ ? 1 : 0;
  const std::string_view code = inF2_ ? kMoveInTarget : kMoveInSource;
  // A moved item is no longer deleted, nor is what a moved folder carries.
  auto undelete = [&](std::size_t candidate) {
    const bool file = !candidates_[moving][candidate].folder;
    (inF2_ ? plan.DeletedItemsF2 : plan.DeletedItemsF1) -= 1;
    (inF2_ ? plan.DeletedFilesF2 : plan.DeletedFilesF1) -= file;
  };
  for (const MovePairing::Pair& p : pairing.pairs) {
    const MoveCandidate &a = candidates_[0][p.f1], &b = candidates_[1][p.f2];
    // The record stands where the copy stood; the two paths are where the item is on each side.
    toDo[indices_[0][p.f1]] =
        OpRecord::Format(MoveTextOf(code), code, kStatusIdentical, {rootF1, a.key}, {rootF2, b.key}, a.size, b.size);
    toDo[indices_[1][p.f2]].clear();
    undelete(inF2_ ? p.f2 : p.f1);
  }
  for (int side = 0; side < 2; ++side) {
    const std::vector<char>& in = side == 0 ? pairing.insideF1 : pairing.insideF2;
    for (std::size_t c = 0; c < in.size(); ++c) {
      if (!in[c]) continue;
      toDo[indices_[side][c]].clear();
      if (side == moving) undelete(c);
    }
  }
  // Only this pair's records can be empty: the list of a simulation holds no other empty record behind its first.
  const std::size_t first = std::min(indices_[0].front(), indices_[1].front());
  toDo.erase(std::remove_if(toDo.begin() + static_cast<std::ptrdiff_t>(first), toDo.end(),
                            [](const std::string& r) { return r.empty(); }),
             toDo.end());
}

namespace {

bool SameExactTime(const std::string& pathF1, const std::string& pathF2) {
  struct stat a {
  }, b{};
  return ::lstat(pathF1.c_str(), &a) == 0 && ::lstat(pathF2.c_str(), &b) == 0 && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool IsRegularFile(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// Same size and time to the nanosecond do not make two files one: uncompressed camera pictures of one
// burst share both. A rename of the wrong one would leave a target that looks identical and is not, so
// the bytes decide, always.
bool SameBytes(ContentReader& reader, const std::string& pathF1, const std::string& pathF2) {
  const int a = ::open(pathF1.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (a < 0) return false;
  const int b = ::open(pathF2.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  bool same = b >= 0 && IsRegularFile(a) && IsRegularFile(b) && ::fstat(a, &st) == 0;
  int64_t bytesRead = 0;
  if (same) same = reader.Compare(a, b, st.st_size, bytesRead) == ContentResult::Same;
  ::close(a);
  if (b >= 0) ::close(b);
  return same;
}

}  // namespace

SameFile MoveFileCheck(std::string_view rootF1, std::string_view rootF2) {
  // One reader (and its block buffers) for every pair of the plan.
  auto reader = std::make_shared<ContentReader>();
  return [r1 = std::string(rootF1), r2 = std::string(rootF2), reader](std::string_view keyF1, std::string_view keyF2) {
    const std::string a = r1 + std::string(keyF1), b = r2 + std::string(keyF2);
    return SameExactTime(a, b) && SameBytes(*reader, a, b);
  };
}

}  // namespace dd
