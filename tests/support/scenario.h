// Scenes in one line each: a tree from a list of entries, the tree read back
// as such a list, and operation records from their fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dd::test {

class FlowFixture;

// "a/b/" is a folder; "a/c" a file with `content`, or a link to X when the
// content is "->X". A nonzero `mtime` is set on the file or link.
struct Node {
  std::string path;
  std::string content = {};
  int64_t mtime = 0;
};
void MakeTree(const std::string& root, const std::vector<Node>& nodes);

// Every entry below `root`, sorted, as "folder/", "file=content" or "link->target".
std::vector<std::string> Listing(const std::string& root);

// The pair dir/s -> dir/t with `nodes` written below dir, simulated in the fixture's mode.
void Simulated(FlowFixture& f, const std::vector<Node>& nodes);

// A record line with the operation text of `code`.
std::string Rec(const std::string& code, const std::string& status, const std::string& pathF1,
                const std::string& pathF2, const std::string& sizeF1 = "0", const std::string& sizeF2 = "0");

// The F1 (side 1) or F2 (side 2) path of every record line, "" for a line that is none.
std::vector<std::string> PathsOf(const std::vector<std::string>& records, int side = 1);

}  // namespace dd::test
