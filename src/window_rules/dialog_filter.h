// The filter list of the file dialogs: "Text (*.txt) | All (*.*)".
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace dd {

// Description and pattern of each well-formed entry, in order; others are dropped.
std::vector<std::pair<std::string, std::string>> ParseDialogFilter(const std::string& filter);

}  // namespace dd
