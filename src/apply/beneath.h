// Entries below a pair's root, reached without following any link and without
// leaving the root, whatever the path or the tree holds.
#pragma once

#include <string>
#include <string_view>

// A relative path splits into its folder and name with FolderBelowRoot and NameOfPath.
#include "common/paths.h"

namespace dd {

// True for "a/b/c": no leading or trailing separator, no empty, "." or ".."
// part and no NUL byte. Only such paths are resolved below a root.
bool IsPlainRelativePath(std::string_view rel);

// Opens the folder `rel` ("" for the root itself) below the open folder
// `root`. A link in any part, or a part that is no folder, makes it fail.
// Returns the descriptor, or -1 with errno set.
int OpenFolderBeneath(int root, std::string_view rel);

// The same, but creates each missing folder on the way; `created` counts them.
// A missing folder takes the mode and owner of the folder `rel` names below
// the open folder `model` (the other side of the pair), when that is there.
int OpenFolderCreating(int root, std::string_view rel, int& created, int model = -1);

// Resolves by opening the parts one by one, as where openat2 is missing
// (for tests of that way on kernels that have it).
void UseComponentWalk(bool on);

}  // namespace dd
