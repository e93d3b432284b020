// Message texts whose lines hold TABs ("Deleted files:<TAB>2"): shown as aligned
// columns rather than run together.
#pragma once

#include <string>
#include <vector>

namespace dd {

// Whether any line of the text holds a TAB.
bool HasColumns(const std::string& text);

// The lines of the text (CR LF, LF or a lone CR end a line) split at each TAB
// into cells; a line without a TAB is a row of one cell. A final line break
// adds no empty row.
std::vector<std::vector<std::string>> ColumnRows(const std::string& text);

}  // namespace dd
