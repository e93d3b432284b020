#include "plan/move_pairing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace dd;
using Lines = std::vector<std::string>;

namespace {

// "/key=size@time" for a file, "/key/" for a folder.
std::vector<MoveCandidate> Candidates(const Lines& entries) {
  std::vector<MoveCandidate> out;
  for (const std::string& e : entries) {
    if (e.back() == '/') {
      out.push_back({e.substr(0, e.size() - 1), true, 0, 0});
      continue;
    }
    const std::size_t eq = e.find('='), at = e.find('@');
    out.push_back({e.substr(0, eq), false, std::stoll(e.substr(eq + 1, at - eq - 1)), std::stoll(e.substr(at + 1))});
  }
  return out;
}

// The pairs as "F1 key > F2 key", and what the moved folders carry as "inside F1 key" / "inside F2 key".
Lines Paired(const Lines& f1, const Lines& f2, const SameFile& same = {}) {
  const auto a = Candidates(f1), b = Candidates(f2);
  const MovePairing p = PairMoves(a, b, same);
  Lines out;
  for (const auto& pair : p.pairs) out.push_back(a[pair.f1].key + " > " + b[pair.f2].key);
  for (std::size_t i = 0; i < a.size(); ++i)
    if (p.insideF1[i]) out.push_back("inside " + a[i].key);
  for (std::size_t j = 0; j < b.size(); ++j)
    if (p.insideF2[j]) out.push_back("inside " + b[j].key);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

TEST(MovePairing, PairsOnlyWhatIsOneItemMoved) {
  const struct {
    const char* what;
    Lines f1, f2, paired;
  } rows[] = {
      {"a renamed file", {"/new.jpg=7@100"}, {"/old.jpg=7@100"}, {"/new.jpg > /old.jpg"}},
      {"a file moved to another folder", {"/b/a.jpg=7@100"}, {"/a/a.jpg=7@100"}, {"/b/a.jpg > /a/a.jpg"}},
      {"a different size", {"/new.jpg=7@100"}, {"/old.jpg=8@100"}, {}},
      {"a different time", {"/new.jpg=7@100"}, {"/old.jpg=7@101"}, {}},
      {"two of that size and time in F2", {"/new.jpg=7@100"}, {"/a.jpg=7@100", "/b.jpg=7@100"}, {}},
      {"two of that size and time in F1", {"/a.jpg=7@100", "/b.jpg=7@100"}, {"/old.jpg=7@100"}, {}},
      {"nothing on one side", {"/new.jpg=7@100"}, {}, {}},
      {"a folder that holds no file", {"/new/", "/new/sub/"}, {"/old/", "/old/sub/"}, {}},
      {"a renamed folder carries its content",
       {"/new/", "/new/a=1@1", "/new/s/", "/new/s/b=2@2"},
       {"/old/", "/old/a=1@1", "/old/s/", "/old/s/b=2@2"},
       {"/new > /old", "inside /new/a", "inside /new/s", "inside /new/s/b", "inside /old/a", "inside /old/s",
        "inside /old/s/b"}},
      {"a folder with one file changed: its files pair one by one",
       {"/new/", "/new/a=1@1", "/new/b=2@3"},
       {"/old/", "/old/a=1@1", "/old/b=2@2"},
       {"/new/a > /old/a"}},
      {"a folder whose file has another name inside: no folder move",
       {"/new/", "/new/a=1@1"},
       {"/old/", "/old/z=1@1"},
       {"/new/a > /old/z"}},
      {"a folder with an extra file in it",
       {"/new/", "/new/a=1@1", "/new/x=5@5"},
       {"/old/", "/old/a=1@1"},
       {"/new/a > /old/a"}},
      {"two folders of the same content in F2",
       {"/new/", "/new/a=1@1"},
       {"/old1/", "/old1/a=1@1", "/old2/", "/old2/a=1@1"},
       {}},
      {"a folder renamed inside a renamed folder moves once, at the top",
       {"/n/", "/n/in/", "/n/in/f=3@3"},
       {"/o/", "/o/in/", "/o/in/f=3@3"},
       {"/n > /o", "inside /n/in", "inside /n/in/f", "inside /o/in", "inside /o/in/f"}},
      {"a folder name that begins like another's",
       {"/ab/", "/ab/f=1@1", "/a/", "/a/g=2@2"},
       {"/x/", "/x/f=1@1"},
       {"/ab > /x", "inside /ab/f", "inside /x/f"}},
  };
  for (const auto& row : rows) EXPECT_EQ(Paired(row.f1, row.f2), row.paired) << row.what;
}

TEST(MovePairing, AFurtherLookAtTheFilesDecidesToo) {
  const SameFile never = [](std::string_view, std::string_view) { return false; };
  const SameFile always = [](std::string_view, std::string_view) { return true; };
  EXPECT_EQ(Paired({"/new.jpg=7@100"}, {"/old.jpg=7@100"}, never), Lines{});
  EXPECT_EQ(Paired({"/new/", "/new/a=1@1"}, {"/old/", "/old/a=1@1"}, never), Lines{});
  EXPECT_EQ(Paired({"/new.jpg=7@100"}, {"/old.jpg=7@100"}, always), Lines{"/new.jpg > /old.jpg"});
}
