// The parts of a path, as bytes. A trailing separator never counts ("/a/b/" is the entry "b" in "/a"),
// so the folder and the name of one path always belong together.
#pragma once

#include <string>
#include <string_view>

namespace dd {

// The folder that holds the entry: "." when the path has no separator, "/" for an entry in the root.
std::string FolderOfPath(std::string_view path);

// The folder of a path below a root, itself below that root: "" (the root) when the path has no separator.
std::string_view FolderBelowRoot(std::string_view rel);

// The entry's own name: the part behind the last separator, the whole path when it has none.
std::string_view NameOfPath(std::string_view path);

}  // namespace dd
