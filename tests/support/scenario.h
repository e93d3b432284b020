// Scenes in one line each: a tree from a list of entries, the tree read back
// as such a list, and operation records from their fields.
#pragma once

#include <string>
#include <vector>

namespace dd::test {

class FlowFixture;

// Writes entries given as "folder/", "file=content" or "link->target" (paths
// below `root`, holding neither "=" nor "->"), each optionally ending in
// "@mtime" (seconds since the epoch): the form Listing gives back.
void MakeTree(const std::string& root, const std::vector<std::string>& entries);

// Every entry below `root`, sorted, as "folder/", "file=content" or "link->target".
std::vector<std::string> Listing(const std::string& root);

// The pair dir/s -> dir/t with `entries` written below dir, simulated in the fixture's mode.
void Simulated(FlowFixture& f, const std::vector<std::string>& entries);

// A record line with the operation text of `code`.
std::string Rec(const std::string& code, const std::string& status, const std::string& pathF1,
                const std::string& pathF2, const std::string& sizeF1 = "0", const std::string& sizeF2 = "0");

// The F1 (side 1) or F2 (side 2) path of every record line, "" for a line that is none.
std::vector<std::string> PathsOf(const std::vector<std::string>& records, int side = 1);

}  // namespace dd::test
