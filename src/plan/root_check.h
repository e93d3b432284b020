// Whether the roots of a pair can be listed.
#pragma once

#include <string>

namespace dd {

// The roots (each followed by CR LF) that exist but are not folders that can be
// listed, or whose path holds a TAB or line break; "" when both are fine. A root
// given as a link to a folder is fine.
std::string UnlistableRoots(const std::string& rootF1, const std::string& rootF2);

}  // namespace dd
