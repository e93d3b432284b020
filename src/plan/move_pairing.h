// Which items found on one side only are the same item moved: the pairing of
// the comparison's extra items, apart from any disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dd {

// An item of one side only, as the comparison sees it.
struct MoveCandidate {
  std::string key;  // path below the root: "/sub/a.txt" for a file, "/sub" for a folder
  bool folder = false;
  int64_t size = 0;      // 0 for a folder
  int64_t modified = 0;  // seconds
};

// A further look at two files that size and time pair (keys F1, F2): true when they are the same file
// (by their exact times, by their content). Empty: size and time in seconds decide alone.
using SameFile = std::function<bool(std::string_view keyF1, std::string_view keyF2)>;

struct MovePairing {
  struct Pair {
    std::size_t f1, f2;  // indices into the two candidate lists
  };
  std::vector<Pair> pairs;
  // Per candidate: it lies inside a paired folder, so the folder's move carries it.
  std::vector<char> insideF1, insideF2;
};

// Pairs a candidate of F1 with one of F2 when they are the same item moved:
// files of the same size and modification time, unique by that on both sides
// (and passing `sameFile` when given); folders whose whole
// content (names below them, kinds, sizes and times) is the same and holds at
// least one file, unique by that on both sides. A paired folder carries what
// is in it: its content is not paired again. The lists may come in any order.
MovePairing PairMoves(const std::vector<MoveCandidate>& extrasF1, const std::vector<MoveCandidate>& extrasF2,
                      const SameFile& sameFile = {});

}  // namespace dd
