// The order of the entry lines against a plain byte-wise sort of their full texts.
#include "plan/sorted_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/files.h"
#include "plan/scanner.h"
#include "support/test_support.h"

using namespace dd;

namespace {

// Name pieces chosen around the bytes that decide the order: below and above
// TAB and the separator, digits, letters of both cases and bytes above 0x7F.
const char* const kPieces[] = {"\x01", " ", "-", ".", "0", "9", "A", "Z", "_", "a", "z", "\x7f", "\xc3\xa4", "\xff"};

std::string RandomName(std::mt19937& rng) {
  std::string name;
  const int length = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < length; ++i) name += kPieces[rng() % std::size(kPieces)];
  return name == "." || name == ".." ? name + "x" : name;
}

// A random tree below `root`: folders and files, some names on both sides.
void MakeTree(std::mt19937& rng, const std::string& root, const std::vector<std::string>& shared) {
  std::vector<std::string> folders = {root};
  for (int i = 0; i < 40; ++i) {
    const std::string& parent = folders[rng() % folders.size()];
    const std::string name = rng() % 3 == 0 ? shared[rng() % shared.size()] : RandomName(rng);
    const std::string path = parent + "/" + name;
    if (PathExists(path)) continue;
    if (rng() % 3 == 0) {
      test::MakeDirs(path);
      folders.push_back(path);
    } else {
      test::WriteFile(path, std::string(rng() % 5, 'x'), 1600000000 + static_cast<int64_t>(rng() % 100));
    }
  }
}

}  // namespace

TEST(SortedEntries, OrderIsThePlainSortOfTheFullLines) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    test::TempDir dir;
    std::vector<std::string> shared;
    for (int i = 0; i < 6; ++i) shared.push_back(RandomName(rng));
    MakeTree(rng, dir / "F1", shared);
    MakeTree(rng, dir / "F2", shared);
    ScanObserver quiet;
    const ScanResult f1 = ScanFolder(dir / "F1", quiet), f2 = ScanFolder(dir / "F2", quiet);
    const SortedEntries sorted(f1, f2);
    ASSERT_EQ(sorted.size(), f1.Folders.size() + f1.Files.size() + f2.Folders.size() + f2.Files.size());
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < sorted.size(); ++k) lines.push_back(sorted.Text(k));
    std::vector<std::string> plain = lines;
    std::sort(plain.begin(), plain.end());
    EXPECT_EQ(lines, plain) << "seed " << seed;
  }
}
