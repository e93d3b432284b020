// The user's data folder by the base-directory rules, the one place that reads them for every layer.
#pragma once

#include <string>

namespace dd {

// $XDG_DATA_HOME when it is an absolute path; when it is unset, empty or relative (such values are invalid),
// $HOME/.local/share. "" when $HOME is not an absolute path either: nothing is then put in a folder that
// depends on where the program happens to run.
std::string DataHomeFolder();

}  // namespace dd
